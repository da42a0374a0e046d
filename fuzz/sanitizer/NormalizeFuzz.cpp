// libFuzzer target for Lustrane's NormalizeInstallPath.
//
// Input bytes: a byte below 0x80 is that ASCII character; a byte of 0x80 or
// more takes the next byte with it to form any UTF-16 code unit
// ((b & 0x7f) << 8 | next), so seeds stay readable and every unit is reachable.
//
// Properties checked:
//  - the result is a prefix of the input;
//  - it never ends in a double quote;
//  - it ends in a backslash only for a drive root (a letter, ":" and nothing
//    but backslashes);
//  - stripping trailing quotes and backslashes gives the same core for input
//    and result (only the tail is ever touched);
//  - it is empty only when the input is made of quotes and backslashes;
//  - an input with nothing to strip comes back unchanged;
//  - normalising the result again changes nothing.
#include "LustraneCore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwctype>

using lustrane::Text;

namespace {

bool IsTail(char16_t c) { return c == u'"' || c == u'\\'; }

Text Core(const Text& text)
{
    std::size_t end = text.size();
    while (end > 0 && IsTail(text[end - 1]))
        --end;
    return text.substr(0, end);
}

bool IsDriveRoot(const Text& text)
{
    if (text.size() < 3 || text[1] != u':' || !std::iswalpha(static_cast<std::wint_t>(text[0])))
        return false;
    for (std::size_t i = 2; i < text.size(); ++i)
        if (text[i] != u'\\')
            return false;
    return true;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Text input;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] < 0x80 || i + 1 == size)
            input.push_back(static_cast<char16_t>(data[i]));
        else {
            input.push_back(static_cast<char16_t>(((data[i] & 0x7f) << 8) | data[i + 1]));
            ++i;
        }
    }

    const Text result = lustrane::NormalizeInstallPath(input);

    Check(result.size() <= input.size() && input.compare(0, result.size(), result) == 0);
    Check(result.empty() || result.back() != u'"');
    Check(result.empty() || result.back() != u'\\' || IsDriveRoot(result));
    Check(Core(result) == Core(input));
    Check(result.empty() == Core(input).empty());
    if (input.empty() || !IsTail(input.back()))
        Check(result == input);
    Check(lustrane::NormalizeInstallPath(result) == result);
    return 0;
}
