#include "TimeLeft.h"
#include "FormatCheck.h"

#include <cmath>
#include <cwchar>

namespace {
// Even a week per drawing of an archive stays far below this; more is a clock gone wrong.
const double kLongestSeconds = 9999.0 * 3600.0;

std::wstring Filled(const std::wstring& format, int first, int second, int count)
{
    wchar_t text[512];
    const char* kinds = count == 1 ? "d" : "dd";
    if (FormatTakes(format, kinds)) {
        if (count == 1)
            std::swprintf(text, 512, format.c_str(), first);
        else
            std::swprintf(text, 512, format.c_str(), first, second);
    } else if (count == 1) {
        std::swprintf(text, 512, L"%ls %d", format.c_str(), first);
    } else {
        std::swprintf(text, 512, L"%ls %d %d", format.c_str(), first, second);
    }
    text[511] = L'\0';
    return text;
}
}

TimeLeft TimeLeft::Estimate(int finished, int remaining, double elapsedSeconds)
{
    TimeLeft left;
    if (finished < 3 || remaining < 1 || !(elapsedSeconds >= 0.0))
        return left;
    const double seconds = elapsedSeconds / finished * remaining;
    if (!(seconds <= kLongestSeconds))
        return left;
    if (seconds < 59.5) {
        left.kind = Kind::UnderAMinute;
        return left;
    }
    const long minutes = std::lround(seconds / 60.0);
    if (minutes < 60) {
        left.kind = Kind::Minutes;
        left.minutes = static_cast<int>(minutes);
        return left;
    }
    const long tens = std::lround(seconds / 600.0) * 10;
    left.hours = static_cast<int>(tens / 60);
    left.minutes = static_cast<int>(tens % 60);
    left.kind = Kind::Hours;
    return left;
}

std::wstring TimeLeft::Format(const Texts& texts) const
{
    switch (kind) {
    case Kind::Unknown: return std::wstring();
    case Kind::UnderAMinute: return texts.underAMinute;
    case Kind::Minutes: return Filled(texts.minutes, minutes, 0, 1);
    case Kind::Hours:
        return minutes == 0 ? Filled(texts.hours, hours, 0, 1) : Filled(texts.hoursMinutes, hours, minutes, 2);
    }
    return std::wstring();
}
