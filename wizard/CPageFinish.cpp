#include "CPageFinish.h"
#include "Afx.h"
#include "CDataExchange.h"
#include "CFileDialog.h"
#include "CKestNoluApp.h"
#include "CNOLUWizard.h"
#include "HostWindowWatch.h"
#include "KestFilenm.h"
#include "LogPathRule.h"
#include "ProgressIds.h"
#include "ResourceIds.h"
#include "StdsSearchFinishIds.h"
#include "WizardIds.h"

BEGIN_MESSAGE_MAP(CPageFinish, CPropertyPage)
ON_BN_CLICKED(IDC_FINISH_BROWSE, OnChooseLogFile)
END_MESSAGE_MAP()

CPageFinish::CPageFinish(CNOLUWizard* wizard) : CPropertyPage(IDD_PAGE_FINISH), m_pWizard(wizard) {}

CPageFinish::~CPageFinish() = default;

BOOL CPageFinish::OnInitDialog()
{
    m_logDrawings = (theApp.m_LogFlags & 0x1) ? 1 : 0;
    m_logUpdates = (theApp.m_LogFlags & 0x2) ? 1 : 0;
    m_logWarnings = (theApp.m_LogFlags & 0x4) ? 1 : 0;
    m_logDetails = 0;
    ::ShowWindow(GetDlgItem(IDC_FINISH_LOG_DETAILS), SW_HIDE);
    CPropertyPage::OnInitDialog();
    ShowLogPath();
    m_caption.SetBold(true);
    return TRUE;
}

BOOL CPageFinish::OnSetActive()
{
    m_pWizard->RequestButtons(PSWIZB_BACK | PSWIZB_FINISH);
    return CPropertyPage::OnSetActive();
}

void CPageFinish::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_FINISH_PICTURE, m_picture);
    DDX_Control(dx, IDC_FINISH_TRANSP, m_bitmap);
    DDX_Control(dx, IDC_FINISH_CAPTION, m_caption);
    DDX_Check(dx, IDC_FINISH_LOG_DRAWINGS, m_logDrawings);
    DDX_Check(dx, IDC_FINISH_LOG_UPDATES, m_logUpdates);
    DDX_Check(dx, IDC_FINISH_LOG_WARNINGS, m_logWarnings);
    DDX_Check(dx, IDC_FINISH_LOG_DETAILS, m_logDetails);
    if (dx->m_bSaveAndValidate)
        theApp.m_LogFlags = (m_logDrawings ? 0x1 : 0) | (m_logUpdates ? 0x2 : 0) | (m_logWarnings ? 0x4 : 0) |
                            (m_logDetails ? 0x8 : 0);
}

void CPageFinish::ShowLogPath()
{
    SetDlgItemText(IDC_FINISH_LOG_PATH, KestFilenm(g_logFile, false).Shorten(kShownLength).c_str());
}

void CPageFinish::OnChooseLogFile()
{
    KestFilenm current(g_logFile, false);
    CString title, filter, extension;
    title.LoadString(IDS_LOG_DIALOG_TITLE);
    filter.LoadString(IDS_LOG_DIALOG_FILTER);
    extension.LoadString(IDS_LOG_DIALOG_EXT);
    CFileDialog dialog(false, extension, current.m_title.c_str(),
                       OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING, filter, this);
    dialog.m_ofn.lpstrTitle = title;
    // Open where the log is now, so the suggested name lands beside it.
    std::wstring folder = current.m_drive + current.m_dir;
    dialog.m_ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    if (dialog.DoModal() != IDOK)
        return;
    std::wstring chosen = dialog.GetPathName().Str();
    if (!LogPathFits(chosen))
        return;
    g_logFile = chosen;
    ShowLogPath();
}

BOOL CPageFinish::OnWizardFinish()
{
    if (FindHostMainWindow()) {
        CString text, caption;
        text.LoadString(IDS_HOST_RUNNING);
        caption.LoadString(IDS_CAPTION);
        ::MessageBoxW(nullptr, text, caption, MB_ICONWARNING);
        return FALSE;
    }
    if (!UpdateData(true))
        return FALSE;
    return CPropertyPage::OnWizardFinish();
}
