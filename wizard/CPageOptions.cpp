#include "CPageOptions.h"
#include "CDataExchange.h"
#include "CKestNoluApp.h"
#include "CNOLUWizard.h"
#include "CPaintDC.h"
#include "FilesOptionsIds.h"
#include "ResourceIds.h"
#include "WizardIds.h"

namespace {
// The check boxes in exchange order: the DrxlmFlags bit each one shows.
const struct {
    int mask;
    int id;
} kBoxes[] = {
    {0x1, IDC_OPTIONS_USE_TEMPLATE},   {0x2, IDC_OPTIONS_PURGE},          {0x4, IDC_OPTIONS_PURGE_BLOCKS},
    {0x8, IDC_OPTIONS_PURGE_LAYERS},   {0x10, IDC_OPTIONS_PURGE_DIMS},    {0x20, IDC_OPTIONS_PURGE_PLOTS},
    {0x80, IDC_OPTIONS_PURGE_LTYPES},  {0x100, IDC_OPTIONS_PURGE_STYLES}, {0x200, IDC_OPTIONS_PURGE_MLINES},
    {0x400, IDC_OPTIONS_PURGE_SHAPES},
};
const int kTemplateGroup[] = {IDC_OPTIONS_TEMPLATE, IDC_OPTIONS_BROWSE};
const int kPurgeGroup[] = {IDC_OPTIONS_PURGE_BLOCKS, IDC_OPTIONS_PURGE_LAYERS, IDC_OPTIONS_PURGE_DIMS,
                           IDC_OPTIONS_PURGE_PLOTS,  IDC_OPTIONS_PURGE_LABEL,  IDC_OPTIONS_PURGE_LTYPES,
                           IDC_OPTIONS_PURGE_STYLES, IDC_OPTIONS_PURGE_MLINES, IDC_OPTIONS_PURGE_SHAPES};

CString Text(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}
}

std::function<BOOL(OPENFILENAMEW&)> CPageOptions::s_openFileHook;

BEGIN_MESSAGE_MAP(CPageOptions, CPropertyPage)
ON_BN_CLICKED(IDC_OPTIONS_USE_TEMPLATE, OnMasterClicked)
ON_BN_CLICKED(IDC_OPTIONS_PURGE, OnMasterClicked)
ON_BN_CLICKED(IDC_OPTIONS_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CPageOptions::CPageOptions(CNOLUWizard* wizard) : CPropertyPage(IDD_PAGE_OPTIONS), m_pWizard(wizard) {}

CPageOptions::~CPageOptions() = default;

void CPageOptions::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_OPTIONS_PICTURE, m_picture);
    DDX_Control(dx, IDC_OPTIONS_TRANSP, m_transp);
    DDX_Control(dx, IDC_OPTIONS_CAPTION, m_caption);
    DDX_Text(dx, IDC_OPTIONS_TIMEOUT, m_timeout);
    DDV_MinMaxInt(dx, m_timeout, 1, 1440);
    // Every exchange, in either direction: the run's host mode is always "1" once this page was shown.
    theApp.m_UpdateFlags = 0;
    theApp.m_OptionFlags = 0;
    CString templatePath = theApp.m_templatePath;
    DDX_Text(dx, IDC_OPTIONS_TEMPLATE, templatePath);
    theApp.m_templatePath = templatePath.Str();
    // Loading leaves the flags as they are; saving takes these ten bits from the boxes and no others.
    for (const auto& box : kBoxes) {
        int ticked = (theApp.m_DrxlmFlags & box.mask) ? 1 : 0;
        DDX_Check(dx, box.id, ticked);
        if (ticked)
            theApp.m_DrxlmFlags |= box.mask;
        else
            theApp.m_DrxlmFlags &= ~box.mask;
    }
    if (dx->m_bSaveAndValidate)
        theApp.m_Timeout = m_timeout;
}

BOOL CPageOptions::OnInitDialog()
{
    m_timeout = theApp.m_Timeout;
    CPropertyPage::OnInitDialog();
    m_caption.SetBold(true);

    // The purge box heads its group's frame: it is made as wide as its text measures in the device
    // context's default font, which is wider than the dialog's, so the text always fits.
    HWND purge = GetDlgItem(IDC_OPTIONS_PURGE);
    CString label = CWnd::GetDlgItemText(IDC_OPTIONS_PURGE);
    SIZE extent = {0, 0};
    {
        CPaintDC dc(this);
        ::GetTextExtentPoint32W(dc, label, label.GetLength(), &extent);
    }
    RECT box;
    ::GetWindowRect(purge, &box);
    ::SetWindowPos(purge, nullptr, 0, 0, box.right - box.left + static_cast<int>(0.9 * extent.cx), box.bottom - box.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    ::SendDlgItemMessageW(m_hWnd, IDC_OPTIONS_TIMEOUT_SPIN, UDM_SETRANGE32, 1, 1440);
    EnableGroups();
    return FALSE;
}

BOOL CPageOptions::OnSetActive()
{
    m_pWizard->RequestButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

void CPageOptions::EnableGroups()
{
    const bool useTemplate = (theApp.m_DrxlmFlags & 0x1) != 0;
    const bool purge = (theApp.m_DrxlmFlags & 0x2) != 0;
    for (int id : kTemplateGroup)
        ::EnableWindow(GetDlgItem(id), useTemplate);
    for (int id : kPurgeGroup)
        ::EnableWindow(GetDlgItem(id), purge);
}

void CPageOptions::OnMasterClicked()
{
    UpdateData(true);
    EnableGroups();
    UpdateData(false);
}

void CPageOptions::OnBrowse()
{
    UpdateData(true);
    wchar_t file[MAX_PATH] = {0};
    wchar_t title[MAX_PATH] = {0};
    OPENFILENAMEW ofn = {};
    // Shells before XP know only the structure without its newer trailing fields.
    ofn.lStructSize = theApp.m_atLeastXP ? sizeof(OPENFILENAMEW) : OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"DWT Files\0*.dwt\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = MAX_PATH;
    ofn.lpstrDefExt = L"dwt";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
    BOOL chosen = s_openFileHook ? s_openFileHook(ofn) : ::GetOpenFileNameW(&ofn);
    if (chosen)
        theApp.m_templatePath = file;
    UpdateData(false);
}

LRESULT CPageOptions::OnWizardNext()
{
    if (!UpdateData(true))
        return -1;
    const std::wstring& path = theApp.m_templatePath;
    // The template must be a file: a folder of that name exists too, but the host cannot use it.
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path.c_str());
    if (!(theApp.m_DrxlmFlags & 0x1) ||
        (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)))
        return CPropertyPage::OnWizardNext();
    MessageBox(Text(IDS_OPTIONS_NO_TEMPLATE), Text(IDS_CAPTION), MB_ICONWARNING);
    return -1;
}
