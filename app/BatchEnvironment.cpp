#include "BatchEnvironment.h"

#include <algorithm>
#include <cwchar>

namespace {
// The name of a "NAME=value" entry. The hidden per-drive entries ("=C:=C:\x")
// begin with "=", so the name ends at the first "=" after the first letter.
std::wstring NameOf(const std::wstring& entry)
{
    size_t equals = entry.find(L'=', 1);
    return entry.substr(0, equals);
}

// Case ignored as the system compares names: ordinal, upper case.
std::wstring Folded(const std::wstring& name)
{
    std::wstring folded = name;
    for (wchar_t& c : folded)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return folded;
}

bool Usable(const std::pair<std::wstring, std::wstring>& variable)
{
    const std::wstring& name = variable.first;
    const std::wstring& value = variable.second;
    return !name.empty() && name.find(L'=') == std::wstring::npos && name.find(L'\0') == std::wstring::npos &&
           value.find(L'\0') == std::wstring::npos && value.size() <= BatchEnvironment::kMaxValue;
}
}

std::wstring BatchEnvironment::Block(const wchar_t* parent, const Variables& variables)
{
    // Folded name and the whole entry.
    std::vector<std::pair<std::wstring, std::wstring>> entries;
    for (const auto& variable : variables) {
        if (!Usable(variable))
            continue;
        std::wstring folded = Folded(variable.first);
        auto same = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.first == folded; });
        std::wstring entry = variable.first + L"=" + variable.second;
        if (same != entries.end())
            same->second = entry;   // the last one given wins
        else
            entries.emplace_back(folded, entry);
    }
    const size_t ours = entries.size();
    for (const wchar_t* p = parent; p && *p; p += std::wcslen(p) + 1) {
        std::wstring entry = p;
        std::wstring folded = Folded(NameOf(entry));
        auto end = entries.begin() + static_cast<std::ptrdiff_t>(ours);
        if (std::find_if(entries.begin(), end, [&](const auto& e) { return e.first == folded; }) == end)
            entries.emplace_back(folded, entry);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    std::wstring block;
    for (const auto& entry : entries) {
        block += entry.second;
        block += L'\0';
    }
    if (block.empty())
        block += L'\0';   // an empty block is still two NULs
    block += L'\0';
    return block;
}
