// The host's support path: one text of folders separated by ";".
#pragma once
#include <string>
#include <vector>

// Splits the text at every ";": ";;" inside and a leading ";" give empty
// folders, a ";" at the very end gives no empty last folder. A zero
// character ends a folder like ";" does.
std::vector<std::wstring> SplitSupportPath(const std::wstring& text);
// Joins the folders with ";", with none after the last.
std::wstring JoinSupportPath(const std::vector<std::wstring>& folders);
// The host's own default support path below its installation folder (taken as read).
std::wstring DefaultSupportPath(const std::wstring& hostFolder);
