#include "HostLogWatch.h"
#include "HostTitleMatch.h"
#include "HostWatchTables.h"
#include "HostWindowWatch.h"
#include "TextCodec.h"

#include "../app/CKestNoluApp.h"
#include "../app/RunMessages.h"
#include "../app/TextLocale.h"
#include "../host/HostKeys.h"
#include "../host/KestRegKey.h"
#include "CString.h"

#include <vector>

namespace {
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
}

HostLogScanner::Slice HostLogWatch::ScanSlice(unsigned budgetMs)
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

bool HostLogWatch::Scan()
{
    HostLogScanner::Slice result;
    do
        result = ScanSlice(1000);
    while (result == HostLogScanner::Slice::Unfinished);
    return result == HostLogScanner::Slice::ErrorLine;
}

void HostLogWatch::ResetForTest() { g_log = LogPlace(); }
