// The run's list files in the "TEMP" folder and reading text files by lines.
#pragma once
#include <string>
#include <vector>

// "TEMP" + "\MIGRATE.TXT": the drawings of the run, one per line.
std::wstring MigrateListPath();
// "TEMP" + "\MIGRATED.TXT": the drawings the host extension migrated.
std::wstring MigratedListPath();

// Appends every line of a text file (text locale, CR LF) to lines: empty lines
// as empty entries, a last line without line end too. Stops at the first line
// longer than 1023 characters, which is not taken, nor anything after it. A
// file that cannot be opened leaves lines unchanged.
void ReadLines(const std::wstring& path, std::vector<std::wstring>& lines);
