#include "JobRun.h"
#include "ProgressIds.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <commctrl.h>

namespace {
LRESULT SendTo(HWND window, UINT msg, WPARAM w = 0, LPARAM l = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, msg, w, l, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}
}

JobRun::JobRun(const Options& options)
{
    std::wstring line = wts::Quoted(wts::BinDir() + L"\\..\\tests\\RunJob.exe");
    line += L" --operation " + std::to_wstring(options.operation);
    line += L" --timeout " + std::to_wstring(options.timeout);
    line += L" --timer-second " + std::to_wstring(options.timerSecondMs);
    if (!options.log.empty())
        line += L" --log " + wts::Quoted(options.log);
    for (const std::wstring& arg : options.extra)
        line += L" " + wts::Quoted(arg);
    line += L" " + wts::Quoted(options.list);
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
    wts::EndProcess(m_process, 99);
}

bool JobRun::WaitForDialog(DWORD ms)
{
    return wts::WaitUntil([this] { return (m_dialog = wiz::FindDialogWithItem(m_processId, IDC_PROGRESS_BAR)); }, ms);
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

int JobRun::BarPosition() const { return static_cast<int>(SendTo(GetDlgItem(m_dialog, IDC_PROGRESS_BAR), PBM_GETPOS)); }

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
    wiz::Click(m_dialog, id);
}

void JobRun::Post(UINT msg, WPARAM w, LPARAM l) const { PostMessageW(m_dialog, msg, w, l); }

HWND JobRun::WaitForMessageBox(DWORD ms) const
{
    std::vector<HWND> boxes;
    wts::WaitUntil([&] {
        boxes = wts::WindowsOf(m_processId, [&](HWND w) { return w != m_dialog && wts::ClassOf(w) == L"#32770"; });
        return !boxes.empty();
    }, ms);
    return boxes.empty() ? nullptr : boxes.front();
}

std::wstring JobRun::BoxText(HWND box)
{
    std::wstring all;
    for (const std::wstring& text : wts::ChildTexts(box))
        all += text + L"\n";
    return all;
}

void JobRun::Answer(HWND box, int id) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

DWORD JobRun::WaitForExit(DWORD ms) const { return wts::ExitCode(m_process, ms); }
