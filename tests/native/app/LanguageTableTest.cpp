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

TEST(LanguageTable, EveryRowIsTheOneOfTheFixedTable)
{
    // The whole table as the system knows it, in order: a misspelt name would fall back to the user's
    // default locale without a sign, so every name is checked, and every empty one too.
    const struct {
        const char* id;
        const char* name;
    } expected[] = {
        {"0x0000", ""}, {"0x007f", ""}, {"0x0400", ""}, {"0x0800", ""}, {"0x0436", ""}, {"0x041c", ""}, {"0x0401", ""},
        {"0x0801", ""}, {"0x0c01", ""}, {"0x1001", ""}, {"0x1401", ""}, {"0x1801", ""}, {"0x1c01", ""}, {"0x2001", ""},
        {"0x2401", ""}, {"0x2801", ""}, {"0x2c01", ""}, {"0x3001", ""}, {"0x3401", ""}, {"0x3801", ""}, {"0x3c01", ""},
        {"0x4001", ""}, {"0x042b", ""}, {"0x042c", ""}, {"0x082c", ""}, {"0x042d", ""}, {"0x0423", ""}, {"0x0402", ""},
        {"0x0455", ""}, {"0x0403", ""}, {"0x0404", "cht"}, {"0x0804", "chs"}, {"0x0c04", "cht"}, {"0x1004", "chs"},
        {"0x1404", "cht"}, {"0x041a", ""}, {"0x0405", ""}, {"0x0406", ""}, {"0x0465", ""}, {"0x0413", ""},
        {"0x0813", ""}, {"0x0409", "english-us"}, {"0x0809", "english-uk"}, {"0x0c09", "english-aus"},
        {"0x1009", "english-can"}, {"0x1409", "english-nz"}, {"0x1809", ""}, {"0x1c09", ""}, {"0x2009", ""},
        {"0x2409", ""}, {"0x2809", ""}, {"0x2c09", ""}, {"0x3009", ""}, {"0x3409", ""}, {"0x0425", ""}, {"0x0438", ""},
        {"0x0429", ""}, {"0x040b", "finnish"}, {"0x040c", "french"}, {"0x080c", "french-belgian"},
        {"0x0c0c", "french-canadian"}, {"0x100c", "french-swiss"}, {"0x140c", ""}, {"0x180c", ""}, {"0x0456", ""},
        {"0x0437", ""}, {"0x0407", "german"}, {"0x0807", "german-swiss"}, {"0x0c07", "german-austrian"}, {"0x1007", ""},
        {"0x1407", ""}, {"0x0408", "greek"}, {"0x0447", ""}, {"0x040d", ""}, {"0x0439", ""}, {"0x040e", "hungarian"},
        {"0x040f", "icelandic"}, {"0x0421", ""}, {"0x0410", "italian"}, {"0x0810", "italian-swiss"},
        {"0x0411", "japanese"}, {"0x044b", ""}, {"0x0457", ""}, {"0x0412", "korean"}, {"0x0812", ""}, {"0x0440", ""},
        {"0x0426", ""}, {"0x0427", ""}, {"0x0827", ""}, {"0x042f", ""}, {"0x043e", ""}, {"0x083e", ""}, {"0x044e", ""},
        {"0x0450", ""}, {"0x0414", "norwegian-bokmal"}, {"0x0814", "norwegian-nynorsk"}, {"0x0415", "polish"},
        {"0x0416", "portuguese-brazilian"}, {"0x0816", ""}, {"0x0446", ""}, {"0x0418", ""}, {"0x0419", "russian"},
        {"0x044f", ""}, {"0x0c1a", ""}, {"0x081a", ""}, {"0x041b", "slovak"}, {"0x0424", ""}, {"0x040a", ""},
        {"0x080a", "spanish-mexican"}, {"0x0c0a", ""}, {"0x100a", ""}, {"0x140a", ""}, {"0x180a", ""}, {"0x1c0a", ""},
        {"0x200a", ""}, {"0x240a", ""}, {"0x280a", ""}, {"0x2c0a", ""}, {"0x300a", ""}, {"0x340a", ""}, {"0x380a", ""},
        {"0x3c0a", ""}, {"0x400a", ""}, {"0x440a", ""}, {"0x480a", ""}, {"0x4c0a", ""}, {"0x500a", ""}, {"0x0430", ""},
        {"0x0441", ""}, {"0x041d", "swedish"}, {"0x081d", ""}, {"0x045a", ""}, {"0x0449", ""}, {"0x0444", ""},
        {"0x044a", ""}, {"0x041e", ""}, {"0x041f", "turkish"}, {"0x0422", ""}, {"0x0420", ""}, {"0x0820", ""},
        {"0x0443", ""}, {"0x0843", ""}, {"0x042a", ""}
    };
    ASSERT_EQ(LanguageTable::RowCount(), sizeof(expected) / sizeof(expected[0]));
    const LanguageTable::Row* rows = LanguageTable::Rows();
    size_t named = 0;
    for (size_t i = 0; i < LanguageTable::RowCount(); ++i) {
        EXPECT_STREQ(rows[i].id, expected[i].id) << "row " << i;
        EXPECT_STREQ(rows[i].name, expected[i].name) << expected[i].id;
        unsigned id = 0;
        ASSERT_EQ(std::sscanf(expected[i].id, "%x", &id), 1);
        EXPECT_EQ(LanguageTable::LocaleName(static_cast<unsigned short>(id)), expected[i].name) << expected[i].id;
        named += expected[i].name[0] != 0;
    }
    EXPECT_EQ(named, 34u);
}
