#include "ListsTest.h"
#include "Afx.h"
#include "CString.h"

#include <windows.h>

namespace liststest {
void UseResources()
{
    static HMODULE module = nullptr;
    if (module)
        return;
    std::wstring path = wts::ResourceModulePath();
    module = LoadLibraryW(path.c_str());
    if (module)
        AfxSetResourceHandle(module);
}

std::wstring Text(unsigned id)
{
    CString text;
    text.LoadString(id);
    return text.Str();
}

std::wstring FreshFile(const std::wstring& folder, const std::wstring& name)
{
    return wts::FreshDir(folder) + L"\\" + name;
}

std::string InCodePage(const std::wstring& text, unsigned codePage)
{
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::vector<std::string> SplitCrLf(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            return lines;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
}

std::vector<std::wstring> FolderEntries(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}
}
