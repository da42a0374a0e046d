#include "ListsTest.h"
#include "Afx.h"

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

std::wstring FreshFile(const std::wstring& folder, const std::wstring& name)
{
    return wts::FreshDir(folder) + L"\\" + name;
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
}
