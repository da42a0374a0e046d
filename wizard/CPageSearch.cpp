#include "CPageSearch.h"
#include "CDataExchange.h"
#include "CNOLUWizard.h"
#include "WizardIds.h"

BEGIN_MESSAGE_MAP(CPageSearch, CPropertyPage)
END_MESSAGE_MAP()

CPageSearch::CPageSearch(CNOLUWizard* wizard) : CPropertyPage(IDD_PAGE_SEARCH), m_pWizard(wizard) {}

CPageSearch::~CPageSearch() = default;

void CPageSearch::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_SEARCH_TRANSP, m_bitmap);
    DDX_Control(dx, IDC_SEARCH_CAPTION, m_caption);
}

BOOL CPageSearch::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_caption.SetBold(true);
    return TRUE;
}

BOOL CPageSearch::OnSetActive()
{
    m_pWizard->RequestButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}
