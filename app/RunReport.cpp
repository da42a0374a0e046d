// The run's report: drawings left out at the start, named in the log, and the
// CSV file beside the log at the end of every migrate run.
#include "CKestNoluApp.h"
#include "BatchText.h"
#include "RunMessages.h"
#include "UnattendedIds.h"
#include "../drawings/FormatCheck.h"
#include "../drawings/KestDmlFile.h"
#include "../drawings/VersionTableText.h"
#include "../drawings/KestListClaims.h"
#include "../drawings/KestSharedList.h"
#include "../drawings/PathPlatform.h"

#include <algorithm>

namespace {
UINT ExcludedLine(ReportCsv::Result result)
{
    switch (result) {
    case ReportCsv::Result::Missing: return IDS_EXCLUDED_MISSING;
    case ReportCsv::Result::ReadOnly: return IDS_EXCLUDED_READ_ONLY;
    default: return IDS_EXCLUDED_ELSEWHERE;
    }
}

// A drawing that is not there has no release to tell.
std::wstring Release(const std::wstring& path)
{
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return std::wstring();
    return DrawingVersionText(path.c_str()).Str();
}

// A report is small; one that is not (no report of ours) is not read.
constexpr DWORD kMaxReportBytes = 64u << 20;

bool ReadReportBytes(const std::wstring& path, std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= kMaxReportBytes;
    DWORD read = 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        ok = bytes.empty() || (ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                               read == bytes.size());
    }
    CloseHandle(file);
    return ok;
}

bool WriteReportBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return ok;
}

// The list's entries still to do; empty when it cannot be read (the run has said so before).
std::vector<std::wstring> UnmarkedEntries(const std::wstring& listFile)
{
    std::vector<std::wstring> entries;
    KestDmlFile list(listFile);
    list.m_showErrors = false;
    if (!list.Open(false) || !list.ReadList(entries, true))
        entries.clear();
    return entries;
}
}

void CKestNoluApp::CheckRunDrawings()
{
    // The Files page has added its rows, those it left out included; a run
    // from the command line or a record starts from the drawing list.
    if (m_report.Empty())
        for (const std::wstring& drawing : m_drawings)
            m_report.Add(drawing, Release(drawing));
    for (const std::wstring& drawing : m_report.RunDrawings()) {
        ReportCsv::Result why = ReportCsv::Result::NotMigrated;
        if (!KestRunReport::Usable(drawing, why))
            m_report.Exclude(drawing, why);
    }
    m_drawings = m_report.RunDrawings();
}

void CKestNoluApp::LogRunStart()
{
    // What an unattended start logged before the run's log began (the list, notices) comes first.
    RunMessages::RunLogBegun();
    std::vector<std::wstring> early = RunMessages::TakeEarlyLines();
    for (const std::wstring& line : early)
        AddLogLine(line);
    auto excluded = m_report.Excluded();
    if (!excluded.empty())
        AddLogLine(L"");
    for (const auto& drawing : excluded)
        AddLogLine(FormatText(ExcludedLine(drawing.second), drawing.first));
}

void CKestNoluApp::WriteRunReport(const std::vector<std::wstring>& migrated)
{
    m_report.Stopped();
    std::vector<ReportCsv::Row> rows = m_report.Rows(migrated);
    m_runComplete = !rows.empty();
    for (const ReportCsv::Row& row : rows)
        if (row.result != ReportCsv::Result::Migrated)
            m_runComplete = false;

    // An unattended run's report covers each of its batches; a drawing's latest row counts.
    std::vector<ReportCsv::Row> all = m_earlierRows;
    ReportCsv::Merge(all, rows);
    if (m_claims)
        m_earlierRows = all;
    const std::wstring path = ReportCsv::PathBesideLog(BatchText::Absolute(g_logFile));
    // The report's place follows from the log's; only a report that is missing is said.
    if (!WriteReportBytes(path, ReportCsv::Document(all))) {
        AddLogLine(L"");
        AddLogLine(FormatText(IDS_REPORT_FAILED, path));
    }
}

void CKestNoluApp::ReportContinuedRun()
{
    // The drawings left out at the first start are not in the record: the
    // list's unmarked entries that the run does not hold are checked again.
    m_report.Clear();
    for (const std::wstring& drawing : m_drawings)
        m_report.Add(drawing, Release(drawing));
    if (m_listFile.empty())
        return;
    for (const std::wstring& entry : UnmarkedEntries(m_listFile)) {
        if (m_report.Knows(entry))
            continue;
        // One that can be used now was left out all the same: not migrated.
        ReportCsv::Result why = ReportCsv::Result::NotMigrated;
        KestRunReport::Usable(entry, why);
        m_report.Add(entry, Release(entry), why);
    }
}

void CKestNoluApp::WriteListSummary()
{
    // Every workstation's report beside the list ("all-WS1.csv", ...), the oldest first: a later row of a drawing wins.
    const std::wstring summary = KestListClaims::WorkstationFile(m_listFile, L"summary", L"csv");
    const std::wstring pattern = KestListClaims::WorkstationFile(m_listFile, L"*", L"csv");
    const size_t slash = pattern.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : pattern.substr(0, slash + 1);
    std::vector<std::pair<ULONGLONG, std::wstring>> reports;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring path = folder + found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                PathPlatform::Lower(path) != PathPlatform::Lower(summary))
                reports.emplace_back(ULONGLONG(found.ftLastWriteTime.dwHighDateTime) << 32 |
                                         found.ftLastWriteTime.dwLowDateTime, path);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(reports.begin(), reports.end());
    std::vector<ReportCsv::Row> all;
    for (const auto& report : reports) {
        std::string bytes;
        std::vector<ReportCsv::Row> rows;
        if (ReadReportBytes(report.second, bytes) && ReportCsv::Parse(bytes, rows))
            ReportCsv::Merge(all, rows);
    }
    // A workstation that stopped wrote no report, yet marked what it migrated: every drawing of the list has a row.
    std::vector<std::wstring> entries;
    std::vector<bool> done;
    KestSharedList list(m_listFile);
    list.m_showErrors = false;
    if (list.ReadMarks(entries, done)) {
        std::vector<ReportCsv::Row> unreported;
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::wstring lower = PathPlatform::Lower(entries[i]);
            auto same = [&lower](const ReportCsv::Row& row) { return PathPlatform::Lower(row.path) == lower; };
            if (std::none_of(all.begin(), all.end(), same))
                unreported.push_back({entries[i], Release(entries[i]),
                                      done[i] ? ReportCsv::Result::Migrated : ReportCsv::Result::NotMigrated, -1, {}});
        }
        ReportCsv::Merge(all, unreported);
    }
    const std::string bytes = ReportCsv::Document(all);
    const bool ok = WriteReportBytes(summary, bytes);
    AddLogLine(FormatText(ok ? IDS_SUMMARY_WRITTEN : IDS_REPORT_FAILED, summary));
}
