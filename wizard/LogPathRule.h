// The log file path the settings can hold: they read it back into a buffer of
// 512 characters with its terminator, so a longer path would silently fall
// back to the default at the next start.
#pragma once
#include <cstddef>
#include <string>

const size_t MaxLogPathLength = 511;

inline bool LogPathFits(const std::wstring& path) { return !path.empty() && path.size() <= MaxLogPathLength; }
