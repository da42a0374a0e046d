#include "CRunLornDlg.h"
#include "CDataExchange.h"
#include "WizardIds.h"

BEGIN_MESSAGE_MAP(CRunLornDlg, CDialog)
END_MESSAGE_MAP()

CRunLornDlg::CRunLornDlg(CWnd* parent) : CDialog(IDD_RUNLORN, parent) {}

CRunLornDlg::~CRunLornDlg() = default;

void CRunLornDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_RUNLORN_ICON, m_icon);
}

BOOL CRunLornDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Over the wizard, which owns it, rather than somewhere on the screen.
    CenterWindow();
    m_icon.SetIcon(::LoadIconW(nullptr, IDI_HAND));
    return TRUE;
}
