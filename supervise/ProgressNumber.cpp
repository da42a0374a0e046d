#include "ProgressNumber.h"

#include <climits>

bool ParseProgressNumber(const wchar_t* text, size_t length, int& number)
{
    size_t i = 0;
    while (i < length && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r')))
        ++i;
    bool negative = false;
    if (i < length && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    // Magnitudes are gathered as unsigned, never beyond what an int can hold with its sign.
    const unsigned long long limit = negative ? static_cast<unsigned long long>(INT_MAX) + 1 : INT_MAX;
    unsigned long long value = 0;
    size_t digits = 0;
    for (; i < length && text[i] >= L'0' && text[i] <= L'9'; ++i, ++digits) {
        value = value * 10 + static_cast<unsigned>(text[i] - L'0');
        if (value > limit)
            return false;
    }
    if (digits == 0)
        return false;
    number = negative ? static_cast<int>(-static_cast<long long>(value)) : static_cast<int>(value);
    return true;
}
