#include "CPageFinish.h"
#include "CDataExchange.h"
#include "CNOLUWizard.h"
#include "WizardIds.h"

BEGIN_MESSAGE_MAP(CPageFinish, CPropertyPage)
END_MESSAGE_MAP()

CPageFinish::CPageFinish(CNOLUWizard* wizard) : CPropertyPage(IDD_PAGE_FINISH), m_pWizard(wizard) {}

CPageFinish::~CPageFinish() = default;

void CPageFinish::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_FINISH_PICTURE, m_picture);
    DDX_Control(dx, IDC_FINISH_TRANSP, m_bitmap);
    DDX_Control(dx, IDC_FINISH_CAPTION, m_caption);
}

BOOL CPageFinish::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_caption.SetBold(true);
    return TRUE;
}

BOOL CPageFinish::OnSetActive()
{
    m_pWizard->RequestButtons(PSWIZB_BACK | PSWIZB_FINISH);
    return CPropertyPage::OnSetActive();
}
