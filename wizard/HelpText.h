// The migration notes of the host installation, as the help window shows them.
#pragma once
#include <istream>
#include <string>

// <host folder>\migration\dwgmigr.txt
std::wstring HelpFilePath(const std::wstring& hostFolder);
// The text with every line ending (CR LF, LF or a lone CR) as CR LF, for an edit
// control. NUL characters are left out; at most maxChars characters are read.
std::wstring HelpTextFromStream(std::wistream& in, size_t maxChars);
// The file read in the text locale; empty when it is missing or unreadable.
std::wstring ReadHelpText(const std::wstring& path);
