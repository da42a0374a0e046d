#include "ProgressNumber.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

TEST(ProgressNumber, ReadsAsPercentDButNeverBeyondAnInt)
{
    struct Case {
        const wchar_t* text;
        bool ok;
        int number;
    } cases[] = {
        {L"7", true, 7},
        {L"12 \r\n", true, 12},             // what "echo 12 >file" leaves
        {L" \t\r\n\v\f3x", true, 3},        // white space before, text after
        {L"+5", true, 5},
        {L"-4", true, -4},
        {L"0000000000000000000000000000000009", true, 9},   // length alone is no overflow
        {L"2147483647", true, 2147483647},
        {L"-2147483648", true, -2147483647 - 1},
        {L"2147483648", false, 0},
        {L"-2147483649", false, 0},
        {L"4294967297", false, 0},           // would wrap to 1 in 32 bits
        {L"99999999999999999999999999999999999999", false, 0},
        {L"", false, 0},
        {L"   ", false, 0},
        {L"x1", false, 0},
        {L"+", false, 0},
        {L"- 1", false, 0},
        {L"\x0661", false, 0},               // a digit of another script is no decimal digit here
    };
    for (const Case& c : cases) {
        int number = -99;
        std::string shown(c.text, c.text + std::wcslen(c.text));
        EXPECT_EQ(ParseProgressNumber(c.text, std::wcslen(c.text), number), c.ok) << shown;
        EXPECT_EQ(number, c.ok ? c.number : -99) << shown;
    }
}

TEST(ProgressNumber, ReadsNoFurtherThanTheLengthGiven)
{
    const wchar_t text[] = {L'1', L'2', L'3', L'4'};
    int number = 0;
    ASSERT_TRUE(ParseProgressNumber(text, 2, number));
    EXPECT_EQ(number, 12);
    EXPECT_FALSE(ParseProgressNumber(text, 0, number));
}
