// The text locale: text files are multibyte text in the code page of the
// system language, chosen through a fixed language table.
#pragma once
#include <locale>
#include <string>

// The table's locale name for the system default language; empty selects the user default.
std::string SystemLocaleName();
// A locale whose wchar_t/char conversion is that of the system language's code page.
std::locale MakeTextLocale();
// Test hook: the language SystemLocaleName and MakeTextLocale take for the
// system's; -1 gives the system's back.
void SetSystemLanguageForTest(int languageId);
