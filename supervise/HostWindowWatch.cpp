#include "HostWindowWatch.h"
#include "HostLogWatch.h"
#include "HostTitleMatch.h"
#include "HostWatchTables.h"
#include "KeySequencePlayer.h"
#include "SuperviseIds.h"
#include "TextCodec.h"
#include "../app/RunSafetyIds.h"

#include "../app/CKestNoluApp.h"
#include "../app/TextLocale.h"
#include "../drawings/FormatCheck.h"
#include "CString.h"

#include <vector>

namespace {
HWND g_mainWindow = nullptr;
std::wstring g_mainTitle;
bool g_childFlag = false;
bool g_row3KeyLoaded = false;
uint16_t g_row3Key = 0;
// The window last answered with the key sequence: if it is still there at the
// next call, the sequence did nothing and the window is handled as when the
// hook cannot be installed.
HWND g_sequenceWindow = nullptr;
std::wstring g_sequenceTitle;
// A key-sequence window whose keys could not be typed safely: left to the
// drawing's time budget rather than answered or ended again and again.
HWND g_refusedWindow = nullptr;
// The program the batch starts for each drawing.
const wchar_t kHostProgram[] = L"drxl.exe";

std::wstring LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text.Str();
}

std::wstring FormatText(UINT id, const wchar_t* argument)
{
    CString format, text;
    format.LoadString(id);
    if (FormatTakes(format.Str(), "s"))
        text.Format(format, argument);
    else
        text.Format(L"%s %s", static_cast<const wchar_t*>(format), argument);
    return text.Str();
}

std::wstring WindowTitle(HWND window)
{
    // For another process's window this reads the stored text without sending
    // a message, so a hung host cannot hang us.
    wchar_t buffer[4096] = {0};
    GetWindowTextW(window, buffer, 4096);
    return buffer;
}

void PostKey(HWND window, uint16_t key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_CHAR, key, 1);
    PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

// Ends the window's process through the handle it was found the run's on, or
// posts the key to the window when that cannot be done.
void EndWindowProcess(HWND window, HANDLE process, const std::wstring& title, uint16_t fallbackKey)
{
    bool ended = false;
    if (process) {
        AddIndentedLogLine(FormatText(IDS_HOST_ENDED_WINDOW, title.c_str()));
        theApp.m_report.NoteHostError(title);
        ended = TerminateProcess(process, 0) != 0;
        RemoveHostLogFile();
    }
    if (!ended)
        PostKey(window, fallbackKey);
}

struct ChildSearch {
    const std::wstring* text;      // the text looked for, once known
    const std::wstring* hostFolder;
    std::wstring hostText;
    bool hostTextLoaded;
};

BOOL CALLBACK FindChildText(HWND child, LPARAM lParam)
{
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    if (!search->text) {
        // The host's own string, from its resource module, loaded as data only.
        if (!search->hostTextLoaded) {
            search->hostTextLoaded = true;
            std::wstring path = *search->hostFolder + L"\\drxlm\\drxlmres.dll";
            if (HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
                const wchar_t* text = nullptr;
                int length = LoadStringW(module, IDS_HOST_CONTINUE_TEXT, reinterpret_cast<wchar_t*>(&text), 0);
                if (length > 0 && text)
                    search->hostText.assign(text, static_cast<size_t>(length));
                FreeLibrary(module);
            }
        }
        // A missing module or string matches no child.
        if (search->hostText.empty())
            return FALSE;
    }
    const std::wstring& wanted = search->text ? *search->text : search->hostText;
    if (EqualNoCase(WindowTitle(child), wanted)) {
        g_childFlag = true;
        return FALSE;
    }
    return TRUE;
}

struct Tables {
    std::wstring fatal[34];
    std::wstring answer[9];
    std::wstring sequenceTitle;
    std::wstring exemptText;   // string 2141
};

struct WatchPass {
    const Tables* tables;
    DWORD ownProcess;
};

// The key sequence's guard: true while the focus is in a window of the run's
// own processes. Otherwise the sequence's window is logged once and left to
// the drawing's time budget.
bool ForegroundIsRuns()
{
    DWORD processId = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &processId);
    if (processId != GetCurrentProcessId() && IsRunProcess(processId))
        return true;
    if (g_sequenceWindow) {
        const std::wstring format = LoadText(IDS_LOG_KEYS_NOT_TYPED);
        CString line;
        if (FormatTakes(format, "s"))
            line.Format(format.c_str(), g_sequenceTitle.c_str());
        else
            line.Format(L"%s \"%s\"", format.c_str(), g_sequenceTitle.c_str());
        AddIndentedLogLine(line.Str());
        g_refusedWindow = g_sequenceWindow;
        g_sequenceWindow = nullptr;
    }
    return false;
}

// True when the window was handled and the enumeration ends. The process is
// the window's, opened with the right to end it.
bool HandleWindow(HWND window, HANDLE process, const Tables& tables)
{
    std::wstring title = WindowTitle(window);
    if (title.empty())
        return false;

    for (int i = 0; i < 34; ++i) {
        const FatalRow& row = kFatalRows[i];
        const std::wstring& text = tables.fatal[i];
        if (!RowInUse(text) || !TitleMatches(title, text, row.pattern))
            continue;
        g_childFlag = false;
        if (row.id == IDS_FATAL_WARNING && !tables.exemptText.empty()) {
            ChildSearch search = {&tables.exemptText, nullptr, std::wstring(), false};
            EnumChildWindows(window, FindChildText, reinterpret_cast<LPARAM>(&search));
        }
        if (row.id == IDS_FATAL_MESSAGE) {
            ChildSearch search = {nullptr, &theApp.m_hostFolder, std::wstring(), false};
            EnumChildWindows(window, FindChildText, reinterpret_cast<LPARAM>(&search));
            if (g_childFlag)
                PostKey(window, VK_RETURN);
        }
        if (g_childFlag)
            continue;
        if (row.childTexts) {
            AddIndentedLogString(IDS_CHILD_TEXTS_FATAL);
            LogChildTexts(window);
        }
        EndWindowProcess(window, process, title, VK_ESCAPE);
        return true;
    }

    for (int i = 0; i < 9; ++i) {
        const AnswerRow& row = kAnswerRows[i];
        const std::wstring& text = tables.answer[i];
        if (!RowInUse(text))
            continue;
        if (TitleMatches(title, text, row.pattern)) {
            AddIndentedLogLine(FormatText(IDS_HOST_ANSWERED, title.c_str()));
            if (row.id == IDS_ANSWER_ENTER_NOTE)
                AddIndentedLogString(IDS_ANSWERED_ENTER_NOTE);
            PostKey(window, row.key == kKeyFromString ? g_row3Key : row.key);
            return true;
        }
        if (RowInUse(tables.sequenceTitle) && EqualNoCase(title, tables.sequenceTitle)) {
            if (window == g_sequenceWindow) {
                g_sequenceWindow = nullptr;
                EndWindowProcess(window, process, title, VK_RETURN);
                return true;
            }
            if (window == g_refusedWindow)
                return false;
            BringWindowToTop(window);
            SetForegroundWindow(window);
            g_sequenceWindow = window;
            g_sequenceTitle = title;
            if (!ForegroundIsRuns())
                return true;
            if (KeySequencePlayer::Start(kKeySequence, 4, ForegroundIsRuns)) {
                AddIndentedLogLine(FormatText(IDS_HOST_ANSWERED, title.c_str()));
            } else {
                g_sequenceWindow = nullptr;
                EndWindowProcess(window, process, title, VK_RETURN);
            }
            return true;
        }
    }
    return false;
}

BOOL CALLBACK WatchWindow(HWND window, LPARAM lParam)
{
    auto* pass = reinterpret_cast<WatchPass*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    // Never end or answer a window of our own, nor one of a process that the
    // run did not start (the user's other programs, a host open for other work).
    if (processId == pass->ownProcess)
        return TRUE;
    // A run's process that may not be ended still gets its window answered
    // with the fallback key.
    HANDLE process = OpenRunProcess(processId, PROCESS_TERMINATE);
    if (!process)
        process = OpenRunProcess(processId, SYNCHRONIZE);
    if (!process)
        return TRUE;
    const bool handled = HandleWindow(window, process, *pass->tables);
    CloseHandle(process);
    return handled ? FALSE : TRUE;
}

struct MainSearch {
    std::vector<std::wstring> texts;
    bool runOnly;
    HWND found;
    std::wstring title;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<MainSearch*>(lParam);
    std::wstring title = WindowTitle(window);
    if (title.empty())
        return TRUE;
    if (search->runOnly) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (!IsRunProcess(processId))
            return TRUE;
    }
    for (const std::wstring& text : search->texts) {
        if (IsMainWindowTitle(title, text)) {
            search->found = window;
            search->title = title;
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CALLBACK LogChild(HWND child, LPARAM)
{
    std::wstring text = WindowTitle(child);
    if (!text.empty())
        AddIndentedLogLine(text);
    return TRUE;
}

HWND FindMainWindowOf(bool runOnly, std::wstring* title)
{
    MainSearch search;
    search.runOnly = runOnly;
    search.found = nullptr;
    for (unsigned id : kMainTitleIds) {
        std::wstring text = LoadText(id);
        if (RowInUse(text))
            search.texts.push_back(text);
    }
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
    g_mainWindow = search.found;
    g_mainTitle = search.found ? search.title : std::wstring();
    if (title)
        *title = g_mainTitle;
    return g_mainWindow;
}

BOOL CALLBACK LogWindowOfProcess(HWND window, LPARAM lParam)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == static_cast<DWORD>(lParam))
        LogChildTexts(window);
    return TRUE;
}

bool IsHostProgram(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return false;
    wchar_t path[MAX_PATH * 4] = {0};
    DWORD length = MAX_PATH * 4;
    bool named = QueryFullProcessImageNameW(process, 0, path, &length) != 0;
    CloseHandle(process);
    if (!named)
        return false;
    std::wstring image(path, length);
    size_t slash = image.find_last_of(L"\\/");
    return EqualNoCase(slash == std::wstring::npos ? image : image.substr(slash + 1), kHostProgram);
}
}

HWND FindHostMainWindow(std::wstring* title) { return FindMainWindowOf(false, title); }

HWND FindRunHostMainWindow(std::wstring* title) { return FindMainWindowOf(true, title); }

std::vector<DWORD> RunHostProcessIds()
{
    std::vector<DWORD> hosts;
    for (DWORD processId : theApp.m_batch.ProcessIds())
        if (processId != theApp.m_batch.m_info.dwProcessId && IsHostProgram(processId))
            hosts.push_back(processId);
    return hosts;
}

void LogProcessChildTexts(DWORD processId)
{
    EnumWindows(LogWindowOfProcess, static_cast<LPARAM>(processId));
}

bool IsRunProcess(DWORD processId) { return theApp.m_batch.OwnsProcess(processId); }

HANDLE OpenRunProcess(DWORD processId, DWORD access) { return theApp.m_batch.OpenOwned(processId, access); }

void SetRunProcessFilterForTest(std::function<bool(DWORD)> filter)
{
    theApp.m_batch.SetOwnerFilterForTest(std::move(filter));
}

void WatchHostWindows()
{
    // A sequence still unplayed a whole poll later never will be; its hook must
    // not stay in the system.
    KeySequencePlayer::Stop();
    if (g_sequenceWindow && !IsWindow(g_sequenceWindow))
        g_sequenceWindow = nullptr;
    if (g_refusedWindow && !IsWindow(g_refusedWindow))
        g_refusedWindow = nullptr;

    if (!g_row3KeyLoaded) {
        g_row3KeyLoaded = true;
        std::wstring key = LoadText(IDS_ANSWER_KEY_2132);
        g_row3Key = key.empty() ? 0 : static_cast<uint16_t>(key[0]);
    }
    Tables tables;
    for (int i = 0; i < 34; ++i)
        tables.fatal[i] = LoadText(kFatalRows[i].id);
    for (int i = 0; i < 9; ++i)
        tables.answer[i] = LoadText(kAnswerRows[i].id);
    tables.sequenceTitle = LoadText(kKeySequenceTitleId);
    tables.exemptText = LoadText(IDS_WARNING_EXEMPT);

    WatchPass pass = {&tables, GetCurrentProcessId()};
    EnumWindows(WatchWindow, reinterpret_cast<LPARAM>(&pass));
}

void LogChildTexts(HWND window) { EnumChildWindows(window, LogChild, 0); }

void AddIndentedLogLine(const std::wstring& text)
{
    // Text mode: every line end is a carriage return and a line feed.
    std::wstring line = L"\t";
    for (wchar_t c : text) {
        if (c == L'\n')
            line += L'\r';
        line += c;
    }
    line += L"\r\n";
    std::string bytes = EncodeText(MakeTextLocale(), line);
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = CreateFileW(g_logFile.c_str(), FILE_APPEND_DATA, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void AddIndentedLogString(UINT id) { AddIndentedLogLine(LoadText(id)); }

void ResetHostWatchForTest()
{
    g_row3KeyLoaded = false;
    g_row3Key = 0;
    g_sequenceWindow = nullptr;
    g_refusedWindow = nullptr;
    g_mainWindow = nullptr;
    g_mainTitle.clear();
    KeySequencePlayer::Stop();
    HostLogWatch::ResetForTest();
}
