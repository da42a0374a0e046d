// The run's report: one row per drawing, written as CSV beside the log so that
// a spreadsheet opens it as it is (UTF-8 with a byte order mark, fields quoted
// where they must be, CR LF line ends). Header and result names are fixed
// English words: reports of several runs or workstations can be joined.
#pragma once
#include <string>
#include <vector>

namespace ReportCsv {
enum class Result { Migrated, NotMigrated, TimedOut, HostError, Missing, ReadOnly, OpenElsewhere };

struct Row {
    std::wstring path;
    std::wstring release;
    Result result = Result::NotMigrated;
    // Whole seconds the drawing ran; negative when it was not run here.
    long long seconds = -1;
    std::wstring hostError;
};

const char* ResultName(Result result);
// UTF-8 of wide text; a lone surrogate becomes U+FFFD.
std::string Utf8(const std::wstring& text);
// One field: quoted when it holds a comma, a quote, a line break or leading or
// trailing blanks, with quotes doubled. Text that a spreadsheet would take for a
// formula gets a leading apostrophe, and NUL characters are dropped.
std::string Field(const std::wstring& text);
// The whole file: byte order mark, header row, one row per entry.
std::string Document(const std::vector<Row>& rows);
// Reads a report as Document writes it, from any workstation (untrusted
// bytes): the rows whose result it knows. False when it is no such report.
bool Parse(const std::string& bytes, std::vector<Row>& rows);
// Adds rows to a union of reports: one row per drawing (case ignored), the last one given.
void Merge(std::vector<Row>& into, const std::vector<Row>& rows);
// The log's path with its extension replaced by ".csv" (added when it has none).
std::wstring PathBesideLog(const std::wstring& logFile);
}
