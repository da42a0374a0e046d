// The progress number on arbitrary progress file text: never reads beyond the length, and agrees with
// the library's 64-bit conversion wherever that one's result fits an int.
#include "ProgressNumber.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    // Two bytes a character, so digits, signs, blanks and any other character all come up.
    std::vector<wchar_t> text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8));
    int number = 0;
    bool ok = ParseProgressNumber(text.data(), text.size(), number);

    // The reference: plain ASCII decimal after C white space, as "%d" reads it.
    std::vector<wchar_t> copy(text);
    copy.push_back(L'\0');
    size_t start = 0;
    while (copy[start] == L' ' || (copy[start] >= L'\t' && copy[start] <= L'\r'))
        ++start;
    size_t digit = start + (copy[start] == L'+' || copy[start] == L'-');
    bool hasDigit = copy[digit] >= L'0' && copy[digit] <= L'9';
    size_t end = digit;
    while (copy[end] >= L'0' && copy[end] <= L'9')
        ++end;
    std::vector<wchar_t> plain(copy.begin() + static_cast<long>(start), copy.begin() + static_cast<long>(end));
    plain.push_back(L'\0');
    errno = 0;
    long long reference = hasDigit ? std::wcstoll(plain.data(), nullptr, 10) : 0;
    bool fits = hasDigit && errno == 0 && reference >= INT_MIN && reference <= INT_MAX;
    if (ok != fits || (ok && number != reference))
        std::abort();
    return 0;
}
