#include "BatchEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
using Entries = std::vector<std::wstring>;

// A block as the system hands it over: entries ended by NULs, one more at the end.
std::wstring Parent(const Entries& entries)
{
    std::wstring block;
    for (const std::wstring& entry : entries)
        block += entry + L'\0';
    return block + L'\0';
}

// The entries of a block; fails unless it ends with exactly two NULs.
Entries Split(const std::wstring& block)
{
    EXPECT_GE(block.size(), 2u);
    EXPECT_TRUE(block.size() >= 2 && block[block.size() - 1] == L'\0' && block[block.size() - 2] == L'\0');
    Entries entries;
    size_t start = 0;
    while (start < block.size() && block[start] != L'\0') {
        size_t end = block.find(L'\0', start);
        entries.push_back(block.substr(start, end - start));
        start = end + 1;
    }
    // An empty block is two NULs all the same.
    EXPECT_EQ(std::max<size_t>(start + 1, 2), block.size()) << "nothing after the closing NUL";
    return entries;
}
}

TEST(BatchEnvironment, OurVariablesJoinTheParentsSortedAsTheSystemKeepsThem)
{
    const std::wstring parent = Parent({L"Path=c:\\windows", L"TEMP=c:\\users\\m\u00fcller\\temp", L"=C:=C:\\Work",
                                        L"windir=C:\\windows", L"_x=1", L"KEST_LOG=stale"});
    const BatchEnvironment::Variables ours = {{L"KEST_LOG", L"d:\\Jos\u00e9 100%\\migr.log"},
                                              {L"PATH", L"c:\\support\\;c:\\windows"},
                                              {L"KEST_HOST", L"c:\\\u30c9\u30e9\u30af\u30b7\u30eb\\"}};
    EXPECT_EQ(Split(BatchEnvironment::Block(parent.c_str(), ours)),
              (Entries{L"=C:=C:\\Work", L"KEST_HOST=c:\\\u30c9\u30e9\u30af\u30b7\u30eb\\",
                       L"KEST_LOG=d:\\Jos\u00e9 100%\\migr.log", L"PATH=c:\\support\\;c:\\windows",
                       L"TEMP=c:\\users\\m\u00fcller\\temp", L"windir=C:\\windows", L"_x=1"}));
}

TEST(BatchEnvironment, EdgeCases)
{
    const std::wstring longValue(BatchEnvironment::kMaxValue, L'x');
    const std::wstring parent = Parent({L"A=1", L"b=2"});
    const struct {
        const char* what;
        const wchar_t* parent;
        BatchEnvironment::Variables ours;
        Entries expected;
    } cases[] = {
        {"no parent, nothing ours", nullptr, {}, {}},
        {"empty parent block", L"\0", {{L"K", L""}}, {L"K="}},
        {"parent only", parent.c_str(), {}, {L"A=1", L"b=2"}},
        {"the last of two equal names wins", nullptr, {{L"k", L"1"}, {L"K", L"2"}}, {L"K=2"}},
        {"case ignored against the parent", parent.c_str(), {{L"B", L"x"}}, {L"A=1", L"B=x"}},
        {"unusable names and values are left out",
         parent.c_str(),
         {{L"", L"v"}, {L"A=B", L"v"}, {L"N", std::wstring(L"a\0b", 3)}, {L"LONG", longValue + L"x"}},
         {L"A=1", L"b=2"}},
        {"the longest value fits", nullptr, {{L"LONG", longValue}}, {L"LONG=" + longValue}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Split(BatchEnvironment::Block(c.parent, c.ours)), c.expected) << c.what;
}
