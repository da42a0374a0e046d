// The fixed table from system language identifiers to runtime locale names,
// and the code page each name stands for in our text files.
#pragma once
#include <cstddef>
#include <string>

namespace LanguageTable {
struct Row {
    const char* id;     // "0x" and four hexadecimal digits
    const char* name;   // empty in most rows: the user's default locale
};

const Row* Rows();
size_t RowCount();

// The name of the first row whose identifier equals languageId; empty when none does.
std::string LocaleName(unsigned short languageId);
// The code page a table name writes text in; 0 for the empty or an unknown
// name, which stands for the system's ANSI code page.
unsigned CodePage(const std::string& localeName);
}
