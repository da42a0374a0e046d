#include "HostTitleMatch.h"
#include "HostWatchTables.h"

#include <gtest/gtest.h>

#include <set>

TEST(TitleMatch, ExactIgnoresCase)
{
    EXPECT_TRUE(TitleMatches(L"Draxil Error", L"draxil error", false));
    EXPECT_FALSE(TitleMatches(L"Draxil Error ", L"Draxil Error", false));
    EXPECT_FALSE(TitleMatches(L"Draxil", L"Draxil Error", false));
    // Without the pattern flag "***" is plain text.
    EXPECT_FALSE(TitleMatches(L"Error x occurred", L"Error***occurred", false));
    EXPECT_TRUE(TitleMatches(L"error***OCCURRED", L"Error***occurred", false));
}

TEST(TitleMatch, PatternTakesPrefixAndSuffix)
{
    EXPECT_TRUE(TitleMatches(L"Error in file: occurred", L"Error***occurred", true));
    EXPECT_TRUE(TitleMatches(L"ERROR OCCURRED", L"Error***occurred", true));
    EXPECT_FALSE(TitleMatches(L"Error in file", L"Error***occurred", true));
    EXPECT_FALSE(TitleMatches(L"An Error occurred", L"Error***occurred", true));
    // Prefix and suffix may overlap in a short title.
    EXPECT_TRUE(TitleMatches(L"ab", L"ab***b", true));
    EXPECT_FALSE(TitleMatches(L"a", L"ab***b", true));
    // An empty suffix is a prefix test.
    EXPECT_TRUE(TitleMatches(L"Cannot open gear.dwg", L"Cannot open ***", true));
    EXPECT_FALSE(TitleMatches(L"Cannot ope", L"Cannot open ***", true));
}

TEST(TitleMatch, PatternWithoutPrefixOrStarsNeverMatches)
{
    EXPECT_FALSE(TitleMatches(L"It occurred", L"***occurred", true));
    EXPECT_FALSE(TitleMatches(L"occurred", L"***occurred", true));
    EXPECT_FALSE(TitleMatches(L"Error occurred", L"Error occurred", true));
    EXPECT_FALSE(TitleMatches(L"", L"", true));
    // The first "***" splits the text: what follows it, stars included, is the suffix.
    EXPECT_TRUE(TitleMatches(L"a x *b", L"a****b", true));
    EXPECT_FALSE(TitleMatches(L"a x b", L"a****b", true));
}

TEST(TitleMatch, MainWindowIsTheTitleOrTheTitleWithADrawing)
{
    EXPECT_TRUE(IsMainWindowTitle(L"Draxil 2026 - [gear.dwg]", L"Draxil 2026"));
    EXPECT_TRUE(IsMainWindowTitle(L"Draxil 2026", L"Draxil 2026"));
    EXPECT_TRUE(IsMainWindowTitle(L"DRAXIL 2026 - [", L"Draxil 2026"));
    EXPECT_FALSE(IsMainWindowTitle(L"Draxil 2026 [gear.dwg]", L"Draxil 2026"));
    EXPECT_FALSE(IsMainWindowTitle(L"Draxil 2026 - gear.dwg", L"Draxil 2026"));
    EXPECT_FALSE(IsMainWindowTitle(L"Draxil 20", L"Draxil 2026"));
    // A missing string names no window, not every " - [" title.
    EXPECT_FALSE(IsMainWindowTitle(L" - [gear.dwg]", L""));
}

TEST(TitleMatch, RowsStartingWithQuestionMarkOrEmptyAreOff)
{
    EXPECT_TRUE(RowInUse(L"Draxil Error"));
    EXPECT_FALSE(RowInUse(L"?Draxil Error"));
    EXPECT_FALSE(RowInUse(L""));
    EXPECT_TRUE(RowInUse(L" ?"));
}

TEST(LogLineMatch, UpperCaseContainment)
{
    std::vector<std::wstring> texts = PrepareErrorTexts({L"ERROR:", L"?FATAL", L"", L"Cannot Save"});
    ASSERT_EQ(texts.size(), 2u);   // "?" rows and empty texts would match everything or nothing useful
    EXPECT_TRUE(LineHasError(L"error: cannot open file", texts));
    EXPECT_TRUE(LineHasError(L"12:00 Error: x", texts));
    EXPECT_TRUE(LineHasError(L"we cannot save gear.dwg", texts));
    EXPECT_FALSE(LineHasError(L"error cannot open file", texts));
    EXPECT_FALSE(LineHasError(L"fatal things", texts));
    EXPECT_FALSE(LineHasError(L"", texts));
    EXPECT_FALSE(LineHasError(L"anything", PrepareErrorTexts({L"", L"?x"})));
}

TEST(WatchTables, RowsAreThePublishedOnes)
{
    std::set<unsigned> fatal;
    for (const FatalRow& row : kFatalRows)
        fatal.insert(row.id);
    EXPECT_EQ(fatal.size(), 34u);
    EXPECT_EQ(kFatalRows[0].id, 2191u);
    EXPECT_EQ(kFatalRows[5].id, 2101u);
    for (const FatalRow& row : kFatalRows) {
        EXPECT_EQ(row.pattern, row.id >= 2115 && row.id <= 2117) << row.id;
        EXPECT_EQ(row.childTexts, row.id >= 2118 && row.id <= 2123) << row.id;
    }
    EXPECT_EQ(kAnswerRows[2].key, kKeyFromString);
    EXPECT_TRUE(kAnswerRows[1].pattern);
    EXPECT_EQ(kAnswerRows[4].id, 2134u);
    EXPECT_EQ(kAnswerRows[4].key, 13);
}
