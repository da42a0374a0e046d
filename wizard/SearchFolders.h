// Comparing search folders: a folder is listed when a listed text names the
// same folder, whatever its letter case, its separators and a final separator.
#pragma once
#include <string>
#include <vector>

namespace SearchFolders {
// The full lowercase path of a folder text without a final separator (a drive
// root keeps its own); empty for an empty text.
std::wstring FolderKey(const std::wstring& folder);
// True when one of the listed texts names the folder.
bool IsListed(const std::wstring& folder, const std::vector<std::wstring>& listed);
// The folders of the drawings (full paths with a final separator, in drawing
// order) that neither the listed texts nor an earlier drawing name.
std::vector<std::wstring> DrawingFoldersToAdd(const std::vector<std::wstring>& drawings,
                                              const std::vector<std::wstring>& listed);
}
