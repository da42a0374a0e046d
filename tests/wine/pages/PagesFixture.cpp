#include "PagesFixture.h"
#include "Afx.h"
#include "CPageFinish.h"
#include "CPageSearch.h"
#include "CPageStds.h"
#include "HostKeys.h"
#include "HostProfile.h"
#include "ResourceIds.h"
#include "WineTestSupport.h"

// Test programs bring their own application object.
CKestNoluApp theApp;

std::wstring PagesFixture::g_host;

void PagesFixture::SetUpTestSuite()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    HMODULE resources = LoadLibraryW(wts::ResourceModulePath().c_str());
    ASSERT_NE(resources, nullptr) << "no resource module in the bin folder";
    AfxSetResourceHandle(resources);
    theApp.m_appName.LoadString(IDS_CAPTION);
    g_host = wts::FreshDir(L"host");
    ASSERT_EQ(wts::InstallHost(g_host), 0);
    ResetHostKeysForTest();
    UseBatchProfile();
    // Window frames drawn by Wine itself: the suite's display has no window manager.
    wts::RegSetString(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Decorated", L"N");
}

void PagesFixture::SetUp()
{
    ResetHostProfileForTest();
    theApp.m_hostFolder = g_host;
    theApp.m_Operation = 1;
    theApp.m_SymbolStd = 0;
    theApp.m_QuenbarFlags = 0;
    theApp.m_LogFlags = 15;
    theApp.m_drawings.clear();
    theApp.m_searchFolders.clear();
    theApp.m_saved = KestSavedProfile();
    g_logFile = L"DrxlMMigr.log";
    wts::RegDeleteTree(HKEY_CURRENT_USER, BomKey());
}

std::wstring PagesFixture::BomKey() { return GetProductKeyPath() + L"\\BOM Migration"; }

INT_PTR PagesFixture::RunPages(const std::function<void(HWND sheet)>& script)
{
    CNOLUWizard wizard;
    wizard.m_pages = {wizard.m_pageStds, wizard.m_pageSearch, wizard.m_pageFinish};
    wiz::Driver driver([&] {
        HWND sheet = nullptr;
        bool shown = wiz::WaitUntil([&] {
            sheet = wizard.m_hWnd;
            return sheet && IsWindowVisible(sheet) && wiz::PageIndex(sheet) == 0;
        });
        EXPECT_TRUE(shown) << "the wizard did not show";
        if (!shown)
            return;
        script(sheet);
        // Scripts leave the wizard open, or stopped early on a failed assertion: cancel without the question.
        if (IsWindow(sheet))
            wizard.EndCancelled();
        wiz::WaitUntil([&] {
            CloseOtherDialogs(sheet);
            return !IsWindow(sheet);
        }, 20000);
    });
    return wizard.DoModal();
}

void PagesFixture::CloseOtherDialogs(HWND sheet)
{
    for (HWND w : wts::WindowsOf(0, [&](HWND w) { return w != sheet && wts::ClassOf(w) == L"#32770"; })) {
        // Message boxes take the answer they offer; other dialogs Cancel.
        int answer = !GetDlgItem(w, wiz::kMessageBoxText) ? IDCANCEL : GetDlgItem(w, IDYES) ? IDYES : IDOK;
        PostMessageW(w, WM_COMMAND, answer, 0);
    }
}

bool PagesFixture::Press(HWND sheet, int button, int expectedIndex)
{
    PostMessageW(sheet, PSM_PRESSBUTTON, button, 0);
    return wiz::WaitUntil([&] { return wiz::PageIndex(sheet) == expectedIndex; });
}

HWND PagesFixture::Page(HWND sheet)
{
    return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void PagesFixture::Click(HWND page, int id)
{
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void PagesFixture::MouseClick(HWND page, int id)
{
    HWND button = GetDlgItem(page, id);
    PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

void PagesFixture::Toggle(HWND page, int id) { PostMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0); }

bool PagesFixture::Checked(HWND page, int id)
{
    return SendDlgItemMessageW(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool PagesFixture::Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

namespace {
// A dialog of this process with that title, or any message box.
HWND WaitForBox(const std::wstring* title, DWORD ms)
{
    std::vector<HWND> found;
    wts::WaitUntil([&] {
        found = wts::WindowsOf(0, [&](HWND w) {
            return wts::ClassOf(w) == L"#32770" &&
                   (title ? wts::WindowText(w) == *title : GetDlgItem(w, wiz::kMessageBoxText) != nullptr);
        });
        return !found.empty();
    }, ms);
    return found.empty() ? nullptr : found.front();
}
}

HWND PagesFixture::WaitForMessageBox(DWORD ms) { return WaitForBox(nullptr, ms); }

std::wstring PagesFixture::BoxText(HWND box) { return box ? wiz::BoxText(box) : L"(no box)"; }

HWND PagesFixture::BoxOwner(HWND box) { return GetWindow(box, GW_OWNER); }

HWND PagesFixture::WaitForDialog(const std::wstring& title, DWORD ms) { return WaitForBox(&title, ms); }

HWND PagesFixture::FileNameBox(HWND dialog)
{
    // Explorer style: an edit inside a combo box inside an extended combo box; old style: a plain edit.
    HWND name = GetDlgItem(dialog, wiz::kFileNameField);
    if (name) {
        if (lstrcmpiW(wts::ClassOf(name).c_str(), WC_COMBOBOXEXW) == 0)
            return reinterpret_cast<HWND>(SendMessageW(name, CBEM_GETEDITCONTROL, 0, 0));
        return FindWindowExW(name, nullptr, L"Edit", nullptr);
    }
    return GetDlgItem(dialog, wiz::kFileNameEdit);
}

void PagesFixture::ChooseFile(HWND dialog, const std::wstring& path)
{
    SetWindowTextW(FileNameBox(dialog), path.c_str());
    wts::Pump(100);
    PostMessageW(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

std::vector<HTREEITEM> PagesFixture::Children(HWND tree, HTREEITEM parent)
{
    std::vector<HTREEITEM> items;
    HTREEITEM item = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
    for (; item; item = TreeView_GetNextSibling(tree, item))
        items.push_back(item);
    return items;
}

std::wstring PagesFixture::ItemText(HWND tree, HTREEITEM item)
{
    std::vector<wchar_t> buffer(40000, L'\0');
    TVITEMW tv = {};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = buffer.data();
    tv.cchTextMax = static_cast<int>(buffer.size());
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)))
        return L"(no item)";
    return tv.pszText ? tv.pszText : L"";
}

std::vector<std::wstring> PagesFixture::Texts(HWND tree, HTREEITEM parent)
{
    std::vector<std::wstring> texts;
    for (HTREEITEM item : Children(tree, parent))
        texts.push_back(ItemText(tree, item));
    return texts;
}
