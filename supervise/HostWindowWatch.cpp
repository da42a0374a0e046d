#include "HostWindowWatch.h"
#include "HostLogScanner.h"
#include "HostTitleMatch.h"
#include "HostWatchTables.h"
#include "KeySequencePlayer.h"
#include "SuperviseIds.h"
#include "TextCodec.h"

#include "../app/CKestNoluApp.h"
#include "../app/TextLocale.h"
#include "../host/KestRegKey.h"
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
std::function<bool(DWORD)> g_runProcessFilter;
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
    text.Format(format, argument);
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

// Ends the window's process, or posts the key to it when that cannot be done.
void EndWindowProcess(HWND window, const std::wstring& title, uint16_t fallbackKey)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    bool ended = false;
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId)) {
        AddIndentedLogLine(FormatText(IDS_HOST_ENDED_WINDOW, title.c_str()));
        theApp.m_report.NoteHostError(title);
        ended = TerminateProcess(process, 0) != 0;
        RemoveHostLogFile();
        CloseHandle(process);
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

// True when the window was handled and the enumeration ends.
bool HandleWindow(HWND window, const Tables& tables)
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
        EndWindowProcess(window, title, VK_ESCAPE);
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
                EndWindowProcess(window, title, VK_RETURN);
                return true;
            }
            BringWindowToTop(window);
            SetForegroundWindow(window);
            if (KeySequencePlayer::Start(kKeySequence, 4)) {
                AddIndentedLogLine(FormatText(IDS_HOST_ANSWERED, title.c_str()));
                g_sequenceWindow = window;
            } else {
                EndWindowProcess(window, title, VK_RETURN);
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
    if (processId == pass->ownProcess || !IsRunProcess(processId))
        return TRUE;
    return HandleWindow(window, *pass->tables) ? FALSE : TRUE;
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

// Where the last scan of the extension's log ended, and which file that was.
struct LogPlace {
    HostLogScanner scanner;
    std::wstring path;
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    std::string tail;   // the last bytes before the scanner's offset
};
LogPlace g_log;
constexpr size_t kTailBytes = 64;

bool ReadAt(HANDLE file, uint64_t offset, char* buffer, DWORD size, DWORD& read)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    read = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFile(file, buffer, size, &read, nullptr);
}

// Whether the file is the one scanned before, grown or unchanged.
bool SameLogAsBefore(HANDLE file, const std::wstring& path, const BY_HANDLE_FILE_INFORMATION& info, uint64_t size)
{
    if (!EqualNoCase(path, g_log.path) || info.dwVolumeSerialNumber != g_log.volume ||
        info.nFileIndexHigh != g_log.indexHigh || info.nFileIndexLow != g_log.indexLow)
        return false;
    uint64_t offset = g_log.scanner.Offset();
    if (size < offset || g_log.tail.size() > offset)
        return false;
    std::string tail(g_log.tail.size(), '\0');
    DWORD read = 0;
    if (!tail.empty() && (!ReadAt(file, offset - tail.size(), &tail[0], static_cast<DWORD>(tail.size()), read) ||
                          read != tail.size()))
        return false;
    return tail == g_log.tail;
}

void RememberTail(HANDLE file)
{
    uint64_t offset = g_log.scanner.Offset();
    size_t count = offset < kTailBytes ? static_cast<size_t>(offset) : kTailBytes;
    g_log.tail.assign(count, '\0');
    DWORD read = 0;
    if (count && (!ReadAt(file, offset - count, &g_log.tail[0], static_cast<DWORD>(count), read) || read != count))
        g_log.tail.clear();
}

HostLogScanner::Slice ScanOpenLog(HANDLE file, unsigned budgetMs, std::wstring& line)
{
    const ULONGLONG deadline = GetTickCount64() + budgetMs;
    auto read = [file](uint64_t offset, char* buffer, size_t size, size_t& got) {
        DWORD n = 0;
        bool ok = ReadAt(file, offset, buffer, static_cast<DWORD>(size), n);
        got = n;
        return ok;
    };
    return g_log.scanner.ScanSlice(read, [deadline] { return GetTickCount64() < deadline; }, line);
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
        if (processId != theApp.m_batch.m_info.dwProcessId && IsRunProcess(processId) && IsHostProgram(processId))
            hosts.push_back(processId);
    return hosts;
}

void LogProcessChildTexts(DWORD processId)
{
    EnumWindows(LogWindowOfProcess, static_cast<LPARAM>(processId));
}

bool IsRunProcess(DWORD processId)
{
    return g_runProcessFilter ? g_runProcessFilter(processId) : theApp.m_batch.OwnsProcess(processId);
}

void SetRunProcessFilterForTest(std::function<bool(DWORD)> filter) { g_runProcessFilter = std::move(filter); }

void WatchHostWindows()
{
    // A sequence still unplayed a whole poll later never will be; its hook must
    // not stay in the system.
    KeySequencePlayer::Stop();
    if (g_sequenceWindow && !IsWindow(g_sequenceWindow))
        g_sequenceWindow = nullptr;

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

HostLogScanner::Slice ScanHostLogSlice(unsigned budgetMs)
{
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    wchar_t path[512] = {0};
    if (!key.ReadString(L"LOGFILENAME", path, 512) || path[0] == L'\0') {
        g_log.path.clear();
        return HostLogScanner::Slice::Clean;
    }
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = CreateFileW(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return HostLogScanner::Slice::Clean;
    CloseHandle(file);
    file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return HostLogScanner::Slice::Clean;

    BY_HANDLE_FILE_INFORMATION info = {};
    LARGE_INTEGER size = {};
    if (!GetFileInformationByHandle(file, &info) || !GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return HostLogScanner::Slice::Clean;
    }
    if (!SameLogAsBefore(file, path, info, static_cast<uint64_t>(size.QuadPart))) {
        g_log.scanner.Restart();
        g_log.tail.clear();
        g_log.path = path;
        g_log.volume = info.dwVolumeSerialNumber;
        g_log.indexHigh = info.nFileIndexHigh;
        g_log.indexLow = info.nFileIndexLow;
    }

    std::vector<std::wstring> texts;
    for (unsigned id : kLogErrorIds)
        texts.push_back(LoadText(id));
    g_log.scanner.SetErrorTexts(texts);
    std::locale locale = MakeTextLocale();
    g_log.scanner.SetDecoder([locale](const std::string& bytes) { return DecodeText(locale, bytes); });

    std::wstring line;
    HostLogScanner::Slice result = ScanOpenLog(file, budgetMs, line);
    RememberTail(file);
    CloseHandle(file);
    if (result == HostLogScanner::Slice::ErrorLine) {
        AddIndentedLogLine(L"\t** \"" + line + L"\"");
        theApp.m_report.NoteHostError(line);
    }
    return result;
}

bool ScanHostLog()
{
    HostLogScanner::Slice result;
    do
        result = ScanHostLogSlice(1000);
    while (result == HostLogScanner::Slice::Unfinished);
    return result == HostLogScanner::Slice::ErrorLine;
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
    g_mainWindow = nullptr;
    g_mainTitle.clear();
    KeySequencePlayer::Stop();
    g_log = LogPlace();
}
