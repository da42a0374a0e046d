// The run's list files in the "TEMP" folder and reading text files by lines.
#pragma once
#include <string>
#include <vector>

// "TEMP" + "\MIGRATE.TXT": the drawings of the run, one per line.
std::wstring MigrateListPath();
// "TEMP" + "\MIGRATED.TXT": the drawings the host extension migrated.
std::wstring MigratedListPath();

// The copy of a run's list kept beside the log ("<log>.MIGRATED.TXT"): the
// temporary folder may be cleaned before an interrupted run goes on. Empty
// without a log path.
std::wstring KeptListPath(const std::wstring& logFile, const wchar_t* name);
// Deletes both kept lists of a log.
void DeleteKeptLists(const std::wstring& logFile);
// Copies a list that the host may be appending to over its kept copy, unless
// it is shorter than that copy; false when nothing was copied.
bool KeepListCopy(const std::wstring& from, const std::wstring& kept);

// The name the host is given for a drawing: the drawing's own when the text
// locale's code page holds it, else its short name when that is ASCII; empty
// when there is none, as the host could not open the drawing.
std::vector<std::wstring> HostDrawingNames(const std::vector<std::wstring>& drawings);
// Test hook: the file system gives no short names.
void SetShortNamesMissingForTest(bool missing);

// Appends every line of a text file (text locale, CR LF) to lines: empty lines
// as empty entries, a last line without line end too. Stops at the first line
// longer than 1023 characters, which is not taken, nor anything after it. A
// file that cannot be opened leaves lines unchanged.
void ReadLines(const std::wstring& path, std::vector<std::wstring>& lines);
