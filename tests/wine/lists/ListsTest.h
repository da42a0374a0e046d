// Helpers of the list and log suites: the language resource module, fresh
// folders and file contents as bytes.
#pragma once
#include "WineTestSupport.h"

#include <string>
#include <vector>

namespace liststest {
// Makes the English resource module the resource module (once).
void UseResources();
// A loaded string of the resource module.
std::wstring Text(unsigned id);
// Path of a file in a fresh folder of the given name.
std::wstring FreshFile(const std::wstring& folder, const std::wstring& name);
// The bytes a wide text has in a code page, converted without our code.
std::string InCodePage(const std::wstring& text, unsigned codePage);
// The lines of bytes split at CR LF; the last element is what follows the last CR LF.
std::vector<std::string> SplitCrLf(const std::string& bytes);
// Entries of a folder (without "." and "..").
std::vector<std::wstring> FolderEntries(const std::wstring& folder);
}
