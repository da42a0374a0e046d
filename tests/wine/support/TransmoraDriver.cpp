#include "TransmoraDriver.h"
#include "FilesOptionsIds.h"
#include "ProgressIds.h"
#include "ResourceIds.h"
#include "WineTestSupport.h"
#include "WizardIds.h"
#include "WizardTestSupport.h"

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

TransmoraDriver::TransmoraDriver(const std::wstring& arguments) : TransmoraDriver(Options{arguments, L"", L""}) {}

TransmoraDriver::TransmoraDriver(const Options& options) : m_language(options.language)
{
    std::wstring environment = options.environment;
    if (!m_language.empty())
        environment = L"USTORA_LANGUAGE=" + m_language + (environment.empty() ? L"" : L";" + environment);
    std::wstring line = wts::Quoted(wts::BinDir() + L"\\Transmora.exe");
    process = wts::Start(options.arguments.empty() ? line : line + L" " + options.arguments, environment);
    pid = process ? GetProcessId(process) : 0;
}

TransmoraDriver::~TransmoraDriver()
{
    if (process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
        Kill();
    if (process)
        CloseHandle(process);
}

int TransmoraDriver::Kill() { return wts::EndTree(process); }

void TransmoraDriver::Detach()
{
    if (process)
        CloseHandle(process);
    process = nullptr;
}

std::wstring TransmoraDriver::Text(UINT id) const
{
    return m_language.empty() ? wts::Text(id) : wts::Text(id, m_language);
}

HWND TransmoraDriver::WaitForBeginPage(DWORD timeoutMs)
{
    const std::wstring title = Text(IDS_CAPTION);
    wts::WaitUntil([&] {
        m_sheet = wiz::FindDialogWithItem(pid, IDC_PROGRESS_BAR) ? nullptr : wiz::FindTitled(pid, title);
        return m_sheet && wiz::PageIndex(m_sheet) == 0 && wiz::ButtonState(wiz::NextButton(m_sheet)) == "enabled";
    }, timeoutMs);
    if (m_sheet && wiz::PageIndex(m_sheet) != 0)
        m_sheet = nullptr;
    return m_sheet;
}

bool TransmoraDriver::ToFilesPage(const std::function<void(HWND)>& atSafetyNotice)
{
    PostMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    HWND safety = nullptr;
    if (!wts::WaitUntil([&] { return (safety = wiz::FindDialogWithItem(pid, IDC_SAFETY_ICON)) != nullptr; }))
        return false;
    if (atSafetyNotice)
        atSafetyNotice(safety);
    PostMessageW(safety, WM_COMMAND, IDOK, 0);
    return wts::WaitUntil([&] { return wiz::PageIndex(m_sheet) == 1; });
}

bool TransmoraDriver::LoadList(const std::wstring& list, int rows)
{
    HWND page = wiz::CurrentPage(m_sheet);
    HWND view = GetDlgItem(page, IDC_FILES_LIST);
    if (!view || !GetDlgItem(page, IDC_FILES_LOAD))
        return false;
    wiz::Click(page, IDC_FILES_LOAD);
    if (!wiz::ChooseFile(pid, Text(IDS_FILES_LOAD_TITLE), list))
        return false;
    return wts::WaitUntil([&] {
        int shown = ListView_GetItemCount(view);
        return rows ? shown == rows : shown > 0;
    }, 60000);
}

bool TransmoraDriver::SelectFirstDrawing()
{
    HWND view = GetDlgItem(wiz::CurrentPage(m_sheet), IDC_FILES_LIST);
    PostMessageW(view, WM_KEYDOWN, VK_DOWN, 1);
    return wts::WaitUntil([&] { return ListView_GetSelectedCount(view) == 1; });
}

bool TransmoraDriver::Next(int pageIndex, DWORD timeoutMs)
{
    PostMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    return wts::WaitUntil([&] { return wiz::PageIndex(m_sheet) == pageIndex; }, timeoutMs);
}

HWND TransmoraDriver::Finish(const std::function<void()>& meanwhile, DWORD timeoutMs)
{
    PostMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    return WaitForProgress(timeoutMs, meanwhile);
}

HWND TransmoraDriver::WaitForProgress(DWORD timeoutMs, const std::function<void()>& meanwhile)
{
    m_progress = nullptr;
    wts::WaitUntil([&] {
        if (meanwhile)
            meanwhile();
        return (m_progress = wiz::FindDialogWithItem(pid, IDC_PROGRESS_BAR)) != nullptr;
    }, timeoutMs);
    return m_progress;
}

HWND TransmoraDriver::OpenRun(const std::wstring& list)
{
    m_failure = !WaitForBeginPage() ? "no Begin page"
                : !ToFilesPage() ? "no safety notice or no Files page"
                : !LoadList(list) ? "the list did not load"
                : "";
    for (int index = 2; index <= 5 && m_failure.empty(); ++index)
        if (!Next(index))
            m_failure = "no page " + std::to_string(index) + " after Next";
    if (m_failure.empty() && !Finish())
        m_failure = "no progress dialog after Finish";
    return m_failure.empty() ? m_progress : nullptr;
}

bool TransmoraDriver::WaitForFinished(DWORD timeoutMs, const std::function<void()>& meanwhile)
{
    const std::wstring finished = Text(IDS_MIGRATE_FINISHED);
    return wts::WaitUntil([&] {
        if (meanwhile)
            meanwhile();
        return wts::WindowText(GetDlgItem(m_progress, IDC_PROGRESS_STATUS)) == finished &&
               IsWindowEnabled(GetDlgItem(m_progress, IDOK));
    }, timeoutMs);
}

bool TransmoraDriver::FinishAndExit(const std::wstring& logFile, std::string* why)
{
    if (!WaitForFinished(300000)) {
        *why = "the run did not finish; drawing " +
               wts::Narrow(wts::WindowText(GetDlgItem(m_progress, IDC_PROGRESS_CURRENT)));
        return false;
    }
    PostMessageW(m_progress, WM_COMMAND, IDOK, 0);
    std::wstring name = logFile.substr(logFile.find_last_of(L'\\') + 1);
    std::vector<HWND> notepads;
    wts::WaitUntil([&] { return !(notepads = wiz::Notepads(name)).empty(); }, 60000);
    bool ended = WaitForExit();
    for (HWND notepad : notepads)
        PostMessageW(notepad, WM_CLOSE, 0, 0);
    if (notepads.empty())
        *why = "notepad shows no log";
    else if (!ended)
        *why = "Transmora did not end";
    return ended && !notepads.empty();
}

bool TransmoraDriver::Cancel()
{
    PostMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    HWND question = nullptr;
    if (wts::WaitUntil([&] { return (question = wiz::FindMessageBox(m_sheet)) != nullptr; }, 10000))
        PostMessageW(question, WM_COMMAND, IDYES, 0);
    return WaitForExit(30000);
}

HWND TransmoraDriver::WaitForBox(DWORD timeoutMs) const
{
    HWND box = nullptr;
    wts::WaitUntil([&] {
        box = wiz::FindDialogWithItem(pid, wiz::kMessageBoxText);
        return box && !wiz::FindDialogWithItem(pid, IDC_PROGRESS_BAR) && !wiz::CurrentPage(box);
    }, timeoutMs);
    return box;
}

bool TransmoraDriver::WaitForExit(DWORD timeoutMs) const
{
    return process && WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
}

DWORD TransmoraDriver::ExitCode() const { return wts::ExitCode(process); }
