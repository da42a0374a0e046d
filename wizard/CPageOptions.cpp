#include "CPageOptions.h"
#include "CDataExchange.h"
#include "CNOLUWizard.h"
#include "WizardIds.h"

BEGIN_MESSAGE_MAP(CPageOptions, CPropertyPage)
END_MESSAGE_MAP()

CPageOptions::CPageOptions(CNOLUWizard* wizard) : CPropertyPage(IDD_PAGE_OPTIONS), m_pWizard(wizard) {}

CPageOptions::~CPageOptions() = default;

void CPageOptions::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_OPTIONS_PICTURE, m_picture);
    DDX_Control(dx, IDC_OPTIONS_TRANSP, m_bitmap);
    DDX_Control(dx, IDC_OPTIONS_CAPTION, m_caption);
}

BOOL CPageOptions::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_caption.SetBold(true);
    return TRUE;
}

BOOL CPageOptions::OnSetActive()
{
    m_pWizard->RequestButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}
