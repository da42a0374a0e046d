// The time budget with the shipped timings: a host that hangs on a drawing
// with Timeout 1 is ended once the drawing's minute is used up (in real time,
// however the log scans stretch the polls), and the next drawing still
// migrates. The one long test of the suites.
#include "JobRun.h"
#include "ProgressIds.h"
#include "RunBed.h"
#include "SuperviseIds.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

TEST(ProgressTimeout, HungHostIsEndedAfterItsBudgetAndTheNextDrawingMigrates)
{
    RunBed::SetUpHost();
    RunBed::ForgetWindowPosition();
    std::wstring dir = RunBed::FreshFolder(L"progress timeout");
    JobRun::Options options;
    options.list =
        RunBed::PlainList(dir, {RunBed::Drawing(dir, L"hangs.dwg", L"hang"), RunBed::Drawing(dir, L"next.dwg")});
    options.log = dir + L"\\migration.log";
    options.timeout = 1;
    options.timerSecondMs = 1000;
    JobRun run(options);
    ASSERT_TRUE(run.WaitForDialog());
    const int startBar = run.BarPosition();
    DWORD firstRead = 0, hostShown = 0;
    // The bar moves when the dialog first reads the drawing's number.
    ASSERT_TRUE(wts::WaitUntil(
        [&] {
            if (!firstRead && run.BarPosition() != startBar)
                firstRead = GetTickCount();
            if (!hostShown && FindWindowW(nullptr, L"Draxil R26.0 - [hangs.dwg]"))
                hostShown = GetTickCount();
            return firstRead && hostShown;
        },
        60000));

    // The minute runs from the first read; the poll that finds it over comes
    // at most one poll (stretched to 7 seconds by the log scans) later.
    ASSERT_TRUE(wts::WaitUntil([] { return !FindWindowW(nullptr, L"Draxil R26.0 - [hangs.dwg]"); }, 180000));
    DWORD hostEnded = GetTickCount();
    printf("host ended %lu ms after its number was first read, %lu ms after its window showed\n",
           static_cast<unsigned long>(hostEnded - firstRead), static_cast<unsigned long>(hostEnded - hostShown));
    EXPECT_GE(hostEnded - firstRead, 59800u);
    EXPECT_LE(hostEnded - firstRead, 68000u);
    EXPECT_GE(hostEnded - hostShown, 60000u);
    EXPECT_LE(hostEnded - hostShown, 80000u);
    EXPECT_TRUE(wts::WaitUntil([&] { return run.Visible(IDC_PROGRESS_MIGRATE_DONE); }, 120000))
        << RunBed::ReadText(options.log);
    // The done mark shows just before the summary is appended.
    EXPECT_TRUE(wts::WaitUntil(
        [&] { return RunBed::ReadText(options.log).find("    migrated:") != std::string::npos; }, 30000))
        << RunBed::ReadText(options.log);

    std::vector<std::string> lines = RunBed::Lines(options.log);
    std::string log = RunBed::ReadText(options.log);
    wchar_t timeoutLine[512];
    swprintf(timeoutLine, 512, wts::Text(IDS_HOST_TIMEOUT).c_str(), 1);
    size_t texts = log.find("\t" + wts::Narrow(wts::Text(IDS_CHILD_TEXTS_TIMEOUT)) + "\n");
    size_t ended = log.find("\t" + wts::Narrow(timeoutLine) + "\n");
    EXPECT_NE(texts, std::string::npos) << log;
    EXPECT_NE(ended, std::string::npos) << log;
    EXPECT_LT(texts, ended) << log;
    EXPECT_LT(ended, log.find("Migrating drawing next.dwg")) << log;

    std::vector<std::string> migrated = RunBed::Lines(RunBed::MigratedListPath());
    ASSERT_EQ(migrated.size(), 1u);
    EXPECT_NE(migrated[0].find("next.dwg"), std::string::npos) << migrated[0];
    EXPECT_NE(log.find("    migrated:         1\n"), std::string::npos) << log;
    // The report, written right after the summary, gives the drawing's minute and how it ended.
    std::string report;
    EXPECT_TRUE(wts::WaitUntil(
        [&] { return (report = RunBed::ReadText(dir + L"\\migration.csv")).find("next.dwg") != std::string::npos; },
        10000));
    size_t row = report.find("hangs.dwg,");
    ASSERT_NE(row, std::string::npos) << report;
    std::string rest = report.substr(row + 10);
    rest = rest.substr(rest.find(',') + 1);
    EXPECT_EQ(rest.compare(0, 10, "timed out,"), 0) << report;
    const unsigned seconds = static_cast<unsigned>(std::atoi(rest.c_str() + 10));
    EXPECT_GE(seconds, 60u) << report;
    EXPECT_LE(seconds, 85u) << report;
    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
}
