#include "WizardTestSupport.h"
#include "WineTestSupport.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>

namespace wiz {

namespace {
BOOL CALLBACK CancelProc(HWND window, LPARAM)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    if (SendMessageW(window, PSM_GETCURRENTPAGEHWND, 0, 0))
        PostMessageW(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    else
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}
}

Driver::Driver(std::function<void()> script)
    : m_thread([this, script] {
          script();
          DWORD start = GetTickCount();
          while (!m_done) {
              Sleep(100);
              if (GetTickCount() - start > 15000) {
                  EnumWindows(CancelProc, 0);
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

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

namespace {
struct Search {
    DWORD processId;
    int itemId;
    const std::wstring* title;
    HWND except;
    HWND found;
    int count;
};

BOOL CALLBACK SearchProc(HWND window, LPARAM l)
{
    auto* s = reinterpret_cast<Search*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != s->processId || window == s->except || !IsWindowVisible(window))
        return TRUE;
    if (s->title && wts::WindowText(window) != *s->title)
        return TRUE;
    if (s->itemId && !GetDlgItem(window, s->itemId))
        return TRUE;
    s->found = window;
    ++s->count;
    return TRUE;
}

Search Run(DWORD processId, int itemId, const std::wstring* title, HWND except)
{
    Search s = {processId ? processId : GetCurrentProcessId(), itemId, title, except, nullptr, 0};
    EnumWindows(SearchProc, reinterpret_cast<LPARAM>(&s));
    return s;
}

BOOL CALLBACK StaticProc(HWND window, LPARAM l)
{
    wchar_t cls[32] = {};
    GetClassNameW(window, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0)
        *reinterpret_cast<std::wstring*>(l) += wts::WindowText(window) + L"\n";
    return TRUE;
}
}

HWND FindDialogWithItem(DWORD processId, int itemId, HWND except)
{
    return Run(processId, itemId, nullptr, except).found;
}

HWND FindTitled(DWORD processId, const std::wstring& title, HWND except)
{
    return Run(processId, 0, &title, except).found;
}

int CountTitled(DWORD processId, const std::wstring& title) { return Run(processId, 0, &title, nullptr).count; }

HWND FindMessageBox(HWND owner)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    struct Find {
        HWND owner;
        DWORD pid;
        HWND found;
    } find = {owner, pid, nullptr};
    EnumWindows(
        [](HWND w, LPARAM l) -> BOOL {
            auto* f = reinterpret_cast<Find*>(l);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            wchar_t cls[16] = {};
            GetClassNameW(w, cls, 16);
            // A message box: a dialog of the owner with a static text and no controls of ours.
            if (pid == f->pid && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == f->owner &&
                lstrcmpW(cls, L"#32770") == 0 && GetDlgItem(w, 0xFFFF))
                f->found = w;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

std::wstring StaticTexts(HWND window)
{
    std::wstring texts;
    EnumChildWindows(window, StaticProc, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

int PageIndex(HWND sheet)
{
    HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    return page ? static_cast<int>(SendMessageW(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0)) : -1;
}

HWND BackButton(HWND sheet) { return GetDlgItem(sheet, 0x3023); }
HWND NextButton(HWND sheet) { return GetDlgItem(sheet, 0x3024); }
HWND FinishButton(HWND sheet) { return GetDlgItem(sheet, 0x3025); }

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
    HWND name = GetDlgItem(dialog, 0x47C);
    wchar_t cls[32] = {};
    GetClassNameW(name, cls, 32);
    if (name && lstrcmpiW(cls, WC_COMBOBOXEXW) == 0)
        name = reinterpret_cast<HWND>(SendMessageW(name, CBEM_GETEDITCONTROL, 0, 0));
    else if (!name)
        name = GetDlgItem(dialog, 0x480);
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

std::wstring SourceFile(const char* name) { return wts::FromUnix(std::string(KEST_WIZARD_TEST_DIR "/") + name); }

std::wstring LowerText(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::vector<HWND> Notepads(const std::wstring& fileName)
{
    struct Search {
        std::wstring name;
        std::vector<HWND> found;
    } search = {LowerText(fileName), {}};
    EnumWindows(
        [](HWND w, LPARAM l) -> BOOL {
            auto* s = reinterpret_cast<Search*>(l);
            std::wstring title = LowerText(wts::WindowText(w));
            if (IsWindowVisible(w) && title.find(s->name) != std::wstring::npos &&
                title.find(L"notepad") != std::wstring::npos)
                s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}
