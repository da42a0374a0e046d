#include "CSafetyDlg.h"
#include "CDataExchange.h"
#include "WizardIds.h"

BEGIN_MESSAGE_MAP(CSafetyDlg, CDialog)
END_MESSAGE_MAP()

CSafetyDlg::CSafetyDlg(CWnd* parent) : CDialog(IDD_SAFETY, parent) {}

CSafetyDlg::~CSafetyDlg() = default;

void CSafetyDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SAFETY_ICON, m_icon);
}

BOOL CSafetyDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Over the wizard, which owns it, rather than somewhere on the screen.
    CenterWindow();
    m_icon.SetIcon(::LoadIconW(nullptr, IDI_EXCLAMATION));
    return TRUE;
}
