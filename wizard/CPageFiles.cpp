#include "CPageFiles.h"
#include "CDataExchange.h"
#include "CKestNoluApp.h"
#include "CNOLUWizard.h"
#include "WizardIds.h"

BEGIN_MESSAGE_MAP(CPageFiles, CPropertyPage)
ON_WM_DROPFILES()
END_MESSAGE_MAP()

CPageFiles::CPageFiles(CNOLUWizard* wizard) : CPropertyPage(IDD_PAGE_FILES), m_pWizard(wizard) {}

CPageFiles::~CPageFiles() = default;

void CPageFiles::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_FILES_TRANSP, m_bitmap);
    DDX_Control(dx, IDC_FILES_CAPTION, m_caption);
}

BOOL CPageFiles::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_caption.SetBold(true);
    return TRUE;
}

BOOL CPageFiles::OnSetActive()
{
    // Next only once there is something to migrate.
    m_pWizard->RequestButtons(theApp.m_drawings.empty() ? PSWIZB_BACK : PSWIZB_BACK | PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

void CPageFiles::OnDropFiles(HDROP drop)
{
    // The drawing rows are not on this page yet: the handle only goes back.
    ::DragFinish(drop);
}
