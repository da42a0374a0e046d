// The run touches only its own processes: programs that the run did not start
// keep their windows through a whole run with a fatal window, two time-outs
// and a host that shows another title; and when the program dies, nothing of
// its run lives on.
#include "JobRun.h"
#include "ProgressIds.h"
#include "RunBed.h"
#include "SuperviseIds.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>

namespace {
std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// A program of the user's, started before the run: one window with the title.
HANDLE Foreign(const std::wstring& mode, const std::wstring& title)
{
    HANDLE process = wts::Start(Quoted(wts::BinDir() + L"\\..\\tests\\Puppet.exe") + L" " + mode + L" " +
                                Quoted(title));
    EXPECT_NE(process, nullptr);
    EXPECT_TRUE(JobRun::WaitUntil([&] { return FindWindowW(nullptr, title.c_str()) != nullptr; }, 20000))
        << RunBed::Narrow(title);
    return process;
}

bool Running(HANDLE process) { return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

std::string Formatted(UINT id, const std::wstring& argument)
{
    std::wstring text = RunBed::Text(id);
    size_t at = text.find(L"%s");
    if (at != std::wstring::npos)
        text.replace(at, 2, argument);
    at = text.find(L"%d");
    if (at != std::wstring::npos)
        text.replace(at, 2, argument);
    return RunBed::Narrow(text);
}

// The processes whose parent is the given one.
std::vector<DWORD> ChildrenOf(DWORD parent)
{
    std::vector<DWORD> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (entry.th32ParentProcessID == parent)
            children.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return children;
}

HANDLE WindowProcess(const wchar_t* title)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(FindWindowW(nullptr, title), &processId);
    return processId ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId) : nullptr;
}
}

TEST(ProgressJob, ProgramsTheRunDidNotStartKeepTheirWindowsThroughAWholeRun)
{
    RunBed::SetUpHost();
    RunBed::ForgetWindowPosition();
    std::vector<HANDLE> foreign = {
        Foreign(L"dialog", L"Draxil Error"),                   // a fatal row
        Foreign(L"dialog", L"Drawing Properties"),             // an answer row
        Foreign(L"dialog", L"Migrate Assembly Options"),       // the key-sequence window
        Foreign(L"main", L"Draxil R26.0 - [own work.dwg]"),    // a host open for other work
    };

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

    // The host that shows no recognised main window is ended at its budget too.
    ASSERT_TRUE(JobRun::WaitUntil([] { return FindWindowW(nullptr, L"Drawing Viewer") != nullptr; }, 120000))
        << RunBed::ReadText(options.log);
    HANDLE viewer = WindowProcess(L"Drawing Viewer");
    DWORD shown = GetTickCount();
    EXPECT_EQ(WaitForSingleObject(viewer, 60000), WAIT_OBJECT_0) << RunBed::ReadText(options.log);
    DWORD endedAfter = GetTickCount() - shown;
    EXPECT_LE(endedAfter, 20000u);
    CloseHandle(viewer);

    ASSERT_TRUE(JobRun::WaitUntil([&] { return run.Visible(IDC_PROGRESS_MIGRATE_DONE); }, 120000))
        << RunBed::ReadText(options.log);
    EXPECT_TRUE(JobRun::WaitUntil(
        [&] { return RunBed::ReadText(options.log).find("    migrated:") != std::string::npos; }, 30000));
    std::string log = RunBed::ReadText(options.log);

    // Every outcome of the run's own hosts as before.
    std::string fatal = "\t" + Formatted(IDS_HOST_ENDED_WINDOW, L"Draxil Error") + "\n";
    std::string texts = "\t" + RunBed::Narrow(RunBed::Text(IDS_CHILD_TEXTS_TIMEOUT)) + "\n";
    std::string timeout = "\t" + Formatted(IDS_HOST_TIMEOUT, L"1") + "\n";
    EXPECT_EQ(RunBed::Count(log, fatal), 1u) << log;
    EXPECT_EQ(RunBed::Count(log, texts), 2u) << log;
    EXPECT_EQ(RunBed::Count(log, timeout), 2u) << log;
    EXPECT_LT(log.find(fatal), log.find("Migrating drawing hangs.dwg")) << log;
    size_t retitledAt = log.find("Migrating drawing retitled.dwg");
    EXPECT_LT(log.find(timeout), retitledAt) << log;
    EXPECT_NE(log.find(texts + timeout, retitledAt), std::string::npos) << log;
    std::vector<std::string> migrated = RunBed::Lines(RunBed::MigratedListPath());
    ASSERT_EQ(migrated.size(), 1u);
    EXPECT_NE(migrated[0].find("next.dwg"), std::string::npos) << migrated[0];

    // The user's programs were neither ended nor answered, nor logged.
    for (HANDLE process : foreign)
        EXPECT_TRUE(Running(process));
    EXPECT_EQ(log.find("Drawing Properties"), std::string::npos) << log;
    EXPECT_EQ(log.find("Migrate Assembly Options"), std::string::npos) << log;
    EXPECT_EQ(log.find("own work.dwg"), std::string::npos) << log;
    run.Click(IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), static_cast<DWORD>(IDCANCEL));
    for (HANDLE process : foreign)
        RunBed::EndProcess(process);
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
    ASSERT_TRUE(JobRun::WaitUntil([] { return FindWindowW(nullptr, L"Draxil R26.0 - [hangs.dwg]") != nullptr; },
                                  60000));
    std::vector<HANDLE> left = {WindowProcess(L"Draxil R26.0 - [hangs.dwg]")};
    for (DWORD child : ChildrenOf(run.ProcessId()))
        left.push_back(OpenProcess(SYNCHRONIZE, FALSE, child));
    ASSERT_GE(left.size(), 2u) << "the batch process was not found";

    HANDLE program = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, run.ProcessId());
    ASSERT_TRUE(TerminateProcess(program, 9));
    CloseHandle(program);
    for (HANDLE process : left) {
        ASSERT_NE(process, nullptr);
        EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
        CloseHandle(process);
    }
    EXPECT_EQ(FindWindowW(nullptr, L"Draxil R26.0 - [hangs.dwg]"), nullptr);
}
