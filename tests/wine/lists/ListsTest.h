// Helpers of the list and log suites: the language resource module, fresh
// folders and file contents as bytes.
#pragma once
#include "WineTestSupport.h"

#include <string>
#include <vector>

namespace liststest {
// Makes the English resource module the resource module (once).
void UseResources();
using wts::Text;
// Path of a file in a fresh folder of the given name.
std::wstring FreshFile(const std::wstring& folder, const std::wstring& name);
// The lines of bytes split at CR LF; the last element is what follows the last CR LF.
std::vector<std::string> SplitCrLf(const std::string& bytes);
}
