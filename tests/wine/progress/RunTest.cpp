// Whole runs through RunJob against the simulated host: what the dialog
// shows while a run goes on and when it ends, and what the run leaves behind.
#include "BatchIds.h"
#include "JobRun.h"
#include "ProgressIds.h"
#include "RunBed.h"
#include "RunIds.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace {
const wchar_t kLogName[] = L"migration log.log";

std::string Seen(const std::vector<int>& values)
{
    std::string text;
    for (int v : values)
        text += std::to_string(v) + " ";
    return text;
}
}

class ProgressRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RunBed::SetUpHost(); }

    void SetUp() override
    {
        // A folder and a log name with blanks: notepad must still get the one file.
        m_dir = RunBed::FreshFolder(L"progress run");
        m_log = m_dir + L"\\" + kLogName;
        RunBed::ForgetWindowPosition();
    }

    void TearDown() override { RunBed::CloseNotepads(kLogName); }

    JobRun::Options Job(const std::wstring& list, int operation = 1)
    {
        JobRun::Options options;
        options.list = list;
        options.log = m_log;
        options.operation = operation;
        return options;
    }

    std::vector<std::wstring> Drawings(int count, const std::wstring& fault = L"")
    {
        std::vector<std::wstring> drawings;
        for (int i = 1; i <= count; ++i)
            drawings.push_back(RunBed::Drawing(m_dir, L"part" + std::to_wstring(i) + L".dwg", fault));
        return drawings;
    }

    // Follows the bar until the finish mark shows; the bar values seen, in order.
    std::vector<int> FollowToTheEnd(JobRun& run, int markId, DWORD ms = 180000)
    {
        std::vector<int> seen;
        bool done = wts::WaitUntil(
            [&] {
                int position = run.BarPosition();
                if (seen.empty() || seen.back() != position)
                    seen.push_back(position);
                return run.Visible(markId);
            },
            ms);
        EXPECT_TRUE(done) << "no finish mark; bar values seen: " << Seen(seen);
        int last = run.BarPosition();
        if (seen.empty() || seen.back() != last)
            seen.push_back(last);
        return seen;
    }

    void ExpectIdle(JobRun& run)
    {
        EXPECT_TRUE(run.Enabled(IDOK));
        EXPECT_EQ(run.DefaultButton(), IDOK);
        EXPECT_TRUE(run.HasDefaultStyle(IDOK));
        EXPECT_FALSE(run.Enabled(IDC_PROGRESS_STOP));
        EXPECT_FALSE(run.HasDefaultStyle(IDC_PROGRESS_STOP));
        EXPECT_FALSE(run.Enabled(IDC_PROGRESS_RESUME));
    }

    std::wstring m_dir;
    std::wstring m_log;
};

TEST_F(ProgressRun, MigrateRunOfTenDrawingsFillsTheBarAndEndsWithSummaryAndMarks)
{
    // A second per drawing at least, so the one-second polls see most of them.
    std::vector<std::wstring> drawings = Drawings(10, L"delay:1");
    std::wstring list = RunBed::DmlList(m_dir, drawings);
    JobRun run(Job(list));
    ASSERT_TRUE(run.WaitForDialog());

    // Without a stored position the dialog is centred and not topmost.
    RECT frame = run.Frame(), work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_FALSE(run.Topmost());
    EXPECT_LE(std::abs((frame.left + frame.right) - (work.left + work.right)), 4) << frame.left << "," << frame.right;
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (work.top + work.bottom)), 4) << frame.top << "," << frame.bottom;
    EXPECT_EQ(run.Text(IDC_PROGRESS_COUNT), L"10");

    std::vector<int> seen = FollowToTheEnd(run, IDC_PROGRESS_MIGRATE_DONE);
    // The done mark shows just before the summary is appended.
    EXPECT_TRUE(wts::WaitUntil([&] { return RunBed::ReadText(m_log).find("    migrated:") != std::string::npos; },
                                  30000));
    // 30 + 70 x n / 11 while drawing n runs; 1 before the first, 100 at the end.
    std::set<int> allowed = {1, 100};
    for (int n = 1; n <= 10; ++n)
        allowed.insert(30 + 70 * n / 11);
    int between = 0;
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_TRUE(allowed.count(seen[i])) << "bar at " << seen[i] << "; seen: " << Seen(seen);
        if (i > 0) {
            EXPECT_GT(seen[i], seen[i - 1]) << Seen(seen);
        }
        between += seen[i] > 1 && seen[i] < 100;
    }
    EXPECT_EQ(seen.back(), 100) << Seen(seen);
    EXPECT_GE(between, 3) << "too few drawings seen on the way: " << Seen(seen);

    EXPECT_FALSE(run.Visible(IDC_PROGRESS_ANALYSIS_DONE));
    EXPECT_EQ(run.Text(IDC_PROGRESS_STATUS), wts::Text(IDS_MIGRATE_FINISHED));
    // The last poll may have read an earlier drawing's number; the finished batch handled all ten.
    EXPECT_EQ(run.Text(IDC_PROGRESS_CURRENT), L"10");
    EXPECT_NE(run.Text(IDC_PROGRESS_DRAWING).find(L"part10.dwg"), std::wstring::npos)
        << wts::Narrow(run.Text(IDC_PROGRESS_DRAWING));
    ExpectIdle(run);

    std::string log = RunBed::ReadText(m_log);
    EXPECT_EQ(wts::Count(log, "Migrating drawing part"), 10u) << log;
    EXPECT_NE(log.find(wts::Narrow(wts::Text(IDS_SUMMARY_TITLE))), std::string::npos) << log;
    EXPECT_NE(log.find("    in the list:      10\n"), std::string::npos) << log;
    EXPECT_NE(log.find("    migrated:         10\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("Not migrated"), std::string::npos) << log;
    EXPECT_EQ(RunBed::Lines(RunBed::MigratedListPath()).size(), 10u);

    std::vector<std::string> marks = RunBed::Lines(list);
    ASSERT_EQ(marks.size(), 11u);
    for (size_t i = 1; i < marks.size(); ++i)
        EXPECT_EQ(marks[i].substr(0, 3), "[x]") << marks[i];

    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
}

// Transmora started with a temporary folder outside ASCII (a user named Müller
// or José), a host, a log and drawings there too: the whole run as a user sees it.
TEST_F(ProgressRun, FoldersAndDrawingsOutsideAsciiMigrateAndLeaveNoTemporaryFile)
{
    const std::wstring temp = m_dir + L"\\Temp M\u00fcller Jos\u00e9";
    const std::wstring data = m_dir + L"\\Pl\u00e4ne f\u00fcr Jos\u00e9";
    CreateDirectoryW(temp.c_str(), nullptr);
    CreateDirectoryW(data.c_str(), nullptr);
    const std::wstring host = wts::FreshDir(L"progress h\u00f4te \u00fc");
    ASSERT_EQ(wts::InstallHost(host), 0);
    // RunJob inherits TEMP and TMP; the suite's host comes back afterwards.
    wchar_t oldTemp[MAX_PATH] = {0}, oldTmp[MAX_PATH] = {0};
    GetEnvironmentVariableW(L"TEMP", oldTemp, MAX_PATH);
    GetEnvironmentVariableW(L"TMP", oldTmp, MAX_PATH);
    struct Restore {
        const wchar_t* temp;
        const wchar_t* tmp;
        ~Restore()
        {
            SetEnvironmentVariableW(L"TEMP", temp);
            SetEnvironmentVariableW(L"TMP", tmp);
            wts::InstallHost(RunBed::HostFolder());
        }
    } restore{oldTemp, oldTmp};
    SetEnvironmentVariableW(L"TEMP", temp.c_str());
    SetEnvironmentVariableW(L"TMP", temp.c_str());

    std::vector<std::wstring> drawings = {RunBed::Drawing(data, L"Caf\u00e9 \u00fcbersicht.dwg", L"delay:1"),
                                          RunBed::Drawing(m_dir, L"part 2.dwg"),
                                          RunBed::Drawing(data, L"Jos\u00e9 & 50%.dwg")};
    std::wstring list = RunBed::DmlList(data, drawings);
    JobRun::Options options = Job(list);
    options.log = data + L"\\" + kLogName;
    JobRun run(options);
    ASSERT_TRUE(run.WaitForDialog());
    FollowToTheEnd(run, IDC_PROGRESS_MIGRATE_DONE);
    EXPECT_TRUE(wts::WaitUntil(
        [&] { return RunBed::ReadText(options.log).find("    migrated:") != std::string::npos; }, 30000));

    // The batch file, still there while the dialog shows: ASCII only.
    std::vector<std::wstring> batches;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((temp + L"\\lorn*.bat").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        batches.push_back(temp + L"\\" + found.cFileName);
    FindClose(search);
    ASSERT_EQ(batches.size(), 1u);
    std::string batch = wts::ReadFileBytes(batches[0]);
    EXPECT_EQ(wts::Count(batch, "cd /d \"%KEST_HOST%\"\r\n"), 3u) << batch;
    for (size_t i = 0; i < batch.size(); ++i)
        ASSERT_LT(static_cast<unsigned char>(batch[i]), 128u) << "byte " << i << " of the batch file";

    std::string log = RunBed::ReadText(options.log);
    for (const wchar_t* name : {L"caf\u00e9 \u00fcbersicht.dwg", L"part 2.dwg", L"jos\u00e9 & 50%.dwg"})
        EXPECT_EQ(wts::Count(log, "\nMigrating drawing " + wts::Narrow(name) + " \n"), 1u)
            << wts::Narrow(name) << "\n" << log;
    EXPECT_NE(log.find("    migrated:         3\n"), std::string::npos) << log;
    EXPECT_EQ(RunBed::Lines(RunBed::MigratedListPath()).size(), 3u);
    std::vector<std::string> marks = RunBed::Lines(list);
    ASSERT_EQ(marks.size(), 4u);
    for (size_t i = 1; i < marks.size(); ++i)
        EXPECT_EQ(marks[i], "[x]" + wts::Narrow(drawings[i - 1]));

    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
    // Scripts, batch, progress file and pieces are gone; the run's lists stay.
    std::vector<std::wstring> left;
    search = FindFirstFileW((temp + L"\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L".." && name != L"MIGRATE.TXT" && name != L"MIGRATED.TXT")
            left.push_back(name);
    }
    FindClose(search);
    for (const std::wstring& name : left)
        ADD_FAILURE() << "left in the temporary folder: " << wts::Narrow(name);
}

TEST_F(ProgressRun, AnalysisRunShowsItsOwnCaptionAndStepsAndWritesNoSummary)
{
    RunBed::StoreWindowPosition(40, 50);
    std::vector<std::wstring> drawings = Drawings(4);
    JobRun run(Job(RunBed::PlainList(m_dir, drawings), 2));
    ASSERT_TRUE(run.WaitForDialog());

    // A stored position puts the dialog there, on top of other windows.
    RECT frame = run.Frame();
    EXPECT_EQ(frame.left, 40);
    EXPECT_EQ(frame.top, 50);
    EXPECT_TRUE(run.Topmost());
    EXPECT_EQ(run.Text(IDC_PROGRESS_ANALYSIS), wts::Text(IDS_ANALYSIS_CAPTION));
    EXPECT_FALSE(run.Visible(IDC_PROGRESS_MIGRATE));

    std::vector<int> seen = FollowToTheEnd(run, IDC_PROGRESS_ANALYSIS_DONE);
    for (int value : seen)
        EXPECT_TRUE(value == 1 || value == 20 || value == 40 || value == 60 || value == 80 || value == 100)
            << "bar at " << value << "; seen: " << Seen(seen);
    EXPECT_EQ(seen.back(), 100) << Seen(seen);
    EXPECT_FALSE(run.Visible(IDC_PROGRESS_MIGRATE_DONE));
    EXPECT_EQ(run.Text(IDC_PROGRESS_STATUS), wts::Text(IDS_ANALYSIS_FINISHED));
    EXPECT_EQ(run.Text(IDC_PROGRESS_CURRENT), L"4");
    ExpectIdle(run);

    std::string log = RunBed::ReadText(m_log);
    EXPECT_EQ(wts::Count(log, "Analyzing drawing part"), 4u) << log;
    EXPECT_EQ(log.find(wts::Narrow(wts::Text(IDS_SUMMARY_TITLE))), std::string::npos) << log;
    EXPECT_FALSE(wts::FileExists(RunBed::MigratedListPath()));

    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
}

TEST_F(ProgressRun, RunWithoutDrawingsWarnsAndLeavesTheDialogIdle)
{
    JobRun run(Job(RunBed::PlainList(m_dir, {})));
    HWND box = run.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_NE(JobRun::BoxText(box).find(wts::Text(2316)), std::wstring::npos)
        << wts::Narrow(JobRun::BoxText(box));
    JobRun::Answer(box, IDOK);

    ASSERT_TRUE(run.WaitForDialog());
    EXPECT_EQ(run.Text(IDC_PROGRESS_COUNT), L"0");
    EXPECT_EQ(run.Text(IDC_PROGRESS_CURRENT), L"0");
    EXPECT_TRUE(run.Visible(IDC_PROGRESS_ANALYSIS_DONE));
    EXPECT_TRUE(run.Visible(IDC_PROGRESS_MIGRATE_DONE));
    EXPECT_EQ(run.BarPosition(), 100);
    ExpectIdle(run);

    // Even a run that never started offers its log.
    run.Click(IDOK);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDOK));
    EXPECT_TRUE(wts::WaitUntil([] { return !wiz::Notepads(kLogName).empty(); }, 30000));
}

TEST_F(ProgressRun, PositionOffTheScreenIsBroughtBackAndAMinimisedDialogKeepsTheStoredOne)
{
    RunBed::StoreWindowPosition(5000, 4000);
    JobRun run(Job(RunBed::PlainList(m_dir, {})));
    HWND box = run.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    JobRun::Answer(box, IDOK);
    ASSERT_TRUE(run.WaitForDialog());
    RECT frame = run.Frame(), work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(run.Topmost());
    EXPECT_GE(frame.left, work.left);
    EXPECT_GE(frame.top, work.top);
    EXPECT_LE(frame.right, work.right) << frame.left << "," << frame.top;
    EXPECT_LE(frame.bottom, work.bottom) << frame.left << "," << frame.top;

    RunBed::StoreWindowPosition(30, 40);
    run.Post(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(wts::WaitUntil([&] { return IsIconic(run.Dialog()) != 0; }, 10000));
    run.Post(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
    DWORD x = 0, y = 0;
    EXPECT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, RunBed::SettingsKey(), L"X", x));
    EXPECT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, RunBed::SettingsKey(), L"Y", y));
    EXPECT_EQ(x, 30u);
    EXPECT_EQ(y, 40u);
}

TEST_F(ProgressRun, EscapeAndTheCloseBoxDoNothingWhileARunIsSupervised)
{
    // Three hosts: one that Wine fails to start (the log says so) leaves the run supervised.
    JobRun run(Job(RunBed::PlainList(m_dir, Drawings(3, L"delay:3"))));
    ASSERT_TRUE(run.WaitForDialog());
    run.Click(IDCANCEL);
    run.Post(WM_SYSCOMMAND, SC_CLOSE, 0);
    run.Post(WM_CLOSE, 0, 0);
    Sleep(1500);
    EXPECT_TRUE(run.DialogOpen());
    EXPECT_FALSE(run.Enabled(IDOK));
    EXPECT_TRUE(run.Enabled(IDC_PROGRESS_STOP));
    EXPECT_EQ(run.DefaultButton(), IDC_PROGRESS_STOP);
    EXPECT_TRUE(run.HasDefaultStyle(IDC_PROGRESS_STOP));
    EXPECT_FALSE(run.HasDefaultStyle(IDOK));
    EXPECT_FALSE(run.Enabled(IDC_PROGRESS_RESUME));
    EXPECT_EQ(run.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_TRUE(wiz::Notepads(kLogName).empty());

    FollowToTheEnd(run, IDC_PROGRESS_MIGRATE_DONE);
    run.Post(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
    EXPECT_TRUE(wiz::Notepads(kLogName).empty());
}

TEST_F(ProgressRun, AHostThatCannotBeStartedIsToldInTheLogForItsDrawing)
{
    const std::wstring host = RunBed::HostFolder() + L"\\drxl.exe", away = host + L".away";
    ASSERT_TRUE(MoveFileW(host.c_str(), away.c_str()));
    JobRun run(Job(RunBed::PlainList(m_dir, Drawings(2))));
    EXPECT_TRUE(run.WaitForDialog());
    FollowToTheEnd(run, IDC_PROGRESS_MIGRATE_DONE);
    ASSERT_TRUE(MoveFileW(away.c_str(), host.c_str()));

    // Each drawing's line is followed by the not-started line, then by what the system said.
    const std::string log = RunBed::ReadText(m_log);
    const std::string notStarted = wts::Narrow(wts::Text(IDS_BATCH_HOST_NOT_STARTED));
    for (const char* drawing : {"part1.dwg", "part2.dwg"})
        EXPECT_NE(log.find(drawing + (" \n\t" + notStarted + "\n")), std::string::npos) << log;
    EXPECT_NE(log.find("    migrated:         0\n"), std::string::npos) << log;
}

TEST_F(ProgressRun, OkAfterTheRunOpensTheLogInNotepadAndKeepsThePosition)
{
    JobRun run(Job(RunBed::PlainList(m_dir, Drawings(1))));
    ASSERT_TRUE(run.WaitForDialog());
    FollowToTheEnd(run, IDC_PROGRESS_MIGRATE_DONE);
    RECT frame = run.Frame();
    run.Click(IDOK);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDOK));
    EXPECT_TRUE(wts::WaitUntil([] { return !wiz::Notepads(kLogName).empty(); }, 30000))
        << "no notepad window shows " << wts::Narrow(kLogName);

    DWORD x = 0, y = 0;
    EXPECT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, RunBed::SettingsKey(), L"X", x));
    EXPECT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, RunBed::SettingsKey(), L"Y", y));
    EXPECT_EQ(static_cast<LONG>(x), frame.left);
    EXPECT_EQ(static_cast<LONG>(y), frame.top);
}

TEST_F(ProgressRun, ScreenshotsOfTheRunningAndTheFinishedDialog)
{
    const char* bin = std::getenv("KEST_BIN");
    if (!bin)
        GTEST_SKIP() << "KEST_BIN is not set";
    // Wine draws the window frames itself, as there is no window manager; the
    // dialog stands beside the host's window.
    wts::RegSetString(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Managed", L"N");
    RunBed::StoreWindowPosition(700, 120);
    std::string folder = std::string(bin) + "/../progress-screens";
    CreateDirectoryW(wts::FromUnix(folder).c_str(), nullptr);

    JobRun run(Job(RunBed::DmlList(m_dir, Drawings(3, L"delay:4"))));
    ASSERT_TRUE(run.WaitForDialog());
    HWND host = nullptr;
    ASSERT_TRUE(wts::WaitUntil(
        [&] {
            host = FindWindowW(nullptr, L"Draxil R26.0 - [part2.dwg]");
            return host && run.Text(IDC_PROGRESS_CURRENT) == L"2";
        },
        60000));
    Sleep(1500);
    RECT dialog = run.Frame(), both = {};
    GetWindowRect(host, &both);
    UnionRect(&both, &both, &dialog);
    InflateRect(&both, 12, 12);
    InflateRect(&dialog, 12, 12);
    if (!wts::Screenshot(folder + "/progress-running.png", both, {run.Dialog(), host}))
        GTEST_SKIP() << "import cannot be started";
    FollowToTheEnd(run, IDC_PROGRESS_MIGRATE_DONE);
    EXPECT_TRUE(wts::Screenshot(folder + "/progress-finished.png", dialog, {run.Dialog()}));
    for (const char* name : {"/progress-running.png", "/progress-finished.png"})
        EXPECT_GT(wts::ReadFileBytes(wts::FromUnix(folder + name)).size(), 1000u) << name;
    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
}
