#include "JobRun.h"
#include "WineTestSupport.h"

#include <commctrl.h>

namespace {
const wchar_t kDialogTitle[] = L"Transmora - Drawing Migration";

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

struct Search {
    DWORD processId;
    HWND skip;
    bool dialogOnly;   // the progress dialog by its title, else any dialog-class window
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || window == search->skip || !IsWindowVisible(window))
        return TRUE;
    wchar_t cls[32] = {0};
    GetClassNameW(window, cls, 32);
    if (std::wstring(cls) != L"#32770")
        return TRUE;
    if (search->dialogOnly && wts::WindowText(window) != kDialogTitle)
        return TRUE;
    search->found = window;
    return FALSE;
}

LRESULT SendTo(HWND window, UINT msg, WPARAM w = 0, LPARAM l = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, msg, w, l, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}
}

JobRun::JobRun(const Options& options)
{
    std::wstring line = Quoted(wts::BinDir() + L"\\..\\tests\\RunJob.exe");
    line += L" --operation " + std::to_wstring(options.operation);
    line += L" --timeout " + std::to_wstring(options.timeout);
    line += L" --timer-second " + std::to_wstring(options.timerSecondMs);
    if (!options.log.empty())
        line += L" --log " + Quoted(options.log);
    for (const std::wstring& arg : options.extra)
        line += L" " + Quoted(arg);
    line += L" " + Quoted(options.list);
    if (!options.job) {
        m_process = wts::Start(line, L"USTORA_FOLDER=" + wts::BinDir() + L"\\");
    } else {
        // In the job before it runs a single instruction.
        SetEnvironmentVariableW(L"USTORA_FOLDER", (wts::BinDir() + L"\\").c_str());
        STARTUPINFOW startup = {sizeof(startup)};
        PROCESS_INFORMATION info = {};
        if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                           &info)) {
            AssignProcessToJobObject(options.job, info.hProcess);
            ResumeThread(info.hThread);
            CloseHandle(info.hThread);
            m_process = info.hProcess;
        }
    }
    m_processId = m_process ? GetProcessId(m_process) : 0;
}

JobRun::~JobRun()
{
    if (!m_process)
        return;
    if (WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 10000);
    }
    CloseHandle(m_process);
}

bool JobRun::WaitForDialog(DWORD ms)
{
    return WaitUntil(
        [this] {
            Search search = {m_processId, nullptr, true, nullptr};
            EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
            m_dialog = search.found;
            return m_dialog != nullptr;
        },
        ms);
}

std::wstring JobRun::Text(int id) const { return wts::WindowText(GetDlgItem(m_dialog, id)); }

bool JobRun::Visible(int id) const { return IsWindowVisible(GetDlgItem(m_dialog, id)) != 0; }

bool JobRun::Enabled(int id) const { return IsWindowEnabled(GetDlgItem(m_dialog, id)) != 0; }

bool JobRun::HasDefaultStyle(int id) const
{
    return (GetWindowLongPtrW(GetDlgItem(m_dialog, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

int JobRun::DefaultButton() const
{
    LRESULT result = SendTo(m_dialog, DM_GETDEFID);
    return HIWORD(result) == DC_HASDEFID ? LOWORD(result) : 0;
}

int JobRun::BarPosition() const { return static_cast<int>(SendTo(GetDlgItem(m_dialog, 2019), PBM_GETPOS)); }

bool JobRun::Topmost() const { return (GetWindowLongPtrW(m_dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

RECT JobRun::Frame() const
{
    RECT frame = {};
    GetWindowRect(m_dialog, &frame);
    return frame;
}

bool JobRun::DialogOpen() const { return m_dialog && IsWindow(m_dialog) && IsWindowVisible(m_dialog); }

void JobRun::Click(int id) const
{
    PostMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(m_dialog, id)));
}

void JobRun::Post(UINT msg, WPARAM w, LPARAM l) const { PostMessageW(m_dialog, msg, w, l); }

HWND JobRun::WaitForMessageBox(DWORD ms) const
{
    HWND box = nullptr;
    WaitUntil(
        [&] {
            Search search = {m_processId, m_dialog, false, nullptr};
            EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
            box = search.found;
            return box != nullptr;
        },
        ms);
    return box;
}

std::wstring JobRun::BoxText(HWND box)
{
    std::wstring all;
    for (const std::wstring& text : wts::ChildTexts(box))
        all += text + L"\n";
    return all;
}

void JobRun::Answer(HWND box, int id) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

bool JobRun::WaitUntil(const std::function<bool()>& cond, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (GetTickCount() - start > ms)
            return false;
        Sleep(100);
    }
}

DWORD JobRun::WaitForExit(DWORD ms) const
{
    if (!m_process || WaitForSingleObject(m_process, ms) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    return code;
}
