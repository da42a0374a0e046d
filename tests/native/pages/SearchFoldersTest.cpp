// Which folders count as the same search folder, and which drawing folders the
// Search page adds.
#include "LogPathRule.h"
#include "PathPlatform.h"
#include "SearchFolders.h"

#include <gtest/gtest.h>

using namespace SearchFolders;
using Folders = std::vector<std::wstring>;

class SearchFoldersTest : public ::testing::Test {
protected:
    void SetUp() override { PathPlatform::SetCurrentDirectoryForTest(L"C:\\Work"); }
};

TEST_F(SearchFoldersTest, OneFolderWhateverItsCaseSeparatorsAndFinalSeparator)
{
    EXPECT_EQ(FolderKey(L"C:\\Drawings\\Gear\\"), L"c:\\drawings\\gear");
    EXPECT_EQ(FolderKey(L"c:/drawings/gear"), L"c:\\drawings\\gear");
    EXPECT_EQ(FolderKey(L"gear"), L"c:\\work\\gear");
    EXPECT_EQ(FolderKey(L"C:\\"), L"c:\\") << "a drive root keeps its separator";
    EXPECT_EQ(FolderKey(L""), L"");
    EXPECT_TRUE(IsListed(L"c:\\DRAWINGS\\gear", {L"x", L"C:\\Drawings\\Gear\\"}));
    EXPECT_FALSE(IsListed(L"c:\\drawings\\gea", {L"C:\\Drawings\\Gear\\"}));
    EXPECT_FALSE(IsListed(L"", {L""})) << "an empty text names no folder";
}

TEST_F(SearchFoldersTest, DrawingFoldersAreAddedOnceAndNeverWhenListed)
{
    Folders drawings = {L"C:\\Jobs\\A\\one.dwg", L"c:\\jobs\\a\\TWO.DWG", L"c:\\jobs\\b\\three.dwg",
                        L"c:\\draxil\\support\\x.dwg"};
    Folders listed = {L"C:\\Draxil\\Support", L""};
    EXPECT_EQ(DrawingFoldersToAdd(drawings, listed), (Folders{L"c:\\jobs\\a\\", L"c:\\jobs\\b\\"}));

    listed.push_back(L"c:\\jobs\\a\\");
    listed.push_back(L"c:\\jobs\\b\\");
    EXPECT_EQ(DrawingFoldersToAdd(drawings, listed), Folders{}) << "showing the page again adds nothing";
}

TEST(LogPathRule, PathsUpTo511CharactersFitTheSettings)
{
    EXPECT_TRUE(LogPathFits(L"c:\\" + std::wstring(508, L'l')));
    EXPECT_FALSE(LogPathFits(L"c:\\" + std::wstring(509, L'l')));
    EXPECT_FALSE(LogPathFits(L""));
}
