#include "CPageBegin.h"
#include "CDataExchange.h"
#include "CNOLUWizard.h"
#include "CRunLornDlg.h"
#include "CSafetyDlg.h"
#include "HostKeys.h"
#include "HostProfile.h"
#include "WizardIds.h"

BEGIN_MESSAGE_MAP(CPageBegin, CPropertyPage)
ON_BN_CLICKED(IDC_BEGIN_HELP, OnHelpButton)
END_MESSAGE_MAP()

CPageBegin::CPageBegin(CNOLUWizard* wizard) : CPropertyPage(IDD_PAGE_BEGIN), m_pWizard(wizard) {}

CPageBegin::~CPageBegin() = default;

void CPageBegin::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_BEGIN_PICTURE, m_picture);
    DDX_Control(dx, IDC_BEGIN_TRANSP, m_bitmap);
    DDX_Control(dx, IDC_BEGIN_ICON, m_icon);
    DDX_Control(dx, IDC_BEGIN_CAPTION, m_caption);
}

BOOL CPageBegin::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_icon.SetIcon(::LoadIconW(nullptr, IDI_EXCLAMATION));
    m_caption.SetBold(true);
    return TRUE;
}

BOOL CPageBegin::OnSetActive()
{
    m_pWizard->RequestButtons(PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

LRESULT CPageBegin::OnWizardNext()
{
    std::wstring profileKey = GetProfileKeyPath();
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, profileKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        CRunLornDlg notice;
        notice.DoModal();
        m_pWizard->EndCancelled();
        return -1;
    }
    ::RegCloseKey(key);

    // Only a confirmed notice lets the wizard on: a notice that could not be
    // shown is no confirmation.
    CSafetyDlg safety;
    if (safety.DoModal() != IDOK) {
        m_pWizard->EndCancelled();
        return -1;
    }
    PrepareHostProfile(ProfileStep::Save);
    return CPropertyPage::OnWizardNext();
}

void CPageBegin::OnHelpButton() { m_pWizard->SendMessage(WM_COMMAND, IDHELP); }
