#include "CKestNoluApp.h"
#include "BatchIds.h"
#include "KestDmlFile.h"
#include "ListsTest.h"
#include "RunIds.h"
#include "RunListIds.h"
#include "RunLog.h"
#include "TextLocale.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>

CKestNoluApp theApp;

namespace {
using Bytes = std::vector<std::string>;

class RunLog : public ::testing::Test {
protected:
    void SetUp() override
    {
        liststest::UseResources();
        m_dir = wts::FreshDir(L"run");
        SetEnvironmentVariableW(L"TEMP", m_dir.c_str());
        g_logFile = m_dir + L"\\migration.log";
        theApp.m_drawings = {L"c:\\work\\a.dwg", L"c:\\work\\b.dwg", L"c:\\work\\c.dwg"};
        theApp.m_listFile.clear();
        theApp.m_Operation = 1;
        SetSystemLanguageForTest(0x0409);
    }
    void TearDown() override { SetSystemLanguageForTest(-1); }

    std::string Narrow(unsigned id) { return wts::Narrow(liststest::Text(id), 1252); }
    Bytes LogLines() { return liststest::SplitCrLf(wts::ReadFileBytes(g_logFile)); }
    void WriteMigrated(const std::string& bytes) { wts::WriteFileBytes(m_dir + L"\\MIGRATED.TXT", bytes); }

    std::wstring m_dir;
};

const std::regex kStamp("  \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");
}

TEST_F(RunLog, PrepareRunStartsAfresh)
{
    wts::WriteFileBytes(g_logFile, "old log\r\n");
    wts::WriteFileBytes(m_dir + L"\\MIGRATE.TXT", "c:\\old\\one.dwg\r\nc:\\old\\two.dwg\r\nc:\\old\\3.dwg\r\n4\r\n");
    WriteMigrated("c:\\old\\one.dwg\r\n");
    size_t temps = theApp.m_tempFiles.size();

    theApp.PrepareRun();
    EXPECT_FALSE(wts::FileExists(g_logFile));
    EXPECT_FALSE(wts::FileExists(m_dir + L"\\MIGRATED.TXT"));
    EXPECT_EQ(wts::ReadFileBytes(MigrateListPath()), "c:\\work\\a.dwg\r\nc:\\work\\b.dwg\r\nc:\\work\\c.dwg\r\n");
    std::vector<std::wstring> back;
    ReadLines(MigrateListPath(), back);
    EXPECT_EQ(back, theApp.m_drawings);
    ASSERT_EQ(theApp.m_tempFiles.size(), temps + 1);
    EXPECT_EQ(theApp.m_tempFiles.back(), theApp.m_drawingScript);
    EXPECT_EQ(theApp.m_drawingScript.substr(theApp.m_drawingScript.size() - 4), L".scr");
}

TEST_F(RunLog, ListPathsTakeTempAsItStands)
{
    SetEnvironmentVariableW(L"TEMP", (m_dir + L"\\").c_str());
    EXPECT_EQ(MigrateListPath(), m_dir + L"\\\\MIGRATE.TXT");
    EXPECT_EQ(MigratedListPath(), m_dir + L"\\\\MIGRATED.TXT");
    theApp.PrepareRun();
    EXPECT_EQ(liststest::SplitCrLf(wts::ReadFileBytes(m_dir + L"\\MIGRATE.TXT")).size(), 4u);
    SetEnvironmentVariableW(L"TEMP", nullptr);
    EXPECT_EQ(MigrateListPath(), L"\\MIGRATE.TXT");
}

TEST_F(RunLog, ListAndLogInTheSystemLanguagesCodePage)
{
    const std::wstring western = L"c:\\pl\u00e4ne\\gr\u00f6\u00dfe.dwg";
    const std::wstring japanese = L"c:\\\u56f3\u9762\\\u30c6\u30b9\u30c8.dwg";
    theApp.m_drawings = {western, japanese};

    SetSystemLanguageForTest(0x0407);
    theApp.PrepareRun();
    theApp.AddLogLine(western);
    // A name the code page cannot hold (and that has no short name) is not handed on as "?".
    EXPECT_EQ(wts::ReadFileBytes(MigrateListPath()), "c:\\pl\xe4ne\\gr\xf6\xdf" "e.dwg\r\n");
    EXPECT_EQ(wts::ReadFileBytes(g_logFile), "c:\\pl\xe4ne\\gr\xf6\xdf" "e.dwg\r\n");

    SetSystemLanguageForTest(0x0411);
    theApp.PrepareRun();
    theApp.WriteLogHeader(IDS_BATCH_MIGRATE_TITLE);
    theApp.AddLogLine(japanese);
    EXPECT_EQ(wts::ReadFileBytes(MigrateListPath()), "c:\\\x90\x7d\x96\xca\\\x83\x65\x83\x58\x83\x67.dwg\r\n");
    Bytes log = LogLines();
    ASSERT_EQ(log.size(), 10u);
    EXPECT_EQ(log[8], "c:\\\x90\x7d\x96\xca\\\x83\x65\x83\x58\x83\x67.dwg");
    std::vector<std::wstring> back;
    ReadLines(g_logFile, back);
    EXPECT_EQ(back.back(), japanese);
}

TEST_F(RunLog, HeaderBlocksOfBothRunKinds)
{
    theApp.m_Operation = 1;
    theApp.WriteLogHeader(IDS_BATCH_MIGRATE_TITLE);
    theApp.m_Operation = 2;
    theApp.WriteLogHeader(IDS_BATCH_ANALYSIS_TITLE);
    Bytes log = LogLines();
    ASSERT_EQ(log.size(), 8u + 6u + 1u) << wts::ReadFileBytes(g_logFile);
    // Migrate run: eight lines with the title.
    EXPECT_EQ(log[0], "");
    EXPECT_EQ(log[1], Narrow(IDS_LOG_RULE));
    EXPECT_EQ(log[2], Narrow(IDS_LOG_PRODUCT));
    EXPECT_EQ(log[3], Narrow(IDS_LOG_PREFIX));
    EXPECT_EQ(log[4], Narrow(IDS_BATCH_MIGRATE_TITLE));
    EXPECT_EQ(log[5], Narrow(IDS_LOG_PREFIX));
    EXPECT_TRUE(std::regex_match(log[6], kStamp)) << log[6];
    EXPECT_EQ(log[7], Narrow(IDS_LOG_RULE));
    // Analysis run: six lines, no title.
    EXPECT_EQ(log[8], "");
    EXPECT_EQ(log[9], Narrow(IDS_LOG_RULE));
    EXPECT_EQ(log[10], Narrow(IDS_LOG_PRODUCT));
    EXPECT_EQ(log[11], Narrow(IDS_LOG_PREFIX));
    EXPECT_TRUE(std::regex_match(log[12], kStamp)) << log[12];
    EXPECT_EQ(log[13], Narrow(IDS_LOG_RULE));
    EXPECT_EQ(log[14], "");

    theApp.AddLogLine(L"\tsupervision line");
    theApp.AddLogLine(IDS_SUMMARY_TITLE);
    log = LogLines();
    EXPECT_EQ(log[14], "\tsupervision line");
    EXPECT_EQ(log[15], Narrow(IDS_SUMMARY_TITLE));
}

TEST_F(RunLog, SummaryCountsIgnoreCase)
{
    std::wstring list = m_dir + L"\\user.dml";
    {
        KestDmlFile file(list);
        ASSERT_TRUE(file.Open(true));
        ASSERT_TRUE(file.WriteList({L"c:\\work\\a.dwg", L"c:\\work\\b.dwg", L"c:\\work\\c.dwg", L"c:\\old\\z.dwg"},
                                   nullptr));
        file.Close();
    }
    theApp.m_listFile = list;
    WriteMigrated("C:\\WORK\\A.DWG\r\nc:\\work\\b.dwg\r\nc:\\elsewhere\\q.dwg\r\n");
    theApp.WriteRunSummary();

    Bytes log = LogLines();
    ASSERT_EQ(log.size(), 8u + 6u + 1u) << wts::ReadFileBytes(g_logFile);
    EXPECT_EQ(log[4], Narrow(IDS_SUMMARY_TITLE));
    EXPECT_EQ(log[8], "");
    EXPECT_EQ(log[9], Narrow(IDS_SUMMARY_HEAD));
    EXPECT_EQ(log[10], "    in the list:      3");
    EXPECT_EQ(log[11], "    migrated:         2");
    EXPECT_EQ(log[12], "");
    EXPECT_EQ(log[13], "Not migrated: 1 drawing(s). The messages above tell why.");

    std::string header = Narrow(IDS_DML_HEADER);
    EXPECT_EQ(wts::ReadFileBytes(list), header + "\r\n[x]c:\\work\\a.dwg\r\n[x]c:\\work\\b.dwg\r\n"
                                                 "[ ]c:\\work\\c.dwg\r\n[ ]c:\\old\\z.dwg\r\n");
}

TEST_F(RunLog, SummaryWithDuplicatesOrWithoutMigratedList)
{
    // A drawing named twice counts once.
    WriteMigrated("c:\\work\\a.dwg\r\nc:\\work\\a.dwg\r\nc:\\work\\b.dwg\r\nc:\\work\\c.dwg");
    theApp.WriteRunSummary();
    Bytes log = LogLines();
    ASSERT_EQ(log.size(), 8u + 4u + 1u);
    EXPECT_EQ(log[11], "    migrated:         3");

    // No MIGRATED.TXT: nothing migrated, and the user's list stays as it is.
    DeleteFileW(g_logFile.c_str());
    DeleteFileW((m_dir + L"\\MIGRATED.TXT").c_str());
    std::wstring list = m_dir + L"\\user.dml";
    std::string before = Narrow(IDS_DML_HEADER) + "\r\n[ ]c:\\work\\a.dwg\r\n";
    wts::WriteFileBytes(list, before);
    theApp.m_listFile = list;
    theApp.WriteRunSummary();
    log = LogLines();
    ASSERT_EQ(log.size(), 8u + 6u + 1u);
    EXPECT_EQ(log[11], "    migrated:         0");
    EXPECT_EQ(log[13], "Not migrated: 3 drawing(s). The messages above tell why.");
    EXPECT_EQ(wts::ReadFileBytes(list), before);
}

TEST_F(RunLog, SummaryStopsAtAnOverLongMigratedLine)
{
    WriteMigrated("c:\\work\\a.dwg\r\n" + std::string(1024, 'x') + "\r\nc:\\work\\b.dwg\r\n");
    theApp.WriteRunSummary();
    Bytes log = LogLines();
    ASSERT_GE(log.size(), 12u);
    EXPECT_EQ(log[11], "    migrated:         1");
}

TEST_F(RunLog, ADrawingRunTwiceAfterResumeCannotHideAFailedOne)
{
    // 120 drawings; the 7th failed, the 50th was saved, stopped and run again, so MIGRATED.TXT names it twice.
    theApp.m_drawings.clear();
    std::string migrated;
    for (int i = 1; i <= 120; ++i) {
        std::wstring drawing = L"c:\\plant\\part " + std::to_wstring(i) + L".dwg";
        theApp.m_drawings.push_back(drawing);
        if (i == 7)
            continue;
        std::string line(drawing.begin(), drawing.end());
        migrated += line + "\r\n";
        if (i == 50)
            migrated += "C:\\PLANT\\PART 50.DWG\r\n";
    }
    std::wstring list = m_dir + L"\\user.dml";
    {
        KestDmlFile file(list);
        ASSERT_TRUE(file.Open(true));
        ASSERT_TRUE(file.WriteList(theApp.m_drawings));
    }
    theApp.m_listFile = list;
    WriteMigrated(migrated);
    theApp.WriteRunSummary();

    Bytes log = LogLines();
    ASSERT_EQ(log.size(), 8u + 6u + 1u) << wts::ReadFileBytes(g_logFile);
    EXPECT_EQ(log[10], "    in the list:      120");
    EXPECT_EQ(log[11], "    migrated:         119");
    EXPECT_EQ(log[13], "Not migrated: 1 drawing(s). The messages above tell why.");
    // The list marks every drawing but the failed one, each once.
    Bytes lines = liststest::SplitCrLf(wts::ReadFileBytes(list));
    ASSERT_EQ(lines.size(), 1u + 120u + 1u);
    for (int i = 1; i <= 120; ++i)
        EXPECT_EQ(lines[static_cast<size_t>(i)], (i == 7 ? "[ ]" : "[x]") + std::string("c:\\plant\\part ") +
                                                     std::to_string(i) + ".dwg")
            << i;
}

TEST_F(RunLog, AListTooLargeToMarkIsNamedInTheLog)
{
    const std::wstring list = m_dir + L"\\huge.dml";
    wts::WriteFileBytes(list, Narrow(IDS_DML_HEADER) + "\r\n[ ]c:\\work\\a.dwg\r\n");
    // Zeros up to one byte above the limit, as a sparse file.
    HANDLE file = CreateFileW(list.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(KestDmlFile::MaxListBytes + 1);
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
    theApp.m_listFile = list;
    WriteMigrated("c:\\work\\a.dwg\r\n");
    theApp.WriteRunSummary();

    Bytes log = LogLines();
    ASSERT_EQ(log.size(), 8u + 6u + 1u + 1u) << wts::ReadFileBytes(g_logFile);
    EXPECT_EQ(log[11], "    migrated:         1");
    EXPECT_EQ(log[14], "The drawing list " + std::string(list.begin(), list.end()) +
                           " is larger than 256 MB. The migrated drawings were not marked in it.");
}

TEST_F(RunLog, MarksThatWouldShiftTheListAreNotSetAndTheLogSaysWhy)
{
    // The list's folder takes no new file, and the mark of a double-byte character is wider than "[x]".
    const std::wstring list = m_dir + L"\\user.dml";
    const std::string bytes = Narrow(IDS_DML_HEADER) + "\r\n[ \x82\xA0" "c:\\work\\a.dwg\r\n[ ]c:\\work\\b.dwg\r\n";
    wts::WriteFileBytes(list, bytes);
    theApp.m_listFile = list;
    WriteMigrated("c:\\work\\a.dwg\r\nc:\\work\\b.dwg\r\n");
    KestFile::SetCodePageForTest(932);
    KestDmlFile::SetTempFilesRefusedForTest(true);
    theApp.WriteRunSummary();
    KestDmlFile::SetTempFilesRefusedForTest(false);
    KestFile::SetCodePageForTest(0);

    EXPECT_EQ(wts::ReadFileBytes(list), bytes);
    std::wstring line = liststest::Text(IDS_LOG_MARKS_KEPT);
    line.replace(line.find(L"%s"), 2, list);
    Bytes log = LogLines();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], wts::Narrow(line, 1252));
}
