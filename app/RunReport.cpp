// The run's report: drawings left out at the start, named in the log, and the
// CSV file beside the log at the end of every migrate run.
#include "CKestNoluApp.h"
#include "BatchText.h"
#include "RunMessages.h"
#include "UnattendedIds.h"
#include "../drawings/FormatCheck.h"
#include "../drawings/KestDmlFile.h"
#include "../drawings/VersionTableText.h"
#include "../drawings/PathPlatform.h"

#include <algorithm>

namespace {
std::wstring LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text.Str();
}

std::wstring FormatText(UINT id, const std::wstring& argument)
{
    std::wstring format = LoadText(id);
    CString text;
    if (FormatTakes(format, "s"))
        text.Format(format.c_str(), argument.c_str());
    else
        text.Format(L"%s %s", format.c_str(), argument.c_str());
    return text.Str();
}

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

    const std::wstring path = ReportCsv::PathBesideLog(BatchText::Absolute(g_logFile));
    // An unattended run's report covers each of its batches; a drawing's latest row counts.
    std::vector<ReportCsv::Row> all = m_earlierRows;
    for (const ReportCsv::Row& row : rows) {
        auto same = std::find_if(all.begin(), all.end(), [&row](const ReportCsv::Row& earlier) {
            return PathPlatform::Lower(earlier.path) == PathPlatform::Lower(row.path);
        });
        if (same != all.end())
            *same = row;
        else
            all.push_back(row);
    }
    if (m_claims)
        m_earlierRows = all;
    const std::string bytes = ReportCsv::Document(all);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    AddLogLine(L"");
    AddLogLine(FormatText(ok ? IDS_REPORT_WRITTEN : IDS_REPORT_FAILED, path));
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
