// The time budget with the shipped timings: a host that hangs on a drawing
// with Timeout 1 is ended once the drawing's minute is used up, and the next
// drawing still migrates. The one long test of the suites.
#include "JobRun.h"
#include "ProgressIds.h"
#include "RunBed.h"
#include "SuperviseIds.h"

#include <gtest/gtest.h>

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
    ASSERT_TRUE(JobRun::WaitUntil([] { return FindWindowW(nullptr, L"Draxil R26.0 - [hangs.dwg]") != nullptr; },
                                  60000));
    DWORD hostShown = GetTickCount();

    // Twelve polls of 5 seconds use up the minute; the log scans stretch the polls apart.
    ASSERT_TRUE(JobRun::WaitUntil([] { return !FindWindowW(nullptr, L"Draxil R26.0 - [hangs.dwg]"); }, 180000));
    DWORD hostEndedAfter = GetTickCount() - hostShown;
    EXPECT_GE(hostEndedAfter, 55000u);
    EXPECT_TRUE(JobRun::WaitUntil([&] { return run.Visible(IDC_PROGRESS_MIGRATE_DONE); }, 120000))
        << RunBed::ReadText(options.log);
    // The done mark shows just before the summary is appended.
    EXPECT_TRUE(JobRun::WaitUntil(
        [&] { return RunBed::ReadText(options.log).find("    migrated:") != std::string::npos; }, 30000))
        << RunBed::ReadText(options.log);

    std::vector<std::string> lines = RunBed::Lines(options.log);
    std::string log = RunBed::ReadText(options.log);
    wchar_t timeoutLine[512];
    swprintf(timeoutLine, 512, RunBed::Text(IDS_HOST_TIMEOUT).c_str(), 1);
    size_t texts = log.find("\t" + RunBed::Narrow(RunBed::Text(IDS_CHILD_TEXTS_TIMEOUT)) + "\n");
    size_t ended = log.find("\t" + RunBed::Narrow(timeoutLine) + "\n");
    EXPECT_NE(texts, std::string::npos) << log;
    EXPECT_NE(ended, std::string::npos) << log;
    EXPECT_LT(texts, ended) << log;
    EXPECT_LT(ended, log.find("Migrating drawing next.dwg")) << log;

    std::vector<std::string> migrated = RunBed::Lines(RunBed::MigratedListPath());
    ASSERT_EQ(migrated.size(), 1u);
    EXPECT_NE(migrated[0].find("next.dwg"), std::string::npos) << migrated[0];
    EXPECT_NE(log.find("    migrated:         1\n"), std::string::npos) << log;
    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
}
