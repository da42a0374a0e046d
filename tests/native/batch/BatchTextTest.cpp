#include "BatchText.h"
#include "PathPlatform.h"

#include <gtest/gtest.h>

namespace {
using Lines = std::vector<std::wstring>;

// The test data is ASCII: one byte per character, and back.
void Encode(const std::wstring& text, std::string& bytes)
{
    for (wchar_t c : text) {
        EXPECT_LT(static_cast<unsigned>(c), 128u);
        bytes += static_cast<char>(c);
    }
}

Lines Split(const std::string& bytes)
{
    Lines lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.emplace_back(bytes.begin() + start, bytes.begin() + end);
    EXPECT_EQ(start, bytes.size()) << "text must end with CR LF";
    for (size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1))
        EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "lone line feed at " << i;
    return lines;
}

class BatchTextTest : public ::testing::Test {
protected:
    void SetUp() override { PathPlatform::SetCurrentDirectoryForTest(L"C:\\Work"); }

    BatchText::Job MigrateJob() const
    {
        BatchText::Job job;
        job.progressFile = L"c:\\temp\\lorn1.tmp";
        job.logFile = L"C:\\Logs\\DrxlMMigr.log";
        job.headScript = L"c:\\temp\\lorn3.scr";
        job.drawingScript = L"c:\\temp\\lorn2.scr";
        job.firstBody = L"c:\\temp\\lorn4.scr";
        job.secondBody = L"c:\\temp\\lorn5.scr";
        job.hostFolder = L"C:\\Program Files\\Draxil\\";
        job.profileName = L"<<DRXLMPP>>";
        job.pathLine = L"PATH =c:\\windows";
        job.message = [](const std::wstring& name) { return L"Migrating drawing " + name; };
        job.encode = Encode;
        return job;
    }

    // The eleven lines of one block as they must stand.
    static Lines Block(int number, const std::wstring& drawing, const std::wstring& fileName, const wchar_t* body,
                       const wchar_t* verb = L"Migrating")
    {
        return {L"",
                L"echo " + std::to_wstring(number) + L" > \"c:\\temp\\lorn1.tmp\"",
                L"echo. >> \"C:\\Logs\\DrxlMMigr.log\"",
                L"echo " + std::wstring(verb) + L" drawing " + fileName + L" >> \"C:\\Logs\\DrxlMMigr.log\"",
                L"copy \"c:\\temp\\lorn3.scr\" \"c:\\temp\\lorn2.scr\"",
                L"echo _.OPEN>> \"c:\\temp\\lorn2.scr\"",
                L"echo \"" + drawing + L"\">> \"c:\\temp\\lorn2.scr\"",
                L"type \"" + std::wstring(body) + L"\" >> \"c:\\temp\\lorn2.scr\"",
                L"PATH =c:\\windows",
                L"cd /d \"C:\\Program Files\\Draxil\\\"",
                L"start /wait drxl.exe /b \"c:\\temp\\lorn2.scr\" /p \"<<DRXLMPP>>\" /nologo"};
    }
};
}

TEST_F(BatchTextTest, HeaderNamesTheKindOfRun)
{
    EXPECT_EQ(BatchText::Header(true), "@echo off\r\nrem Scan the DWG's and write list of xrefs.\r\n");
    EXPECT_EQ(BatchText::Header(false), "@echo off\r\nrem Save/update the DWG's.\r\n");
}

TEST_F(BatchTextTest, MigrateBlocksChooseTheBodyScriptByTheDrawingList)
{
    const Lines batch = {L"D:\\Plans\\Gear.DWG", L"d:\\plans\\other.dwg"};
    const Lines drawings = {L"d:\\PLANS\\gear.dwg"};
    std::string text;
    BatchText::AppendBlocks(MigrateJob(), batch, drawings, text);
    Lines expected = Block(1, L"D:\\Plans\\Gear.DWG", L"gear.dwg", L"c:\\temp\\lorn4.scr");
    Lines second = Block(2, L"d:\\plans\\other.dwg", L"other.dwg", L"c:\\temp\\lorn5.scr");
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(Split(text), expected);
}

TEST_F(BatchTextTest, AnalysisBlocksAllUseTheFirstBodyScript)
{
    BatchText::Job job = MigrateJob();
    job.analysis = true;
    job.message = [](const std::wstring& name) { return L"Scanning drawing " + name; };
    const Lines list = {L"c:\\a\\one.dwg", L"c:\\a\\two"};
    std::string text;
    BatchText::AppendBlocks(job, list, Lines{}, text);
    Lines expected = Block(1, L"c:\\a\\one.dwg", L"one.dwg", L"c:\\temp\\lorn4.scr", L"Scanning");
    Lines second = Block(2, L"c:\\a\\two", L"two.", L"c:\\temp\\lorn4.scr", L"Scanning");
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(Split(text), expected);
}

TEST_F(BatchTextTest, RestartKeepsTheNumbersAndSkipsEarlierDrawings)
{
    const Lines list = {L"c:\\a.dwg", L"c:\\b.dwg", L"c:\\c.dwg", L"c:\\d.dwg"};
    std::string text;
    BatchText::Job job = MigrateJob();
    job.restartIndex = 2;
    BatchText::AppendBlocks(job, list, list, text);
    Lines lines = Split(text);
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[1], L"echo 3 > \"c:\\temp\\lorn1.tmp\"");
    EXPECT_EQ(lines[12], L"echo 4 > \"c:\\temp\\lorn1.tmp\"");
    EXPECT_EQ(lines[6], L"echo \"c:\\c.dwg\">> \"c:\\temp\\lorn2.scr\"");

    for (int index : {4, 5, 1000}) {
        text.clear();
        job.restartIndex = index;
        BatchText::AppendBlocks(job, list, list, text);
        EXPECT_EQ(text, "") << index;
    }
    text.clear();
    job.restartIndex = -3;
    BatchText::AppendBlocks(job, list, list, text);
    EXPECT_EQ(Split(text).size(), 44u);
}

TEST_F(BatchTextTest, SpillingInPiecesGivesTheSameText)
{
    std::vector<std::wstring> list;
    for (int i = 0; i < 50; ++i)
        list.push_back(L"c:\\d\\" + std::to_wstring(i) + L".dwg");
    std::string whole;
    BatchText::AppendBlocks(MigrateJob(), list, list, whole);
    std::string pieces;
    std::string out = "head";
    int spills = 0;
    BatchText::AppendBlocks(
        MigrateJob(), list, list, out,
        [&](std::string& text) {
            pieces += text;
            text.clear();
            ++spills;
        },
        4000);
    pieces += out;
    EXPECT_GT(spills, 3);
    EXPECT_TRUE(pieces == "head" + whole) << "pieces differ from the whole text";
}

TEST_F(BatchTextTest, SpecialCharactersStayText)
{
    BatchText::Job job = MigrateJob();
    std::string text;
    BatchText::AppendBlocks(job, {L"c:\\R&D 100%\\a&b^c.dwg"}, {}, text);
    Lines lines = Split(text);
    EXPECT_EQ(lines[3], L"echo Migrating drawing a^&b^^c.dwg >> \"C:\\Logs\\DrxlMMigr.log\"");
    EXPECT_EQ(lines[6], L"echo \"c:\\R&D 100%%\\a&b^c.dwg\">> \"c:\\temp\\lorn2.scr\"");

    EXPECT_EQ(BatchText::Escaped(L"a<b>c|d %x% \"q&|\" e&"), L"a^<b^>c^|d %%x%% \"q&|\" e^&");
    EXPECT_EQ(BatchText::Quoted(L"c:\\50%.dwg"), L"\"c:\\50%%.dwg\"");
}

TEST_F(BatchTextTest, PathLineAddsOnlyMissingFolders)
{
    const std::wstring path = L"C:\\Windows;C:\\Lib;D:\\Tools\\;E:\\Last";
    EXPECT_EQ(BatchText::PathLine(path, {}), L"PATH =c:\\windows;c:\\lib;d:\\tools\\;e:\\last");
    EXPECT_EQ(BatchText::PathLine(path, {L"c:\\lib", L"C:\\LIB\\", L"d:\\tools", L"e:\\last", L"F:\\Support\\"}),
              L"PATH =e:\\last\\;f:\\support\\;c:\\windows;c:\\lib;d:\\tools\\;e:\\last");
    EXPECT_EQ(BatchText::PathLine(L"c:\\x;", {L"c:\\a&b"}), L"PATH =c:\\a^&b\\;c:\\x;");
}

TEST_F(BatchTextTest, FoldersAndNames)
{
    EXPECT_EQ(BatchText::WithTrailingSeparator(L"C:\\Host"), L"C:\\Host\\");
    EXPECT_EQ(BatchText::WithTrailingSeparator(L"C:\\Host\\"), L"C:\\Host\\");
    EXPECT_EQ(BatchText::WithTrailingSeparator(L"C:\\Host/"), L"C:\\Host/");
    EXPECT_EQ(BatchText::WithTrailingSeparator(L""), L"\\");

    EXPECT_EQ(BatchText::Absolute(L"DrxlMMigr.log"), L"C:\\Work\\DrxlMMigr.log");
    EXPECT_EQ(BatchText::Absolute(L"..\\Logs\\x.log"), L"C:\\Logs\\x.log");
    EXPECT_EQ(BatchText::Absolute(L"D:\\Logs\\X.log"), L"D:\\Logs\\X.log");
    EXPECT_EQ(BatchText::Absolute(L"\\\\server\\share\\x.log"), L"\\\\server\\share\\x.log");

    EXPECT_EQ(BatchText::DrawingFileName(L"D:\\Plans\\Gear Plan.DWG"), L"gear plan.dwg");
    EXPECT_EQ(BatchText::DrawingFileName(L"d:\\plans\\archive.tar.gz"), L"archive.tar.gz");
    EXPECT_EQ(BatchText::DrawingFileName(L"d:\\plans.v2\\Makefile"), L"makefile.");
    EXPECT_EQ(BatchText::DrawingFileName(L"d:/plans/A.DWG"), L"a.dwg");
}

TEST_F(BatchTextTest, PlainStringFormatsSplitAroundTheirConversion)
{
    std::wstring prefix, suffix;
    EXPECT_TRUE(BatchText::SplitFormat(L"Migrating %s now", prefix, suffix));
    EXPECT_EQ(prefix, L"Migrating ");
    EXPECT_EQ(suffix, L" now");
    EXPECT_TRUE(BatchText::SplitFormat(L"100%% of %s (%%s)", prefix, suffix));
    EXPECT_EQ(prefix, L"100% of ");
    EXPECT_EQ(suffix, L" (%s)");
    for (const wchar_t* format : {L"no conversion", L"%s and %s", L"%-20s", L"%d files", L"trailing %", L"%%s"})
        EXPECT_FALSE(BatchText::SplitFormat(format, prefix, suffix)) << format;
}
