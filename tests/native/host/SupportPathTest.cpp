#include "SupportPath.h"

#include <gtest/gtest.h>

using Folders = std::vector<std::wstring>;

TEST(SupportPath, SplitKeepsInnerAndLeadingEmptyFoldersButNoTrailingOne)
{
    EXPECT_EQ(SplitSupportPath(L"a;;b;"), (Folders{L"a", L"", L"b"}));
    EXPECT_EQ(SplitSupportPath(L"a;b"), (Folders{L"a", L"b"}));
    EXPECT_EQ(SplitSupportPath(L";a"), (Folders{L"", L"a"}));
    EXPECT_EQ(SplitSupportPath(L"c:\\x"), (Folders{L"c:\\x"}));
    EXPECT_EQ(SplitSupportPath(L";"), (Folders{L""}));
    EXPECT_TRUE(SplitSupportPath(L"").empty());
}

TEST(SupportPath, ZeroCharacterEndsAFolder)
{
    std::wstring text(L"a\0b", 3);
    EXPECT_EQ(SplitSupportPath(text), (Folders{L"a", L"b"}));
}

TEST(SupportPath, JoinHasNoSeparatorAfterTheLastFolder)
{
    EXPECT_EQ(JoinSupportPath({L"a", L"", L"b"}), L"a;;b");
    EXPECT_EQ(JoinSupportPath({}), L"");
    EXPECT_EQ(JoinSupportPath({L"x"}), L"x");
}

TEST(SupportPath, DefaultPathUsesTheHostFolderAsReadAndSplitsIntoEightFolders)
{
    std::wstring path = DefaultSupportPath(L"C:\\Draxil");
    EXPECT_EQ(path, L"C:\\Draxil\\desktop;C:\\Draxil\\desktop\\support;C:\\Draxil\\drxlm;C:\\Draxil\\drxlm\\ge3;"
                    L"C:\\Program Files\\Common Files\\Korvane Shared;C:\\Draxil;C:\\Draxil\\support;"
                    L"C:\\Draxil\\fonts;");
    Folders folders = SplitSupportPath(path);
    ASSERT_EQ(folders.size(), 8u);
    EXPECT_EQ(folders.back(), L"C:\\Draxil\\fonts");
    // A folder read with its separator keeps it: no second one is removed.
    EXPECT_EQ(SplitSupportPath(DefaultSupportPath(L"C:\\D\\"))[0], L"C:\\D\\\\desktop");
}
