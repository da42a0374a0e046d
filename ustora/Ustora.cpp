// Stand-in for the maker's library. The folder is the environment variable
// USTORA_FOLDER when set, else the folder of the program that loaded us; the
// language is USTORA_LANGUAGE when set, else en-US. Tests and the demo set
// the variables; an installed copy needs nothing.
#define USTORA_BUILD
#include "Ustora.h"

#include <windows.h>
#include <string>

namespace {
std::wstring g_folder;
std::wstring g_language;
std::wstring g_product;

std::wstring Env(const wchar_t* name)
{
    wchar_t buffer[1024];
    DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
    return (n > 0 && n < 1024) ? std::wstring(buffer, n) : std::wstring();
}

std::wstring ProgramFolder()
{
    std::wstring path(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    path.resize(n);
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".\\") : path.substr(0, slash + 1);
}
}

USTORA_API void ustoInitProductParams(const wchar_t* productCode, const wchar_t*)
{
    g_product = productCode ? productCode : L"";
    g_folder = Env(L"USTORA_FOLDER");
    if (g_folder.empty())
        g_folder = ProgramFolder();
    else if (g_folder.back() != L'\\' && g_folder.back() != L'/')
        g_folder += L'\\';
    g_language = Env(L"USTORA_LANGUAGE");
    if (g_language.empty())
        g_language = L"en-US";
}

USTORA_API const wchar_t* ustoGetSpecialFolder(int kind)
{
    if (kind != static_cast<int>(UstoSpecialFolder::Folders))
        return L"";
    return g_folder.c_str();
}

USTORA_API const wchar_t* ustoGetCurrentLanguage() { return g_language.c_str(); }
