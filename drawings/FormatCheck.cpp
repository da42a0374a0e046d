#include "FormatCheck.h"

#include <cstring>
#include <cwchar>

bool FormatTakes(const std::wstring& format, const char* kinds)
{
    size_t next = 0;
    const size_t count = std::strlen(kinds);
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%')
            continue;
        if (++i >= format.size())
            return false;
        if (format[i] == L'%')
            continue;
        while (i < format.size() && std::wcschr(L"-+ #0", format[i]) && format[i] != L'\0')
            ++i;
        while (i < format.size() && format[i] >= L'0' && format[i] <= L'9')
            ++i;
        if (i < format.size() && format[i] == L'.') {
            ++i;
            while (i < format.size() && format[i] >= L'0' && format[i] <= L'9')
                ++i;
        }
        if (i >= format.size() || next >= count)
            return false;
        wchar_t conversion = format[i];
        bool fits = kinds[next] == 's' ? conversion == L's'
                                       : (conversion == L'd' || conversion == L'i' || conversion == L'u');
        if (!fits)
            return false;
        ++next;
    }
    return next == count;
}
