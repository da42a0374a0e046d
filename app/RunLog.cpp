// Preparing a run, the migration log and the run summary.
#include "CKestNoluApp.h"
#include "KestTextStream.h"
#include "ResourceIds.h"
#include "RecoveryIds.h"
#include "RunIds.h"
#include "RunLog.h"
#include "../drawings/FormatCheck.h"
#include "../drawings/KestDmlFile.h"
#include "../drawings/KestFilenm.h"
#include "../drawings/KestSharedList.h"
#include "../drawings/PathPlatform.h"

#include <ctime>
#include <cwchar>
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

std::wstring LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text.Str();
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
        for (const std::wstring& drawing : app.m_drawings)
            list << drawing << L'\n';
        list.close();
    }

    KestFilenm script;
    script.SetTempName(L"SCR");
    app.m_drawingScript = script.m_path;
    app.m_tempFiles.push_back(app.m_drawingScript);
}
}

void CKestNoluApp::PrepareRun()
{
    PrepareHostProfile(ProfileStep::Prepare);

    if (!m_logBegun)
        DeleteFileW(g_logFile.c_str());
    DeleteFileW(MigrateListPath().c_str());
    DeleteFileW(MigratedListPath().c_str());
    WriteMigrateList(*this);
}

// The log and MIGRATED.TXT hold the run's first part and stay; MIGRATE.TXT
// is written again, as the temporary folder may have been cleaned meanwhile.
void CKestNoluApp::PrepareContinuedRun()
{
    PrepareHostProfile(ProfileStep::Prepare);
    WriteMigrateList(*this);
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
        bool tooLarge = false;
        if (!list.MarkDone(migratedNames, &tooLarge) && tooLarge)
            AddLogLine(ListTooLargeLine(m_listFile));
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
    list.MarkDoneLocked(migratedNames, 60000);
}

void CKestNoluApp::RenewClaims()
{
    if (m_claims)
        m_claims->Renew();
}
