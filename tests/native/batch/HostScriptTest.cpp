#include "HostScript.h"
#include "PathPlatform.h"

#include <gtest/gtest.h>

namespace {
using Lines = std::vector<std::wstring>;

const Lines kTail = {L"_kestend", L"_logfilemode", L"0", L"_krx", L"_unload", L"kemigr.krx", L"(keresetdbmod T)",
                     L"_.QUIT"};

Lines WithTail(Lines lines)
{
    lines.insert(lines.end(), kTail.begin(), kTail.end());
    return lines;
}

class HostScriptTest : public ::testing::Test {
protected:
    void SetUp() override { PathPlatform::SetCurrentDirectoryForTest(L"C:\\Work"); }

    // Settings that enable no update line of their own.
    HostScript::Settings Zero() const
    {
        HostScript::Settings s;
        s.migrationFolder = L"C:\\Host\\drxlm\\migration";
        s.logFile = L"DrxlMMigr.log";
        return s;
    }
};
}

TEST_F(HostScriptTest, HeadScriptHasNineLinesWithQuotedExtensionAndForwardSlashLog)
{
    HostScript::Settings s = Zero();
    s.logFlags = 15;
    EXPECT_EQ(HostScript::HeadLines(s),
              (Lines{L"_EXPERT", L"0", L"_krx", L"_load", L"\"C:\\Host\\drxlm\\migration\\kemigr.krx\"",
                     L"_kestloginfo", L"c:/work/drxlmmigr.log", L"15", L"(keresetdbmod T)"}));

    s.logFile = L"D:\\Logs\\Run One.LOG";
    s.logFlags = -2147483647 - 1;
    Lines head = HostScript::HeadLines(s);
    EXPECT_EQ(head[6], L"d:/logs/run one.log");
    EXPECT_EQ(head[7], L"-2147483648");
}

TEST_F(HostScriptTest, OverlongHeadValuesAreWrittenWhole)
{
    HostScript::Settings s = Zero();
    s.migrationFolder = L"C:\\" + std::wstring(1500, L'm');
    s.logFile = L"C:\\" + std::wstring(1500, L'L') + L"\\x.log";
    Lines head = HostScript::HeadLines(s);
    EXPECT_EQ(head[4], L"\"" + s.migrationFolder + L"\\kemigr.krx\"");
    EXPECT_EQ(head[6], L"c:/" + std::wstring(1500, L'l') + L"/x.log");
}

TEST_F(HostScriptTest, ScanScriptNamesTheCommandByOperation)
{
    HostScript::Settings s = Zero();
    s.operation = 1;
    s.drxlmFlags = 0x7FF;
    EXPECT_EQ(HostScript::BodyLines(s, true, true), WithTail({L"_kestscan"}));
    for (int operation : {0, 2, 3}) {
        s.operation = operation;
        EXPECT_EQ(HostScript::BodyLines(s, true, false), WithTail({L"_kestanalyze"})) << operation;
    }
}

TEST_F(HostScriptTest, PlainScriptIgnoresEveryFlag)
{
    HostScript::Settings s = Zero();
    s.updateFlags = 27;
    s.optionFlags = 0xC;
    s.quenbarFlags = 3;
    s.drxlmFlags = 0x7FF;
    s.templatePath = L"c:\\t.dwt";
    EXPECT_EQ(HostScript::BodyLines(s, false, false), WithTail({L"_kestmigr", L"_.QSAVE"}));
}

TEST_F(HostScriptTest, UpdateScriptWithoutFlagsEqualsPlainScript)
{
    HostScript::Settings s = Zero();
    EXPECT_EQ(HostScript::BodyLines(s, false, true), HostScript::BodyLines(s, false, false));
    EXPECT_EQ(HostScript::BodyLines(s, false, true).size(), 10u);
}

TEST_F(HostScriptTest, UpdateBlockLinesFollowTheFlags)
{
    const Lines head = {L"_kestmigr", L"_.QSAVE"};
    auto update = [&](int updateFlags, int optionFlags, int quenbarFlags, int drxlmFlags, const wchar_t* templ) {
        HostScript::Settings s = Zero();
        s.updateFlags = updateFlags;
        s.optionFlags = optionFlags;
        s.quenbarFlags = quenbarFlags;
        s.drxlmFlags = drxlmFlags;
        s.templatePath = templ;
        Lines lines = HostScript::BodyLines(s, false, true);
        return Lines(lines.begin() + 2, lines.end() - 8);
    };
    EXPECT_EQ(update(1, 0, 0, 0, L""), (Lines{L"_kestmode", L"1", L"_.QSAVE"}));
    EXPECT_EQ(update(0, 0, 1, 0xA, L""),
              (Lines{L"_kemigratebb", L"_-purge _LA * _N", L"_kestmode", L"1", L"_.QSAVE"}));
    EXPECT_EQ(update(0, 0, 2, 0, L""), (Lines{L"_kemigratesym", L"_kestmode", L"1", L"_.QSAVE"}));
    EXPECT_EQ(update(0, 0xC, 0, 0, L""), (Lines{L"_kestmode", L"0", L"_.QSAVE"}));
    EXPECT_EQ(update(0, 0x8, 0, 0, L""), (Lines{L"_kestmode", L"2", L"_.QSAVE"}));
    EXPECT_EQ(update(0, 0, 0, 0x7FC, L""), (Lines{L"_kestmode", L"1", L"_.QSAVE"}));
    EXPECT_EQ(update(0, 0, 0, 0x7FE, L""),
              (Lines{L"_-purge _B * _N", L"_-purge _LA * _N", L"_-purge _D * _N", L"_-purge _P * _N",
                     L"_-purge _LT * _N", L"_-purge _ST * _N", L"_-purge _M * _N", L"_-purge _SH * _N",
                     L"_kestmode", L"1", L"_.QSAVE"}));
    EXPECT_EQ(update(0, 0, 3, 0x1, L"C:\\My Templates\\Plan A.dwt"),
              (Lines{L"_kemigratebb", L"_kemigratesym", L"_EXPERT", L"5", L"_kesetupdwg", L"_T",
                     L"C:\\My Templates\\Plan A.dwt", L"_EXPERT", L"0", L"_kestmode", L"1", L"_.QSAVE"}));
}

TEST_F(HostScriptTest, TextEndsEveryLineWithALineFeed)
{
    EXPECT_EQ(HostScript::Text({L"a", L"", L"b"}), L"a\n\nb\n");
    EXPECT_EQ(HostScript::Text({}), L"");
}
