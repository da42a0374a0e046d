// The run touches only its own processes: programs that it did not start keep
// their windows through a run with a fatal window, a time-out and a host that
// shows another title; and when the program dies, nothing of its run lives on.
#include "JobRun.h"
#include "ProgressIds.h"
#include "RunBed.h"
#include "SuperviseIds.h"
#include "RunSafetyIds.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

namespace {
bool Running(HANDLE process) { return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

HANDLE WindowProcess(const wchar_t* title)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(FindWindowW(nullptr, title), &processId);
    return processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr;
}

// A log line of the supervision: the resource format with its one argument.
std::string LogLine(UINT id, const std::wstring& argument)
{
    std::wstring text = wts::Text(id);
    size_t at = text.find(L'%');
    if (at != std::wstring::npos)
        text.replace(at, 2, argument);
    return "\t" + wts::Narrow(text) + "\n";
}
}

TEST(ProgressJob, ProgramsTheRunDidNotStartKeepTheirWindowsThroughAWholeRun)
{
    RunBed::SetUpHost();
    RunBed::ForgetWindowPosition();
    std::vector<HANDLE> foreign;
    for (const wchar_t* window : {L"dialog \"Draxil Error\"", L"dialog \"Drawing Properties\"",
                                  L"dialog \"Migrate Assembly Options\"", L"main \"Draxil R26.0 - [own work.dwg]\""})
        foreign.push_back(wts::Start(L"\"" + wts::BinDir() + L"\\..\\tests\\Puppet.exe\" " + window));
    ASSERT_TRUE(wts::WaitUntil([] { return FindWindowW(nullptr, L"Draxil R26.0 - [own work.dwg]"); }, 20000));

    std::wstring dir = RunBed::FreshFolder(L"progress job");
    std::wstring retitled = RunBed::Drawing(dir, L"retitled.dwg", L"title:Drawing Viewer");
    wts::WriteFileBytes(retitled, wts::ReadFileBytes(retitled) + "KESTFAULT=hang\n");
    JobRun::Options options;
    options.list = RunBed::PlainList(
        dir, {RunBed::Drawing(dir, L"fatal.dwg", L"dialog:Draxil Error|The drawing could not be read."),
              RunBed::Drawing(dir, L"hangs.dwg", L"hang"), retitled, RunBed::Drawing(dir, L"next.dwg")});
    options.log = dir + L"\\migration.log";
    options.timeout = 1;   // 12 seconds with the test's timer second of 200 ms
    JobRun run(options);
    ASSERT_TRUE(run.WaitForDialog());

    // A host without a recognised main window is ended at its budget too.
    ASSERT_TRUE(wts::WaitUntil([] { return FindWindowW(nullptr, L"Drawing Viewer") != nullptr; }, 120000));
    HANDLE viewer = WindowProcess(L"Drawing Viewer");
    EXPECT_EQ(WaitForSingleObject(viewer, 20000), WAIT_OBJECT_0) << RunBed::ReadText(options.log);
    CloseHandle(viewer);
    ASSERT_TRUE(wts::WaitUntil(
        [&] { return RunBed::ReadText(options.log).find("    migrated:") != std::string::npos; }, 120000));
    std::string log = RunBed::ReadText(options.log);

    // The run's own hosts are handled as before, each logged once.
    std::string timeout = "\t" + wts::Narrow(wts::Text(IDS_CHILD_TEXTS_TIMEOUT)) + "\n";
    timeout += LogLine(IDS_HOST_TIMEOUT, L"1");
    EXPECT_EQ(wts::Count(log, LogLine(IDS_HOST_ENDED_WINDOW, L"Draxil Error")), 1u) << log;
    EXPECT_EQ(wts::Count(log, timeout), 2u) << log;
    EXPECT_NE(log.find(timeout, log.find("Migrating drawing retitled.dwg")), std::string::npos) << log;
    std::vector<std::string> migrated = RunBed::Lines(RunBed::MigratedListPath());
    ASSERT_EQ(migrated.size(), 1u);
    EXPECT_NE(migrated[0].find("next.dwg"), std::string::npos) << migrated[0];

    // The user's programs were neither ended nor answered, nor logged.
    for (HANDLE process : foreign) {
        EXPECT_TRUE(Running(process));
        wts::EndProcess(process, 0);
    }
    for (const char* title : {"Drawing Properties", "Migrate Assembly Options", "own work.dwg"})
        EXPECT_EQ(log.find(title), std::string::npos) << log;
    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
}

TEST(ProgressJob, ProgramEndedInTheMiddleOfARunLeavesNoBatchOrHostBehind)
{
    RunBed::SetUpHost();
    std::wstring dir = RunBed::FreshFolder(L"progress killed");
    JobRun::Options options;
    options.list = RunBed::PlainList(dir, {RunBed::Drawing(dir, L"hangs.dwg", L"hang")});
    options.log = dir + L"\\migration.log";
    JobRun run(options);
    ASSERT_TRUE(run.WaitForDialog());
    const wchar_t host[] = L"Draxil R26.0 - [hangs.dwg]";
    ASSERT_TRUE(wts::WaitUntil([&] { return FindWindowW(nullptr, host) != nullptr; }, 60000));
    std::vector<HANDLE> left = {WindowProcess(host)};
    const auto tree = wts::ProcessTree(run.ProcessId());   // the batch: the program's child
    for (size_t i = 1; i < tree.size(); ++i)
        left.push_back(OpenProcess(SYNCHRONIZE, FALSE, tree[i].first));
    ASSERT_GE(left.size(), 2u) << "no batch process found";

    HANDLE program = OpenProcess(PROCESS_TERMINATE, FALSE, run.ProcessId());
    ASSERT_TRUE(TerminateProcess(program, 9));
    CloseHandle(program);
    for (HANDLE process : left) {
        EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
        CloseHandle(process);
    }
    EXPECT_EQ(FindWindowW(nullptr, host), nullptr);
}

// Started inside a job that lets nothing out, as on Windows 7, which nests no
// jobs, the run goes on confined by its process tree and says so; where the
// job lets it out, the run has a job of its own, outside the one it started in.
TEST(ProgressJob, StartedInsideAJob_TheRunGoesOnWithAJobOrATreeOfItsOwn)
{
    RunBed::SetUpHost();
    for (bool breakaway : {true, false}) {
        SCOPED_TRACE(breakaway ? "breakaway allowed" : "no breakaway, no nested job");
        HANDLE outer = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags =
            JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | (breakaway ? JOB_OBJECT_LIMIT_BREAKAWAY_OK : 0);
        SetInformationJobObject(outer, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        std::wstring dir = RunBed::FreshFolder(breakaway ? L"inside job out" : L"inside job tree");
        JobRun::Options options;
        options.list = RunBed::PlainList(dir, {RunBed::Drawing(dir, L"fatal.dwg", L"dialog:Draxil Error|Unreadable."),
                                               RunBed::Drawing(dir, L"next.dwg")});
        options.log = dir + L"\\migration.log";
        options.job = outer;
        if (!breakaway)
            options.extra = {L"--no-nested-jobs"};
        JobRun run(options);
        ASSERT_TRUE(run.WaitForDialog());
        ASSERT_TRUE(wts::WaitUntil(
            [&] { return RunBed::ReadText(options.log).find("    migrated:         1") != std::string::npos; }, 120000))
            << RunBed::ReadText(options.log);
        const std::string log = RunBed::ReadText(options.log);
        EXPECT_EQ(wts::Count(log, LogLine(IDS_HOST_ENDED_WINDOW, L"Draxil Error")), 1u) << log;
        EXPECT_EQ(wts::Count(log, wts::Narrow(wts::Text(IDS_LOG_NO_OWN_JOB))), breakaway ? 0u : 1u) << log;
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
        QueryInformationJobObject(outer, JobObjectBasicAccountingInformation, &accounting, sizeof(accounting), nullptr);
        EXPECT_EQ(accounting.TotalProcesses == 1, breakaway) << "what stayed in the job it started in";
        run.Click(IDCANCEL);
        EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
        CloseHandle(outer);
    }
}
