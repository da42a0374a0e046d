#include "CPageStds.h"
#include "CDataExchange.h"
#include "CNOLUWizard.h"
#include "WizardIds.h"

BEGIN_MESSAGE_MAP(CPageStds, CPropertyPage)
END_MESSAGE_MAP()

CPageStds::CPageStds(CNOLUWizard* wizard) : CPropertyPage(IDD_PAGE_STDS), m_pWizard(wizard) {}

CPageStds::~CPageStds() = default;

void CPageStds::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_STDS_PICTURE, m_picture);
    DDX_Control(dx, IDC_STDS_TRANSP, m_bitmap);
    DDX_Control(dx, IDC_STDS_CAPTION, m_caption);
}

BOOL CPageStds::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_caption.SetBold(true);
    return TRUE;
}
