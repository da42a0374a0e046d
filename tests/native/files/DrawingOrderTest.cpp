// Column sorting of the Files page's rows: direction, tie-breaking by lower columns, unknown columns.
#include "DrawingOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <vector>

namespace {
int NoCase(const wchar_t* a, const wchar_t* b)
{
    for (;; ++a, ++b) {
        int d = static_cast<int>(std::towlower(*a)) - static_cast<int>(std::towlower(*b));
        if (d != 0 || !*a)
            return d;
    }
}

struct Row {
    const wchar_t* columns[4];
};

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

std::vector<std::wstring> Names(std::vector<Row> rows, long key)
{
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        return DrawingOrder::Compare(a.columns, b.columns, key, NoCase) < 0;
    });
    std::vector<std::wstring> names;
    for (const Row& r : rows)
        names.push_back(r.columns[0]);
    return names;
}

const std::vector<Row> kRows = {
    {{L"gear", L"c:\\b\\", L"Draxil 5.0", L""}},
    {{L"Axle", L"c:\\a\\", L"Draxil 9.0", L"Read-only"}},
    {{L"bolt", L"c:\\b\\", L"Draxil 5.0", L""}},
    {{L"cam", L"C:\\A\\", L"Draxil 5.0", L"Missing"}},
};
}

TEST(DrawingOrder, NameColumnAscendingThenDescendingIgnoringCase)
{
    EXPECT_EQ(Names(kRows, DrawingOrder::SortKey(0, true)),
              (std::vector<std::wstring>{L"Axle", L"bolt", L"cam", L"gear"}));
    EXPECT_EQ(Names(kRows, DrawingOrder::SortKey(0, false)),
              (std::vector<std::wstring>{L"gear", L"cam", L"bolt", L"Axle"}));
}

TEST(DrawingOrder, EqualFoldersFallBackToNamesInTheSameDirection)
{
    // Folders c:\a\ and C:\A\ are equal ignoring case; their names decide.
    EXPECT_EQ(Names(kRows, DrawingOrder::SortKey(1, true)),
              (std::vector<std::wstring>{L"Axle", L"cam", L"bolt", L"gear"}));
    EXPECT_EQ(Names(kRows, DrawingOrder::SortKey(1, false)),
              (std::vector<std::wstring>{L"gear", L"bolt", L"cam", L"Axle"}));
}

TEST(DrawingOrder, StatusTiesGoToReleaseThenFolderThenName)
{
    // Three rows share the release "Draxil 5.0"; two of them have an empty status and the same folder.
    EXPECT_EQ(Names(kRows, DrawingOrder::SortKey(3, true)),
              (std::vector<std::wstring>{L"bolt", L"gear", L"cam", L"Axle"}));
    EXPECT_EQ(Names(kRows, DrawingOrder::SortKey(2, true)),
              (std::vector<std::wstring>{L"cam", L"bolt", L"gear", L"Axle"}));
}

TEST(DrawingOrder, ColumnAboveThreeComparesEqualInBothDirections)
{
    for (bool ascending : {true, false})
        for (const Row& a : kRows)
            for (const Row& b : kRows)
                EXPECT_EQ(DrawingOrder::Compare(a.columns, b.columns, DrawingOrder::SortKey(4, ascending), NoCase), 0);
}

TEST(DrawingOrder, DescendingIsTheExactNegation)
{
    for (int column = 0; column < 4; ++column)
        for (const Row& a : kRows)
            for (const Row& b : kRows)
                EXPECT_EQ(
                    Sign(DrawingOrder::Compare(a.columns, b.columns, DrawingOrder::SortKey(column, false), NoCase)),
                    -Sign(DrawingOrder::Compare(a.columns, b.columns, DrawingOrder::SortKey(column, true), NoCase)))
                    << "column " << column;
}
