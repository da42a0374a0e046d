// The two platform questions the path class asks. On Windows they are
// GetFullPathNameW and GetTempPathW; the native build answers them with a
// small model of Windows path rules so the path logic is tested without Wine.
#pragma once
#include <cstddef>
#include <string>

namespace PathPlatform {
// Full path of name; filePart receives the offset of the text after the last
// separator (full.size() when the path ends in one). False when no full path can be formed.
bool FullPath(const std::wstring& name, std::wstring& full, size_t& filePart);
// The temporary folder with its trailing separator; false when the platform has none.
bool TempFolder(std::wstring& folder);
// Lowercase the way the platform's current locale does.
std::wstring Lower(const std::wstring& text);

#ifndef _WIN32
// Native model only: the current directory and temporary folder it answers with.
void SetCurrentDirectoryForTest(const std::wstring& dir);
void SetTempFolderForTest(const std::wstring& dir);
#endif
}
