// The maker's user-data library: names the folder of the language resource modules.
#pragma once

#ifdef USTORA_BUILD
#define USTORA_API extern "C" __declspec(dllexport)
#else
#define USTORA_API extern "C" __declspec(dllimport)
#endif

enum class UstoSpecialFolder : int { Folders = 0 };

// Prepares the library for a product; must come first.
USTORA_API void ustoInitProductParams(const wchar_t* productCode, const wchar_t* extra);
// The folder that holds the per-language folders, ending in a separator. The text lives in the library.
USTORA_API const wchar_t* ustoGetSpecialFolder(int kind);
// The current language's folder name, for example en-US.
USTORA_API const wchar_t* ustoGetCurrentLanguage();
