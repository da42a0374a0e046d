// Matching of window titles and log lines against the supervision's texts.
// Letter case is always ignored.
#pragma once
#include <string>
#include <vector>

// The platform's upper case of one character.
wchar_t FoldCase(wchar_t c);
std::wstring UpperCase(const std::wstring& text);
bool EqualNoCase(const std::wstring& a, const std::wstring& b);

// A row whose text begins with "?" is switched off; so is one without text.
bool RowInUse(const std::wstring& text);

// Exact match, or with pattern set a "prefix***suffix" match: the title must
// begin with the prefix and end with the suffix (they may overlap). A pattern
// without "***", or starting with it, never matches.
bool TitleMatches(const std::wstring& title, const std::wstring& text, bool pattern);

// The host's main window is titled exactly the text, or the text followed by " - [".
bool IsMainWindowTitle(const std::wstring& title, const std::wstring& mainText);

// Error texts in the form LineHasError compares with: rows in use, upper case.
std::vector<std::wstring> PrepareErrorTexts(const std::vector<std::wstring>& texts);
// A non-empty line whose upper case contains one of the prepared texts.
bool LineHasError(const std::wstring& line, const std::vector<std::wstring>& preparedTexts);
