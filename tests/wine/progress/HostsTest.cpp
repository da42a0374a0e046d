// One run through drawings that make the host misbehave, each followed by
// one that migrates: every fault is handled and logged, and the batch goes on.
#include "JobRun.h"
#include "ProgressIds.h"
#include "RunBed.h"
#include "SuperviseIds.h"
#include "UnattendedIds.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    return all;
}
}

class ProgressHosts : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RunBed::SetUpHost();
        RunBed::ForgetWindowPosition();
        std::wstring dir = RunBed::FreshFolder(L"progress hosts");
        s_drawings = {
            RunBed::Drawing(dir, L"fatal.dwg", L"dialog:Draxil Error|The drawing could not be read."),
            RunBed::Drawing(dir, L"after-fatal.dwg"),
            RunBed::Drawing(dir, L"answered.dwg", L"dialog:Drawing Properties|Check the drawing properties."),
            RunBed::Drawing(dir, L"sequence.dwg", L"dialog:Migrate Assembly Options|Choose how to migrate."),
            RunBed::Drawing(dir, L"after-sequence.dwg"),
            RunBed::Drawing(dir, L"logged.dwg", L"logerror:ERROR: block table damaged"),
            RunBed::Drawing(dir, L"after-logged.dwg"),
        };
        JobRun::Options options;
        options.list = RunBed::PlainList(dir, s_drawings);
        options.log = dir + L"\\migration.log";
        JobRun run(options);
        ASSERT_TRUE(run.WaitForDialog());
        ASSERT_TRUE(wts::WaitUntil([&] { return run.Visible(IDC_PROGRESS_MIGRATE_DONE); }, 240000))
            << "the run did not end; log so far:\n" << RunBed::ReadText(options.log);
        s_finishedStatus = run.Text(IDC_PROGRESS_STATUS);
        run.Click(IDCANCEL);
        EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
        s_log = RunBed::Lines(options.log);
        s_report = RunBed::ReadText(dir + L"\\migration.csv");
        for (const std::string& line : RunBed::Lines(RunBed::MigratedListPath()))
            s_migrated.push_back(line);
    }

    static bool Migrated(const wchar_t* name)
    {
        std::string tail = wts::Narrow(std::wstring(L"\\") + name);
        for (const std::string& line : s_migrated)
            if (line.size() >= tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0)
                return true;
        return false;
    }

    // The log lines from the drawing's own message on, up to the next drawing's.
    static std::vector<std::string> LinesOf(const char* name)
    {
        std::vector<std::string> lines;
        bool inside = false;
        for (const std::string& line : s_log) {
            if (line.rfind("Migrating drawing ", 0) == 0)
                inside = line.find(name) == std::string("Migrating drawing ").size();
            if (inside)
                lines.push_back(line);
        }
        return lines;
    }

    static std::vector<std::wstring> s_drawings;
    static std::vector<std::string> s_log;
    static std::vector<std::string> s_migrated;
    static std::wstring s_finishedStatus;
    static std::string s_report;
};

std::vector<std::wstring> ProgressHosts::s_drawings;
std::vector<std::string> ProgressHosts::s_log;
std::vector<std::string> ProgressHosts::s_migrated;
std::wstring ProgressHosts::s_finishedStatus;
std::string ProgressHosts::s_report;

TEST_F(ProgressHosts, FatalHostWindowEndsTheHostAndTheNextDrawingMigrates)
{
    std::vector<std::string> lines = LinesOf("fatal.dwg");
    EXPECT_TRUE(Contains(lines, "\t" + wts::Line(IDS_HOST_ENDED_WINDOW, L"Draxil Error"))) << Joined(lines);
    EXPECT_FALSE(Migrated(L"fatal.dwg"));
    EXPECT_TRUE(Migrated(L"after-fatal.dwg")) << Joined(s_migrated);
}

TEST_F(ProgressHosts, TheReportBesideTheLogSaysHowEachHostEnded)
{
    const std::string& report = s_report;
    auto row = [&](const char* name) {
        size_t at = report.find(std::string("\\") + name + ",");
        return at == std::string::npos ? std::string() : report.substr(at, report.find("\r\n", at) - at);
    };
    EXPECT_NE(row("fatal.dwg").find(",host error,"), std::string::npos) << report;
    EXPECT_NE(row("fatal.dwg").find(",Draxil Error"), std::string::npos) << report;
    EXPECT_NE(row("logged.dwg").find(",host error,"), std::string::npos) << report;
    EXPECT_NE(row("logged.dwg").find(",ERROR: block table damaged"), std::string::npos) << report;
    for (const char* name : {"after-fatal.dwg", "answered.dwg", "after-logged.dwg"})
        EXPECT_NE(row(name).find(",migrated,"), std::string::npos) << name << "\n" << report;
}

TEST_F(ProgressHosts, AnsweredHostWindowLetsTheDrawingMigrate)
{
    std::vector<std::string> lines = LinesOf("answered.dwg");
    EXPECT_TRUE(Contains(lines, "\t" + wts::Line(IDS_HOST_ANSWERED, L"Drawing Properties"))) << Joined(lines);
    EXPECT_TRUE(Migrated(L"answered.dwg")) << Joined(s_migrated);
}

TEST_F(ProgressHosts, KeySequenceWindowIsAnsweredAndEndedWhenTheKeysDoNothing)
{
    std::vector<std::string> lines = LinesOf("sequence.dwg");
    EXPECT_TRUE(Contains(lines, "\t" + wts::Line(IDS_HOST_ANSWERED, L"Migrate Assembly Options"))) << Joined(lines);
    // Where the played keys reach the window it closes and the drawing migrates;
    // where they do not, the window is still there a poll later and the host ends.
    bool ended = Contains(lines, "\t" + wts::Line(IDS_HOST_ENDED_WINDOW, L"Migrate Assembly Options"));
    EXPECT_NE(ended, Migrated(L"sequence.dwg")) << Joined(lines);
    EXPECT_TRUE(Migrated(L"after-sequence.dwg")) << Joined(s_migrated);
}

TEST_F(ProgressHosts, ErrorLineOfTheExtensionLogEndsTheHostAndIsQuoted)
{
    std::vector<std::string> lines = LinesOf("logged.dwg");
    EXPECT_TRUE(Contains(lines, "\t\t** \"ERROR: block table damaged\"")) << Joined(lines);
    EXPECT_TRUE(Contains(lines, "\t" + wts::Narrow(wts::Text(IDS_HOST_LOG_ERROR)))) << Joined(lines);
    EXPECT_FALSE(Migrated(L"logged.dwg"));
    EXPECT_TRUE(Migrated(L"after-logged.dwg")) << Joined(s_migrated);
}

TEST_F(ProgressHosts, RunEndsNormallyAndItsSummaryCountsWhatMigrated)
{
    EXPECT_EQ(s_finishedStatus, wts::Text(IDS_MIGRATE_FINISHED));
    std::string log = Joined(s_log);
    EXPECT_NE(log.find("    in the list:      7\n"), std::string::npos) << log;
    std::string migrated = "    migrated:         " + std::to_string(s_migrated.size()) + "\n";
    EXPECT_NE(log.find(migrated), std::string::npos) << log;
    EXPECT_NE(log.find("Not migrated: " + std::to_string(7 - s_migrated.size())), std::string::npos) << log;
}

// Drawings that cannot be migrated are decided before the batch: never handed
// to a host, named in the log and in the report.
TEST(ProgressStartCheck, MissingReadOnlyAndHeldDrawingsAreLeftOutAndNamed)
{
    RunBed::SetUpHost();
    RunBed::ForgetWindowPosition();
    std::wstring dir = RunBed::FreshFolder(L"progress start check");
    std::wstring good = RunBed::Drawing(dir, L"good.dwg"), locked = RunBed::Drawing(dir, L"locked.dwg"),
                 held = RunBed::Drawing(dir, L"held.dwg"), missing = dir + L"\\missing.dwg";
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE holder = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    JobRun::Options options;
    options.list = RunBed::PlainList(dir, {missing, locked, good, held});
    options.log = dir + L"\\migration.log";
    {
        JobRun run(options);
        ASSERT_TRUE(run.WaitForDialog());
        ASSERT_TRUE(wts::WaitUntil([&] { return run.Visible(IDC_PROGRESS_MIGRATE_DONE); }, 120000));
        EXPECT_EQ(run.Text(IDC_PROGRESS_COUNT), L"1");
        run.Click(IDCANCEL);
        EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
    }
    CloseHandle(holder);
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);

    // The job holds the paths as the Files page does: full and lowercase.
    for (std::wstring* path : {&missing, &locked, &good, &held})
        CharLowerW(&(*path)[0]);
    const std::string log = RunBed::ReadText(options.log);
    const std::pair<UINT, std::wstring> named[] = {
        {IDS_EXCLUDED_MISSING, missing}, {IDS_EXCLUDED_READ_ONLY, locked}, {IDS_EXCLUDED_ELSEWHERE, held}};
    for (const auto& n : named) {
        std::wstring line = wts::Text(n.first);
        line.replace(line.find(L"%s"), 2, n.second);
        EXPECT_NE(log.find(wts::Narrow(line)), std::string::npos) << wts::Narrow(line) << "\n" << log;
    }
    EXPECT_EQ(log.find("Migrating drawing " + wts::Narrow(locked)), std::string::npos) << log;

    const std::string report = RunBed::ReadText(dir + L"\\migration.csv");
    const std::pair<std::wstring, const char*> rows[] = {
        {missing, ",,missing,,\n"}, {locked, ",read-only,,\n"}, {good, ",migrated,"}, {held, ",open elsewhere,,\n"}};
    size_t at = 0;
    for (const auto& r : rows) {
        at = report.find(wts::Narrow(r.first) + ",", at);
        ASSERT_NE(at, std::string::npos) << "rows out of the list's order\n" << report;
        EXPECT_NE(report.substr(at, report.find('\n', at) + 1 - at).find(r.second), std::string::npos) << report;
    }
}
