#include "CFolderBrowser.h"
#include "KestFilenm.h"
#include "WizardIds.h"

#include <shlobj.h>
#include <shlwapi.h>

BEGIN_MESSAGE_MAP(CFolderBrowser, CFileDialog)
END_MESSAGE_MAP()

CFolderBrowser::CFolderBrowser(CWnd* parent)
    : CFileDialog(true, nullptr, nullptr,
                  OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_SHOWHELP | OFN_ENABLETEMPLATE,
                  nullptr, parent),
      m_pParent(parent)
{
    m_ofn.Flags &= ~OFN_EXPLORER;
    m_ofn.lpTemplateName = IDD_DIRSELECT;
}

CFolderBrowser::~CFolderBrowser() = default;

bool CFolderBrowser::UseShellBrowser(DWORD major, DWORD minor)
{
    // Every shell from 4.x with a minor version on has the browser; 5.0, 6.0
    // and 10.0 are later shells, not older ones.
    return major > 4 || (major == 4 && minor != 0);
}

INT_PTR CFolderBrowser::DoModal()
{
    DLLVERSIONINFO version = {};
    version.cbSize = sizeof(version);
    bool shell = false;
    HMODULE library = ::LoadLibraryW(L"shell32.dll");
    if (library) {
        auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(::GetProcAddress(library, "DllGetVersion"));
        if (getVersion) {
            if (FAILED(getVersion(&version)))
                version.dwMajorVersion = version.dwMinorVersion = 0;
            shell = UseShellBrowser(version.dwMajorVersion, version.dwMinorVersion);
        }
        ::FreeLibrary(library);
    }
    return shell ? BrowseWithShell() : BrowseWithFileDialog();
}

void CFolderBrowser::SetChosen(const std::wstring& folder)
{
    ::lstrcpynW(m_szFileName, folder.c_str(), MAX_PATH);
    m_szFileTitle[0] = L'\0';
    m_ofn.lpstrFile = m_szFileName;
}

INT_PTR CFolderBrowser::BrowseWithShell()
{
    IMalloc* allocator = nullptr;
    if (FAILED(::SHGetMalloc(&allocator)) || !allocator)
        return IDCANCEL;
    // The browser's tree is built from shell objects: this thread needs COM.
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    wchar_t display[MAX_PATH] = {};
    BROWSEINFOW info = {};
    info.hwndOwner = m_pParent ? m_pParent->m_hWnd : nullptr;
    info.pidlRoot = nullptr;
    info.pszDisplayName = display;
    info.lpszTitle = L"";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    LPITEMIDLIST chosen = ::SHBrowseForFolderW(&info);

    INT_PTR result = IDCANCEL;
    wchar_t path[MAX_PATH] = {};
    if (chosen && ::SHGetPathFromIDListW(chosen, path)) {
        SetChosen(KestFilenm(path, false).m_path);
        result = IDOK;
    }
    if (chosen)
        allocator->Free(chosen);
    allocator->Release();
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return result;
}

INT_PTR CFolderBrowser::BrowseWithFileDialog()
{
    m_ofn.lpstrFilter = nullptr;
    m_ofn.lpstrDefExt = nullptr;
    INT_PTR result = CFileDialog::DoModal();
    if (result == IDOK) {
        // The dialog returns "<folder>\a": the folder is what comes before the name.
        std::wstring path = m_szFileName;
        size_t cut = path.find_last_of(L"\\/");
        // A drive's root keeps its separator: "C:" alone names the drive's current folder.
        if (cut == 2 && path[1] == L':')
            ++cut;
        SetChosen(cut == std::wstring::npos ? path : path.substr(0, cut));
    }
    return result;
}

BOOL CFolderBrowser::OnInitDialog()
{
    CenterWindow();
    for (int id : {IDC_FD_TYPE_LABEL, IDC_FD_TYPE_LIST, IDC_FD_NAME_LABEL, IDC_FD_NAME_EDIT, IDC_FD_NAME_LIST,
                   IDC_FD_HELP})
        ::ShowWindow(GetDlgItem(id), SW_HIDE);
    CFileDialog::OnInitDialog();
    // A name the dialog accepts without a file being chosen.
    SetDlgItemText(IDC_FD_NAME_EDIT, L"a");
    ::SetFocus(GetDlgItem(IDC_FD_FOLDER_LIST));
    return FALSE;
}
