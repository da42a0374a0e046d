#include "KestCommandLine.h"

#include <cwctype>

namespace {
std::wstring SwitchName(const std::wstring& argument)
{
    if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-'))
        return std::wstring();
    std::wstring name;
    for (size_t i = 1; i < argument.size(); ++i)
        name += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(argument[i])));
    return name;
}
}

KestCommandLine KestCommandLine::Parse(const std::vector<std::wstring>& arguments)
{
    KestCommandLine line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring name = SwitchName(arguments[i]);
        std::wstring* value = name == L"list" ? &line.list : name == L"log" ? &line.log : nullptr;
        if (value) {
            // A value that is missing, empty or another switch leaves the switch unusable.
            if (i + 1 < arguments.size() && !arguments[i + 1].empty() && SwitchName(arguments[i + 1]).empty())
                *value = arguments[++i];
            else
                line.unknown.push_back(arguments[i]);
        } else if (name == L"unattended") {
            line.unattended = true;
        } else if (name == L"?" || name == L"h" || name == L"help") {
            line.help = true;
        } else {
            line.unknown.push_back(arguments[i]);
        }
    }
    if (line.unattended && line.list.empty() && line.unknown.empty())
        line.unknown.push_back(L"/list");
    return line;
}
