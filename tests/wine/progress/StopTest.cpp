// Stop with its question, Resume from the interrupted drawing, Resume refused
// while a host window is open, and how OK and Cancel end a stopped run.
#include "BatchIds.h"
#include "JobRun.h"
#include "ProgressIds.h"
#include "RunBed.h"
#include "SuperviseIds.h"
#include "UnattendedIds.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

namespace {
const wchar_t kLogName[] = L"stopped run.log";
}

class ProgressStop : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RunBed::SetUpHost(); }

    void SetUp() override
    {
        m_dir = RunBed::FreshFolder(L"progress stop");
        m_log = m_dir + L"\\" + kLogName;
        RunBed::ForgetWindowPosition();
    }

    void TearDown() override { RunBed::CloseNotepads(kLogName); }

    JobRun::Options Job(const std::vector<std::wstring>& drawings)
    {
        JobRun::Options options;
        options.list = RunBed::PlainList(m_dir, drawings);
        options.log = m_log;
        return options;
    }

    // Stop answered with the given button.
    void Stop(JobRun& run, int answer)
    {
        run.Click(IDC_PROGRESS_STOP);
        HWND box = run.WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no question after Stop";
        EXPECT_NE(JobRun::BoxText(box).find(wts::Text(IDS_STOP_QUESTION).substr(0, 20)), std::wstring::npos)
            << wts::Narrow(JobRun::BoxText(box));
        EXPECT_EQ(GetWindow(box, GW_OWNER), run.Dialog());
        JobRun::Answer(box, answer);
        ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindow(box); }, 10000));
    }

    // A run of one long drawing, stopped while its host runs.
    void StartAndStopOneLongDrawing(JobRun& run)
    {
        ASSERT_TRUE(run.WaitForDialog());
        ASSERT_TRUE(wts::WaitUntil([] { return FindWindowW(nullptr, L"Draxil R26.0 - [long.dwg]") != nullptr; },
                                      60000));
        Stop(run, IDYES);
        ASSERT_TRUE(wts::WaitUntil([&] { return run.Enabled(IDC_PROGRESS_RESUME); }, 10000));
    }

    void ExpectStopped(JobRun& run)
    {
        EXPECT_TRUE(run.Enabled(IDOK));
        EXPECT_EQ(run.DefaultButton(), IDOK);
        EXPECT_FALSE(run.Enabled(IDC_PROGRESS_STOP));
        EXPECT_TRUE(run.Enabled(IDC_PROGRESS_RESUME));
    }

    std::wstring m_dir;
    std::wstring m_log;
};

TEST_F(ProgressStop, StopAskedFirstThenResumedGoesOnFromTheInterruptedDrawing)
{
    JobRun run(Job({RunBed::Drawing(m_dir, L"first.dwg"), RunBed::Drawing(m_dir, L"second.dwg", L"delay:12"),
                    RunBed::Drawing(m_dir, L"third.dwg")}));
    ASSERT_TRUE(run.WaitForDialog());
    ASSERT_TRUE(wts::WaitUntil([] { return FindWindowW(nullptr, L"Draxil R26.0 - [second.dwg]") != nullptr; },
                                  90000));
    ASSERT_TRUE(wts::WaitUntil([&] { return run.Text(IDC_PROGRESS_CURRENT) == L"2"; }, 10000));

    Stop(run, IDNO);   // No: the run goes on
    Sleep(1500);
    EXPECT_TRUE(run.Enabled(IDC_PROGRESS_STOP));
    EXPECT_FALSE(run.Enabled(IDOK));
    EXPECT_EQ(RunBed::ReadText(m_log).find(wts::Narrow(wts::Text(IDS_BATCH_MIGRATE_ABORT))), std::string::npos);

    Stop(run, IDYES);
    ASSERT_TRUE(wts::WaitUntil([&] { return run.Enabled(IDC_PROGRESS_RESUME); }, 10000));
    ExpectStopped(run);
    // A stopped run shows the drawing it stopped on, not the batch's last.
    EXPECT_EQ(run.Text(IDC_PROGRESS_CURRENT), L"2");
    EXPECT_NE(run.Text(IDC_PROGRESS_DRAWING).find(L"second.dwg"), std::wstring::npos);
    std::string log = RunBed::ReadText(m_log);
    EXPECT_NE(log.find(wts::Narrow(wts::Text(IDS_BATCH_MIGRATE_ABORT))), std::string::npos) << log;
    EXPECT_NE(log.find("\t" + wts::Narrow(wts::Text(IDS_HOST_USER_STOP))), std::string::npos) << log;
    EXPECT_TRUE(wts::WaitUntil([] { return !FindWindowW(nullptr, L"Draxil R26.0 - [second.dwg]"); }, 10000));

    run.Click(IDC_PROGRESS_RESUME);
    ASSERT_TRUE(wts::WaitUntil([&] { return run.Enabled(IDC_PROGRESS_STOP); }, 10000));
    EXPECT_FALSE(run.Enabled(IDC_PROGRESS_RESUME));
    ASSERT_TRUE(wts::WaitUntil([&] { return run.Visible(IDC_PROGRESS_MIGRATE_DONE); }, 120000))
        << RunBed::ReadText(m_log);
    // The done mark shows just before the summary is appended.
    EXPECT_TRUE(wts::WaitUntil([&] { return RunBed::ReadText(m_log).find("    migrated:") != std::string::npos; },
                                  30000));

    log = RunBed::ReadText(m_log);
    EXPECT_EQ(wts::Count(log, "Migrating drawing first.dwg"), 1u) << log;
    EXPECT_EQ(wts::Count(log, "Migrating drawing second.dwg"), 2u) << log;
    EXPECT_EQ(wts::Count(log, "Migrating drawing third.dwg"), 1u) << log;
    size_t stopped = log.find(wts::Narrow(wts::Text(IDS_BATCH_MIGRATE_ABORT)));
    size_t resumed = log.find(wts::Narrow(wts::Text(IDS_BATCH_MIGRATE_RESUME)));
    EXPECT_LT(stopped, resumed) << log;
    EXPECT_LT(resumed, log.rfind("Migrating drawing second.dwg")) << log;
    EXPECT_NE(log.find("    migrated:         3\n"), std::string::npos) << log;
    EXPECT_EQ(RunBed::Lines(RunBed::MigratedListPath()).size(), 3u);
    EXPECT_EQ(run.Text(IDC_PROGRESS_CURRENT), L"3");
    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
}

TEST_F(ProgressStop, ResumeIsRefusedWhileAHostWindowIsOpen)
{
    // Topmost dialog: the warning must still come out on top, so the dialog owns it.
    RunBed::StoreWindowPosition(60, 60);
    JobRun run(Job({RunBed::Drawing(m_dir, L"long.dwg", L"delay:60")}));
    StartAndStopOneLongDrawing(run);
    HANDLE host = RunBed::StartIdleHost();
    ASSERT_NE(host, nullptr);

    run.Click(IDC_PROGRESS_RESUME);
    HWND box = run.WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "no warning";
    EXPECT_NE(JobRun::BoxText(box).find(wts::Text(IDS_HOST_RUNNING).substr(0, 20)), std::wstring::npos)
        << wts::Narrow(JobRun::BoxText(box));
    EXPECT_EQ(GetWindow(box, GW_OWNER), run.Dialog());
    EXPECT_FALSE(IsWindowEnabled(run.Dialog()));
    JobRun::Answer(box, IDOK);
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindow(box); }, 10000));
    wts::EndProcess(host, 0);

    Sleep(1000);
    ExpectStopped(run);
    std::string log = RunBed::ReadText(m_log);
    EXPECT_EQ(log.find(wts::Narrow(wts::Text(IDS_BATCH_MIGRATE_RESUME))), std::string::npos) << log;
    EXPECT_EQ(wts::Count(log, "Migrating drawing long.dwg"), 1u) << log;
    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
}

TEST_F(ProgressStop, TimeLeftShowsOnceThreeDrawingsAreDoneAndGoesWithStop)
{
    // The first drawing takes its time so that the dialog sees it; the last waits for the Stop.
    std::vector<std::wstring> drawings = {RunBed::Drawing(m_dir, L"d1.dwg", L"delay:3")};
    for (const wchar_t* name : {L"d2.dwg", L"d3.dwg", L"d4.dwg"})
        drawings.push_back(RunBed::Drawing(m_dir, name));
    drawings.push_back(RunBed::Drawing(m_dir, L"long.dwg", L"delay:60"));
    JobRun run(Job(drawings));
    ASSERT_TRUE(run.WaitForDialog());
    std::vector<std::wstring> seen;
    ASSERT_TRUE(wts::WaitUntil([&] {
        std::wstring left = run.Text(IDC_PROGRESS_TIME_LEFT), current = run.Text(IDC_PROGRESS_CURRENT);
        if (seen.empty() || seen.back() != current + L": " + left)
            seen.push_back(current + L": " + left);
        return current == L"5";
    }, 90000));
    // Before three were done nothing is said; on the last drawing, with seconds per drawing, under a minute.
    for (const std::wstring& s : seen) {
        if (s.compare(0, 3, L"1: ") == 0 || s.compare(0, 3, L"2: ") == 0 || s.compare(0, 3, L"3: ") == 0) {
            EXPECT_EQ(s.size(), 3u) << wts::Narrow(s);
        }
    }
    EXPECT_TRUE(wts::WaitUntil(
        [&] { return run.Text(IDC_PROGRESS_TIME_LEFT) == wts::Text(IDS_TIME_UNDER_A_MINUTE); }, 10000))
        << wts::Narrow(run.Text(IDC_PROGRESS_TIME_LEFT));
    Stop(run, IDYES);
    ASSERT_TRUE(wts::WaitUntil([&] { return run.Enabled(IDC_PROGRESS_RESUME); }, 10000));
    EXPECT_EQ(run.Text(IDC_PROGRESS_TIME_LEFT), L"");
    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
}

TEST_F(ProgressStop, CancelAfterStopClosesWithoutNotepad)
{
    JobRun run(Job({RunBed::Drawing(m_dir, L"long.dwg", L"delay:60")}));
    StartAndStopOneLongDrawing(run);
    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
    Sleep(3000);
    EXPECT_TRUE(wiz::Notepads(kLogName).empty());
    EXPECT_FALSE(wts::FileExists(RunBed::MigratedListPath()));
}

TEST_F(ProgressStop, OkAfterStopOpensTheLogAndKeepsTheDialogOpen)
{
    JobRun run(Job({RunBed::Drawing(m_dir, L"long.dwg", L"delay:60")}));
    StartAndStopOneLongDrawing(run);
    run.Click(IDOK);
    EXPECT_TRUE(wts::WaitUntil([] { return !wiz::Notepads(kLogName).empty(); }, 30000))
        << "no notepad window shows the log";
    EXPECT_TRUE(run.DialogOpen());
    EXPECT_EQ(run.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
    ExpectStopped(run);
    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
}

// Between the system's question and the session's end no poll may take a host
// that ends meanwhile for the run's ordinary end, which would drop its record;
// when the session goes on after all, so does the supervision.
TEST_F(ProgressStop, AHostEndingBetweenTheSessionsQuestionAndItsEndDoesNotEndTheRun)
{
    JobRun run(Job({RunBed::Drawing(m_dir, L"long.dwg", L"delay:60")}));
    ASSERT_TRUE(run.WaitForDialog());
    HWND host = nullptr;
    ASSERT_TRUE(wts::WaitUntil([&] { return (host = FindWindowW(nullptr, L"Draxil R26.0 - [long.dwg]")); }, 60000));
    DWORD_PTR agreed = 0;
    DWORD hostId = 0;
    SendMessageTimeoutW(run.Dialog(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &agreed);
    EXPECT_TRUE(agreed);
    GetWindowThreadProcessId(host, &hostId);
    wts::EndProcess(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, hostId), 0);
    // Four polls long, the batch of one drawing ended: the run is neither finished nor forgotten.
    EXPECT_FALSE(wts::WaitUntil([&] { return run.Visible(IDC_PROGRESS_MIGRATE_DONE); }, 4000));
    EXPECT_TRUE(wts::RegValueExists(HKEY_CURRENT_USER, RunBed::SettingsKey(), L"RunRecord"));
    run.Post(WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(wts::WaitUntil(
        [] { return !wts::RegValueExists(HKEY_CURRENT_USER, RunBed::SettingsKey(), L"RunRecord"); }, 30000));
    EXPECT_TRUE(run.Visible(IDC_PROGRESS_MIGRATE_DONE));
    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
}
