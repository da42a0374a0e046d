// Scanning the host extension's log named by "LOGFILENAME".
#include "CKestNoluApp.h"
#include "HostKeys.h"
#include "HostLogWatch.h"
#include "HostWindowWatch.h"
#include "KestRegKey.h"
#include "WineTestSupport.h"

#include "Afx.h"

#include <gtest/gtest.h>

#include <chrono>

class LogScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static HMODULE language = LoadLibraryW(wts::ResourceModulePath().c_str());
        ASSERT_NE(language, nullptr);
        AfxSetResourceHandle(language);
        m_dir = wts::FreshDir(L"logscan");
        g_logFile = m_dir + L"\\migration.log";
        m_hostLog = m_dir + L"\\kemigr.log";
        ResetHostWatchForTest();
        KestRegKey(MigrationSettingsKey(), HKEY_CURRENT_USER).WriteString(L"LOGFILENAME", m_hostLog.c_str());
    }
    void TearDown() override { KestRegKey(MigrationSettingsKey(), HKEY_CURRENT_USER).DeleteValue(L"LOGFILENAME"); }

    void Append(const std::string& text)
    {
        HANDLE file = CreateFileW(m_hostLog.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }

    std::string Log() { return wts::ReadFileBytes(g_logFile); }

    std::wstring m_dir, m_hostLog;
};

TEST_F(LogScanTest, NoValueOrNoFileFindsNothing)
{
    EXPECT_FALSE(HostLogWatch::Scan());   // the file does not exist yet
    KestRegKey(MigrationSettingsKey(), HKEY_CURRENT_USER).DeleteValue(L"LOGFILENAME");
    Append("error: x\r\n");
    EXPECT_FALSE(HostLogWatch::Scan());
    KestRegKey(MigrationSettingsKey(), HKEY_CURRENT_USER).WriteString(L"LOGFILENAME", L"");
    EXPECT_FALSE(HostLogWatch::Scan());
    EXPECT_EQ(Log(), "");
}

TEST_F(LogScanTest, ErrorLineIsLoggedQuotedAfterTwoTabsAndAsterisks)
{
    Append("opening gear.dwg\r\n");
    EXPECT_FALSE(HostLogWatch::Scan());
    Append("error: cannot open file\r\nfatal: later\r\n");
    EXPECT_TRUE(HostLogWatch::Scan());
    EXPECT_EQ(Log(), "\t\t** \"error: cannot open file\"\r\n");
    // While the log holds it, the line is found again.
    EXPECT_TRUE(HostLogWatch::Scan());
}

TEST_F(LogScanTest, ErrorAfterAnOverlongLineIsFound)
{
    Append(std::string(3000, '#') + "\r\n");
    EXPECT_FALSE(HostLogWatch::Scan());
    Append("Migration failed for gear.dwg\r\n");
    EXPECT_TRUE(HostLogWatch::Scan());
    EXPECT_EQ(Log(), "\t\t** \"Migration failed for gear.dwg\"\r\n");
}

TEST_F(LogScanTest, ANewLogUnderTheSameNameIsReadFromItsStart)
{
    std::string quiet;
    for (int i = 0; i < 200; ++i)
        quiet += "drawing step " + std::to_string(i) + " done\r\n";
    Append(quiet);
    EXPECT_FALSE(HostLogWatch::Scan());
    // The next drawing's host writes a fresh log, longer than the old one, with the error early.
    DeleteFileW(m_hostLog.c_str());
    Append("start\r\nEXCEPTION: access violation\r\n" + quiet + quiet);
    EXPECT_TRUE(HostLogWatch::Scan());
    EXPECT_EQ(Log(), "\t\t** \"EXCEPTION: access violation\"\r\n");
}

TEST_F(LogScanTest, HundredThousandLinesAreReadOnceThenOnlyWhatWasAdded)
{
    std::string lines;
    for (int i = 0; i < 100000; ++i)
        lines += "drawing " + std::to_string(i) + ": layer purged, block updated, nothing to report\r\n";
    Append(lines);
    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    auto t0 = Clock::now();
    EXPECT_FALSE(HostLogWatch::Scan());
    auto t1 = Clock::now();
    EXPECT_FALSE(HostLogWatch::Scan());
    auto t2 = Clock::now();
    Append("*** ERROR in the last drawing\r\n");
    EXPECT_TRUE(HostLogWatch::Scan());
    auto t3 = Clock::now();
    std::printf("extension log of %zu bytes: first scan %.1f ms, unchanged %.2f ms, grown %.2f ms\n", lines.size(),
                ms(t1 - t0), ms(t2 - t1), ms(t3 - t2));
    EXPECT_LT(ms(t2 - t1), 100.0);
    EXPECT_LT(ms(t3 - t2), 100.0);
}

TEST_F(LogScanTest, SlicesGoOnWhereTheLastEndedAndFindTheErrorOnce)
{
    std::string lines;
    for (int i = 0; i < 100000; ++i)
        lines += "drawing " + std::to_string(i) + ": layer purged, block updated, nothing to report\r\n";
    Append(lines + "error: cannot open the external reference rollers.dwg\r\nlast line\r\n");
    // Slices of one millisecond: the log takes many, each reading on where the one before stopped.
    int slices = 1;
    HostLogScanner::Slice result;
    while ((result = HostLogWatch::ScanSlice(1)) == HostLogScanner::Slice::Unfinished && slices < 10000)
        ++slices;
    EXPECT_EQ(result, HostLogScanner::Slice::ErrorLine);
    EXPECT_GT(slices, 2);
    std::string log = Log();
    EXPECT_EQ(log, "\t\t** \"error: cannot open the external reference rollers.dwg\"\r\n") << slices << " slices";
    // The host was not ended here: the next scan finds the same line, in one slice.
    EXPECT_EQ(HostLogWatch::ScanSlice(1000), HostLogScanner::Slice::ErrorLine);
}
