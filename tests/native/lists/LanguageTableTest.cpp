#include "LanguageTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>

TEST(LanguageTable, HoldsEveryLanguageOnceInItsOrder)
{
    ASSERT_EQ(LanguageTable::RowCount(), 143u);
    const LanguageTable::Row* rows = LanguageTable::Rows();
    EXPECT_STREQ(rows[0].id, "0x0000");
    EXPECT_STREQ(rows[1].id, "0x007f");
    EXPECT_STREQ(rows[41].id, "0x0409");
    EXPECT_STREQ(rows[80].id, "0x0411");
    EXPECT_STREQ(rows[142].id, "0x042a");

    std::set<unsigned> seen;
    size_t named = 0;
    for (size_t i = 0; i < LanguageTable::RowCount(); ++i) {
        unsigned id = 0;
        ASSERT_EQ(std::strlen(rows[i].id), 6u) << i;
        ASSERT_EQ(std::sscanf(rows[i].id, "%x", &id), 1) << rows[i].id;
        EXPECT_TRUE(seen.insert(id).second) << rows[i].id << " twice";
        if (rows[i].name[0]) {
            ++named;
            EXPECT_NE(LanguageTable::CodePage(rows[i].name), 0u) << rows[i].name << " has no code page";
        }
    }
    EXPECT_EQ(named, 34u);
}

TEST(LanguageTable, LooksUpTheSystemLanguage)
{
    EXPECT_EQ(LanguageTable::LocaleName(0x0409), "english-us");
    EXPECT_EQ(LanguageTable::LocaleName(0x0411), "japanese");
    EXPECT_EQ(LanguageTable::LocaleName(0x0c04), "cht");
    EXPECT_EQ(LanguageTable::LocaleName(0x1004), "chs");
    EXPECT_EQ(LanguageTable::LocaleName(0x041f), "turkish");
    EXPECT_EQ(LanguageTable::LocaleName(0x080a), "spanish-mexican");
    // Rows without a name, the first row, and languages the table lacks.
    EXPECT_EQ(LanguageTable::LocaleName(0x0813), "");
    EXPECT_EQ(LanguageTable::LocaleName(0x040a), "");
    EXPECT_EQ(LanguageTable::LocaleName(0x0000), "");
    EXPECT_EQ(LanguageTable::LocaleName(0x0c0a), "");
    EXPECT_EQ(LanguageTable::LocaleName(0x1234), "");
    EXPECT_EQ(LanguageTable::LocaleName(0xffff), "");
}

TEST(LanguageTable, NamesPickTheirLanguagesCodePage)
{
    EXPECT_EQ(LanguageTable::CodePage("japanese"), 932u);
    EXPECT_EQ(LanguageTable::CodePage("chs"), 936u);
    EXPECT_EQ(LanguageTable::CodePage("cht"), 950u);
    EXPECT_EQ(LanguageTable::CodePage("korean"), 949u);
    EXPECT_EQ(LanguageTable::CodePage("polish"), 1250u);
    EXPECT_EQ(LanguageTable::CodePage("russian"), 1251u);
    EXPECT_EQ(LanguageTable::CodePage("greek"), 1253u);
    EXPECT_EQ(LanguageTable::CodePage("turkish"), 1254u);
    EXPECT_EQ(LanguageTable::CodePage("german-austrian"), 1252u);
    // The empty name and unknown names: the system's ANSI code page.
    EXPECT_EQ(LanguageTable::CodePage(""), 0u);
    EXPECT_EQ(LanguageTable::CodePage("klingon"), 0u);
    EXPECT_EQ(LanguageTable::CodePage("Japanese"), 0u);
}
