#include "HostTitleMatch.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cwctype>
#endif

wchar_t FoldCase(wchar_t c)
{
#ifdef _WIN32
    // CharUpperW takes a single character in the low word of its pointer argument.
    LPWSTR upper = CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)));
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(upper));
#else
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
#endif
}

std::wstring UpperCase(const std::wstring& text)
{
    std::wstring upper(text);
#ifdef _WIN32
    // One call for the whole text: the log scanner upper-cases every line.
    if (!upper.empty())
        CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
#else
    for (wchar_t& c : upper)
        c = FoldCase(c);
#endif
    return upper;
}

namespace {
bool EqualNoCaseAt(const std::wstring& a, size_t aFrom, const std::wstring& b, size_t bFrom, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (FoldCase(a[aFrom + i]) != FoldCase(b[bFrom + i]))
            return false;
    return true;
}
}

bool EqualNoCase(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() && EqualNoCaseAt(a, 0, b, 0, a.size());
}

bool RowInUse(const std::wstring& text) { return !text.empty() && text[0] != L'?'; }

bool TitleMatches(const std::wstring& title, const std::wstring& text, bool pattern)
{
    if (!pattern)
        return EqualNoCase(title, text);
    size_t p = text.find(L"***");
    if (p == std::wstring::npos || p == 0)
        return false;
    size_t suffixLength = text.size() - p - 3;
    if (title.size() < p || title.size() < suffixLength)
        return false;
    return EqualNoCaseAt(title, 0, text, 0, p) &&
           EqualNoCaseAt(title, title.size() - suffixLength, text, p + 3, suffixLength);
}

bool IsMainWindowTitle(const std::wstring& title, const std::wstring& mainText)
{
    if (mainText.empty())
        return false;
    if (EqualNoCase(title, mainText))
        return true;
    std::wstring head = mainText + L" - [";
    return title.size() >= head.size() && EqualNoCaseAt(title, 0, head, 0, head.size());
}

std::vector<std::wstring> PrepareErrorTexts(const std::vector<std::wstring>& texts)
{
    std::vector<std::wstring> prepared;
    for (const std::wstring& text : texts)
        if (RowInUse(text))
            prepared.push_back(UpperCase(text));
    return prepared;
}

bool LineHasError(const std::wstring& line, const std::vector<std::wstring>& preparedTexts)
{
    if (line.empty())
        return false;
    std::wstring upper = UpperCase(line);
    for (const std::wstring& text : preparedTexts)
        if (upper.find(text) != std::wstring::npos)
            return true;
    return false;
}
