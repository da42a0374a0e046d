// Preparing a run, the migration log and the run summary.
#include "CKestNoluApp.h"
#include "RunMessages.h"
#include "KestTextStream.h"
#include "ResourceIds.h"
#include "RecoveryIds.h"
#include "RunIds.h"
#include "RunListIds.h"
#include "UnattendedIds.h"
#include "RunLog.h"
#include "KestCodecvt.h"
#include "TextLocale.h"
#include "../drawings/FormatCheck.h"
#include "../drawings/KestDmlFile.h"
#include "../drawings/KestFilenm.h"
#include "../drawings/KestSharedList.h"
#include "../drawings/PathPlatform.h"

#include <algorithm>
#include <atomic>
#include <ctime>
#include <cwchar>
#include <unordered_map>
#include <unordered_set>

namespace {
// "TEMP" used as it stands: a trailing separator doubles, a missing variable
// gives the root of the current drive.
std::wstring TempListPath(const wchar_t* name)
{
    std::wstring temp;
    DWORD n = GetEnvironmentVariableW(L"TEMP", nullptr, 0);
    if (n > 0) {
        temp.assign(n, L'\0');
        n = GetEnvironmentVariableW(L"TEMP", &temp[0], n);
        temp.resize(n < temp.size() ? n : 0);
    }
    return temp + L"\\" + name;
}

// A format of the resource module filled with one count; a format that does
// not take exactly one integer is written as it stands, followed by the count.
std::wstring FormatCount(UINT id, int count)
{
    std::wstring format = LoadText(id);
    CString text;
    if (FormatTakes(format, "d"))
        text.Format(format.c_str(), count);
    else
        text.Format(L"%s %d", format.c_str(), count);
    return text.Str();
}

// The log's line about a list too large to be marked: its name and the limit.
std::wstring ListTooLargeLine(const std::wstring& listFile)
{
    std::wstring format = LoadText(IDS_LOG_LIST_TOO_LARGE);
    CString text;
    if (FormatTakes(format, "sd"))
        text.Format(format.c_str(), listFile.c_str(), KestDmlFile::MaxListMegabytes);
    else
        text.Format(L"%s %s %d MB", format.c_str(), listFile.c_str(), KestDmlFile::MaxListMegabytes);
    return text.Str();
}

std::atomic<bool> g_noShortNames{false};

bool IsAscii(const std::wstring& text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; });
}

// The code page gives the text back unchanged.
bool FitsCodePage(const std::wstring& text, unsigned codePage)
{
    const int size = static_cast<int>(text.size());
    int n = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return false;
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, &bytes[0], n, nullptr, nullptr);
    int m = MultiByteToWideChar(codePage, 0, bytes.data(), n, nullptr, 0);
    std::wstring back(static_cast<size_t>(m > 0 ? m : 0), L'\0');
    if (m > 0)
        MultiByteToWideChar(codePage, 0, bytes.data(), n, &back[0], m);
    return back == text;
}

unsigned TextCodePage()
{
    std::locale locale = MakeTextLocale();
    const auto* codecvt =
        dynamic_cast<const KestCodecvt*>(&std::use_facet<std::codecvt<wchar_t, char, std::mbstate_t>>(locale));
    return codecvt ? codecvt->CodePage() : CP_ACP;
}

std::wstring ShortName(const std::wstring& path)
{
    if (g_noShortNames)
        return std::wstring();
    DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
    std::wstring name(n, L'\0');
    n = n ? GetShortPathNameW(path.c_str(), &name[0], n) : 0;
    name.resize(n < name.size() ? n : 0);
    return name;
}

// The whole file, read while the host may append to it; false when it cannot be read.
bool ReadShared(const std::wstring& path, std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes.clear();
    char buffer[65536];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != 0) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return ok;
}

// wcsftime stops the program on a conversion it does not know, so a format
// from the resource module is checked first.
bool IsTimeFormat(const std::wstring& format)
{
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%')
            continue;
        if (++i < format.size() && format[i] == L'#')
            ++i;
        if (i >= format.size() || !std::wcschr(L"aAbBcdHIjmMpSUwWxXyYzZ%", format[i]) || format[i] == L'\0')
            return false;
    }
    return true;
}

std::wstring TimeStamp(const std::time_t& now)
{
    std::wstring format = LoadText(IDS_LOG_TIME_FORMAT);
    const std::tm* local = std::localtime(&now);
    if (format.empty() || !local || !IsTimeFormat(format))
        return std::wstring();
    wchar_t stamp[128];
    size_t n = std::wcsftime(stamp, 128, format.c_str(), local);
    return std::wstring(stamp, n);   // 0 when it does not fit: no time stamp
}
}

std::wstring MigrateListPath() { return TempListPath(L"MIGRATE.TXT"); }
std::wstring MigratedListPath() { return TempListPath(L"MIGRATED.TXT"); }

std::wstring KeptListPath(const std::wstring& logFile, const wchar_t* name)
{
    return logFile.empty() ? std::wstring() : logFile + L"." + name;
}

void DeleteKeptLists(const std::wstring& logFile)
{
    for (const wchar_t* name : {L"MIGRATE.TXT", L"MIGRATED.TXT"})
        if (!logFile.empty())
            DeleteFileW(KeptListPath(logFile, name).c_str());
}

bool KeepListCopy(const std::wstring& from, const std::wstring& kept)
{
    std::string bytes;
    if (kept.empty() || !ReadShared(from, bytes))
        return false;
    // A list only grows during a run: a shorter one is not the run's (a cleaned temporary folder).
    WIN32_FILE_ATTRIBUTE_DATA old;
    if (GetFileAttributesExW(kept.c_str(), GetFileExInfoStandard, &old) &&
        (static_cast<uint64_t>(old.nFileSizeHigh) << 32 | old.nFileSizeLow) > bytes.size())
        return false;
    // Written aside and moved over, so a death on the way leaves the last copy whole.
    const std::wstring next = kept + L".new";
    HANDLE file = CreateFileW(next.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (ok && MoveFileExW(next.c_str(), kept.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(next.c_str());
    return false;
}

void SetShortNamesMissingForTest(bool missing) { g_noShortNames = missing; }

std::vector<std::wstring> HostDrawingNames(const std::vector<std::wstring>& drawings)
{
    std::vector<std::wstring> names;
    names.reserve(drawings.size());
    unsigned codePage = 0;
    bool known = false;
    for (const std::wstring& drawing : drawings) {
        if (!IsAscii(drawing)) {
            if (!known)
                codePage = TextCodePage();
            known = true;
            if (!FitsCodePage(drawing, codePage)) {
                // The host reads its script in the code page: a name it cannot hold would reach it as "?".
                std::wstring shortName = ShortName(drawing);
                names.push_back(IsAscii(shortName) ? shortName : std::wstring());
                continue;
            }
        }
        names.push_back(drawing);
    }
    return names;
}

void ReadLines(const std::wstring& path, std::vector<std::wstring>& lines)
{
    KestTextStream in(path, KestTextStream::Read);
    if (!in.is_open())
        return;
    wchar_t line[1024];
    while (in.getline(line, 1024)) {
        // The count includes the line feed unless the file ended first; a NUL stays part of the line.
        std::streamsize n = in.gcount() - (in.eof() ? 0 : 1);
        lines.emplace_back(line, static_cast<size_t>(n > 0 ? n : 0));
    }
}

namespace {
// MIGRATE.TXT from the drawing list, and the drawing script's name reserved.
void WriteMigrateList(CKestNoluApp& app)
{
    KestTextStream list(MigrateListPath(), KestTextStream::Truncate);
    if (list.is_open()) {
        for (const std::wstring& name : HostDrawingNames(app.m_drawings))
            if (!name.empty())
                list << name << L'\n';
        list.close();
    }

    KestFilenm script;
    script.SetTempName(L"SCR");
    app.m_drawingScript = script.m_path;
    app.m_tempFiles.push_back(app.m_drawingScript);
}
}

bool CKestNoluApp::PrepareRun()
{
    if (!PrepareHostProfile(ProfileStep::Prepare))
        return false;

    if (!m_logBegun)
        DeleteFileW(g_logFile.c_str());
    DeleteKeptLists(g_logFile);
    DeleteFileW(MigrateListPath().c_str());
    DeleteFileW(MigratedListPath().c_str());
    WriteMigrateList(*this);
    return true;
}

// The log and MIGRATED.TXT hold the run's first part and stay; MIGRATE.TXT
// is written again, as the temporary folder may have been cleaned meanwhile.
// So may MIGRATED.TXT: then the copy kept beside the log stands in for it.
bool CKestNoluApp::PrepareContinuedRun()
{
    if (!PrepareHostProfile(ProfileStep::Prepare))
        return false;
    WriteMigrateList(*this);
    const std::wstring kept = KeptListPath(g_logFile, L"MIGRATED.TXT");
    if (!kept.empty() && GetFileAttributesW(MigratedListPath().c_str()) == INVALID_FILE_ATTRIBUTES)
        CopyFileW(kept.c_str(), MigratedListPath().c_str(), TRUE);
    return true;
}

void CKestNoluApp::LogDrawingsNotHanded()
{
    std::vector<std::wstring> names = HostDrawingNames(m_drawings);
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].empty())
            AddLogLine(FormatText(IDS_LOG_NAME_NOT_HANDED, m_drawings[i]));
}

void CKestNoluApp::AddContinuedLogLine()
{
    std::wstring format = LoadText(IDS_LOG_CONTINUED), stamp = TimeStamp(std::time(nullptr));
    CString text;
    if (FormatTakes(format, "s"))
        text.Format(format.c_str(), stamp.c_str());
    else
        text.Format(L"%s %s", format.c_str(), stamp.c_str());
    AddLogLine(L"");
    AddLogLine(text.Str());
}

void CKestNoluApp::WriteLogHeader(UINT titleId)
{
    std::time_t now = std::time(nullptr);
    std::wstring stamp = TimeStamp(now);
    std::wstring rule = LoadText(IDS_LOG_RULE);
    std::wstring prefix = LoadText(IDS_LOG_PREFIX);

    KestTextStream log(g_logFile, KestTextStream::Append);
    if (!log.is_open())
        return;
    log << L'\n' << rule << L'\n' << LoadText(IDS_LOG_PRODUCT) << L'\n';
    if (m_Operation == 1)
        log << prefix << L'\n' << LoadText(titleId) << L'\n';
    log << prefix << L'\n' << prefix << stamp << L'\n' << rule << L'\n';
    log.close();
}

void CKestNoluApp::AddLogLine(const std::wstring& text)
{
    KestTextStream log(g_logFile, KestTextStream::Append);
    if (!log.is_open())
        return;
    log << text << L'\n';
    log.close();
}

void CKestNoluApp::AddLogLine(UINT textId) { AddLogLine(LoadText(textId)); }

void CKestNoluApp::WriteRunSummary()
{
    const int total = static_cast<int>(m_drawings.size());
    std::vector<std::wstring> migratedNames;
    ReadLines(MigratedListPath(), migratedNames);
    // The host names a drawing that it was given by its short name by that name.
    std::vector<std::wstring> hostNames = HostDrawingNames(m_drawings);
    std::unordered_map<std::wstring, size_t> byHostName;
    for (size_t i = 0; i < hostNames.size(); ++i)
        if (!hostNames[i].empty() && hostNames[i] != m_drawings[i])
            byHostName.emplace(PathPlatform::Lower(hostNames[i]), i);
    if (!byHostName.empty())
        for (std::wstring& name : migratedNames) {
            auto it = byHostName.find(PathPlatform::Lower(name));
            if (it != byHostName.end())
                name = m_drawings[it->second];
        }

    // Each drawing of the list counts once, however often MIGRATED.TXT names it (a drawing that the host
    // saved before the user stopped is run again on Resume and named twice); case is ignored.
    std::unordered_set<std::wstring> migratedSet;
    for (const std::wstring& name : migratedNames)
        migratedSet.insert(PathPlatform::Lower(name));
    int migrated = 0;
    for (const std::wstring& drawing : m_drawings)
        if (migratedSet.count(PathPlatform::Lower(drawing)))
            ++migrated;

    WriteLogHeader(IDS_SUMMARY_TITLE);
    {
        KestTextStream log(g_logFile, KestTextStream::Append);
        if (log.is_open()) {
            CString head;
            std::wstring format = LoadText(IDS_SUMMARY_HEAD);
            if (FormatTakes(format, ""))
                head.Format(format.c_str());
            else
                head = format.c_str();
            log << L'\n' << head.Str() << L'\n';
            log << FormatCount(IDS_SUMMARY_TOTAL, total) << L'\n';
            log << FormatCount(IDS_SUMMARY_MIGRATED, migrated) << L'\n';
            if (total - migrated > 0)
                log << L'\n' << FormatCount(IDS_SUMMARY_MISSING, total - migrated) << L'\n';
            log.close();
        }
    }

    WriteRunReport(migratedNames);

    if (m_claims) {
        MarkMigratedSoFar();
    } else if (!m_listFile.empty() && !migratedNames.empty()) {
        KestDmlFile list(m_listFile);
        bool tooLarge = false, marksKept = false;
        if (!list.MarkDone(migratedNames, &tooLarge, &marksKept) && tooLarge)
            AddLogLine(ListTooLargeLine(m_listFile));
        else if (marksKept)
            AddLogLine(FormatText(IDS_LOG_MARKS_KEPT, m_listFile));
    }
}

void CKestNoluApp::MarkMigratedSoFar()
{
    std::vector<std::wstring> migratedNames;
    ReadLines(MigratedListPath(), migratedNames);
    if (m_listFile.empty() || migratedNames.empty())
        return;
    // Others mark the same list meanwhile: only the mark bytes change, under the list's lock.
    KestSharedList list(m_listFile);
    list.m_showErrors = false;
    if (!list.MarkDoneLocked(migratedNames, 60000))
        AddLogLine(FormatText(IDS_MARKS_LOCKED, m_listFile));
}

void CKestNoluApp::RenewClaims()
{
    if (!m_claims)
        return;
    m_claims->Renew();
    OpenMarksGate();
}

void CKestNoluApp::OpenMarksGate()
{
    // Not written (the folder full, say): the next poll tries again, and the batch waits meanwhile.
    if (!m_marksGate.empty() && m_gateNumber > 0)
        KestPieceWriter::Write(m_marksGate + L"\\" + std::to_wstring(m_gateNumber) + L".go", std::string());
}
