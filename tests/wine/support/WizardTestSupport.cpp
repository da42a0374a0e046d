#include "WizardTestSupport.h"
#include "WineTestSupport.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cstdlib>

namespace wiz {

Driver::Driver(std::function<void()> script)
    : m_thread([this, script] {
          script();
          DWORD start = GetTickCount();
          while (!m_done) {
              Sleep(100);
              if (GetTickCount() - start > 15000) {
                  for (HWND window : wts::WindowsOf(0))
                      if (CurrentPage(window))
                          PostMessageW(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
                      else
                          PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                  start = GetTickCount();
              }
          }
      })
{
}

Driver::~Driver()
{
    m_done = true;
    m_thread.join();
}

namespace {
// Visible top-level windows of the process (0: this one) with that title and a child of that id, when given.
std::vector<HWND> Search(DWORD processId, int itemId, const std::wstring* title, HWND except)
{
    return wts::WindowsOf(processId, [&](HWND window) {
        return window != except && (!title || wts::WindowText(window) == *title) &&
               (!itemId || GetDlgItem(window, itemId));
    });
}
}

HWND FindDialogWithItem(DWORD processId, int itemId, HWND except)
{
    std::vector<HWND> found = Search(processId, itemId, nullptr, except);
    return found.empty() ? nullptr : found.back();
}

HWND FindTitled(DWORD processId, const std::wstring& title, HWND except)
{
    std::vector<HWND> found = Search(processId, 0, &title, except);
    return found.empty() ? nullptr : found.back();
}

int CountTitled(DWORD processId, const std::wstring& title)
{
    return static_cast<int>(Search(processId, 0, &title, nullptr).size());
}

HWND FindFolderBrowser(DWORD processId, int exceptItem)
{
    std::vector<HWND> found = wts::WindowsOf(processId, [&](HWND w) {
        return FindWindowExW(w, nullptr, WC_TREEVIEWW, nullptr) && !(exceptItem && GetDlgItem(w, exceptItem));
    });
    return found.empty() ? nullptr : found.back();
}

HWND FindMessageBox(HWND owner)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    // A message box: a dialog of the owner with a static text and no controls of ours.
    std::vector<HWND> found = wts::WindowsOf(pid, [&](HWND w) {
        return GetWindow(w, GW_OWNER) == owner && wts::ClassOf(w) == L"#32770" && GetDlgItem(w, kMessageBoxText);
    });
    return found.empty() ? nullptr : found.back();
}

std::wstring BoxText(HWND box) { return wts::WindowText(GetDlgItem(box, kMessageBoxText)); }

std::wstring StaticTexts(HWND window)
{
    std::wstring texts;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM l) -> BOOL {
            if (lstrcmpiW(wts::ClassOf(child).c_str(), L"Static") == 0)
                *reinterpret_cast<std::wstring*>(l) += wts::WindowText(child) + L"\n";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

int PageIndex(HWND sheet)
{
    HWND page = CurrentPage(sheet);
    return page ? static_cast<int>(SendMessageW(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0)) : -1;
}

HWND CurrentPage(HWND sheet) { return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }

void Click(HWND window, int id)
{
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

HWND BackButton(HWND sheet) { return GetDlgItem(sheet, kBackButton); }
HWND NextButton(HWND sheet) { return GetDlgItem(sheet, kNextButton); }
HWND FinishButton(HWND sheet) { return GetDlgItem(sheet, kFinishButton); }

std::string ButtonState(HWND button)
{
    if (!button || !IsWindowVisible(button))
        return "hidden";
    return IsWindowEnabled(button) ? "enabled" : "disabled";
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void PressKey(HWND window, WORD key)
{
    HWND focus = FocusOf(window);
    HWND target = focus ? focus : window;
    UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
}

bool ChooseFile(DWORD processId, const std::wstring& title, const std::wstring& path)
{
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = FindTitled(processId, title)) != nullptr; }, 60000))
        return false;
    wts::Pump(300);
    HWND name = GetDlgItem(dialog, kFileNameField);
    if (name && lstrcmpiW(wts::ClassOf(name).c_str(), WC_COMBOBOXEXW) == 0)
        name = reinterpret_cast<HWND>(SendMessageW(name, CBEM_GETEDITCONTROL, 0, 0));
    else if (!name)
        name = GetDlgItem(dialog, kFileNameEdit);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return WaitUntil([&] { return !IsWindow(dialog); }, 60000);
}

void Screenshot(const std::wstring& name, std::initializer_list<HWND> windows)
{
    const char* folder = std::getenv("KEST_WIZARD_SHOTS");
    if (!folder || !*folder)
        return;
    CreateDirectoryW(wts::FromUnix(folder).c_str(), nullptr);
    std::string unixName;
    for (wchar_t c : name)
        unixName += static_cast<char>(c);
    wts::Screenshot(std::string(folder) + "/" + unixName, windows);
}

std::vector<HWND> Notepads(const std::wstring& fileName)
{
    const std::wstring name = wts::Lower(fileName);
    std::vector<HWND> found;
    std::pair<const std::wstring*, std::vector<HWND>*> search(&name, &found);
    EnumWindows(
        [](HWND w, LPARAM l) -> BOOL {
            auto* s = reinterpret_cast<std::pair<const std::wstring*, std::vector<HWND>*>*>(l);
            std::wstring title = wts::Lower(wts::WindowText(w));
            if (IsWindowVisible(w) && title.find(*s->first) != std::wstring::npos &&
                title.find(L"notepad") != std::wstring::npos)
                s->second->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return found;
}

}
