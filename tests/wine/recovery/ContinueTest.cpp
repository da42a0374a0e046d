// A migration of 30 drawings ended at drawing 12, by the end of Transmora or
// of every process of the prefix (as a reboot): the next start asks, and Yes
// carries the run to its end as if nothing had happened; No puts the profile
// back and opens the wizard.
#include "BatchIds.h"
#include "HostKeys.h"
#include "KestJournalCodec.h"
#include "KestRunRecord.h"
#include "ProgressIds.h"
#include "RecoveryBed.h"
#include "RecoveryIds.h"
#include "ResourceIds.h"
#include "RunIds.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
const int kDrawings = 30, kInterrupted = 12;

struct Job {
    std::wstring root, log, list;
    std::vector<std::wstring> drawings;
};

Job MakeJob(const std::wstring& name, bool fresh)
{
    Job job;
    if (fresh) {
        job.root = wts::FreshDir(name);
    } else {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        job.root = std::wstring(temp) + L"kest-" + name;
    }
    job.log = job.root + L"\\plant migration.log";
    job.list = job.root + L"\\plant.dml";
    for (int i = 1; i <= kDrawings; ++i) {
        wchar_t file[32];
        swprintf(file, 32, L"\\part %02d.dwg", i);
        job.drawings.push_back(job.root + file);
    }
    return job;
}

// A resource format for this runtime's swprintf, whose "%s" takes narrow text.
std::wstring WideFormat(UINT id)
{
    std::wstring format = rb::Text(id);
    for (size_t at = format.find(L"%s"); at != std::wstring::npos; at = format.find(L"%s", at + 3))
        format.replace(at, 2, L"%ls");
    return format;
}

// The first start: the job from the Begin page, ended once drawing 12 is under way.
void RunToDrawing12(const Job& job, bool killTransmora)
{
    rb::Transmora app;
    HWND progress = app.OpenRun(job.list);
    ASSERT_NE(progress, nullptr) << "no run: " << app.Failure();
    ASSERT_TRUE(rb::WaitForDrawing(progress, kInterrupted, true)) << "the record never named drawing 12";
    if (killTransmora)
        EXPECT_EQ(app.Kill(), 0) << "a batch or host of the run outlived Transmora";
    else
        app.Detach();
}

// The profile as before the first start, the run counted once; nothing of the run left.
void ExpectNothingOfTheRunLeft(const rb::Export& before, const std::vector<std::wstring>& tempBefore)
{
    EXPECT_EQ(rb::Diff(rb::Counted(before), rb::ExportProfile()), "");
    for (const wchar_t* value : {L"ProfileJournal", L"RunRecord", L"RunDrawing"})
        EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, rb::MigrationKey(), value)) << wts::Narrow(value);
    EXPECT_EQ(rb::TempFiles(), tempBefore);
}

// What the run kept beside its log for a later start is gone with the run.
void ExpectNoKeptLists(const Job& job)
{
    for (const wchar_t* name : {L".MIGRATE.TXT", L".MIGRATED.TXT"})
        EXPECT_FALSE(wts::FileExists(job.log + name)) << wts::Narrow(name);
}

// The next start: the question before any wizard; Yes runs the rest; then the whole job checked.
void ContinueAndCheck(const Job& job, const rb::Export& before, const std::vector<std::wstring>& tempBefore)
{
    {
        rb::Transmora next;
        HWND box = next.WaitForBox();
        ASSERT_NE(box, nullptr) << "no question";
        wchar_t question[2048];
        swprintf(question, 2048, WideFormat(IDS_CONTINUE_QUESTION).c_str(), kInterrupted - 1, kDrawings,
                 job.log.c_str());
        EXPECT_EQ(wiz::BoxText(box), question);
        EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
        EXPECT_EQ(wiz::FindTitled(next.pid, rb::Text(IDS_CAPTION), box), nullptr) << "a wizard shows";
        PostMessageW(box, WM_COMMAND, IDYES, 0);
        HWND progress = next.WaitForProgress();
        ASSERT_NE(progress, nullptr) << "no progress dialog";
        EXPECT_EQ(wiz::FindTitled(next.pid, rb::Text(IDS_CAPTION), progress), nullptr) << "a wizard shows";
        EXPECT_EQ(wts::WindowText(GetDlgItem(progress, IDC_PROGRESS_COUNT)), std::to_wstring(kDrawings));
        std::string why;
        ASSERT_TRUE(next.FinishAndExit(job.log, &why)) << why;
    }

    // Every drawing migrated once and marked; the drawing under way ran twice, the others once.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::string migrated = wts::Lower(wts::ReadFileBytes(std::wstring(temp) + L"MIGRATED.TXT"));
    std::string log = wts::ReadFileBytes(job.log), list = wts::ReadFileBytes(job.list);
    for (int i = 0; i < kDrawings; ++i) {
        std::string path = wts::Narrow(job.drawings[static_cast<size_t>(i)]);
        std::wstring file = job.drawings[static_cast<size_t>(i)].substr(job.root.size() + 1);
        EXPECT_EQ(wts::ReadFileBytes(job.drawings[static_cast<size_t>(i)]).substr(0, 6), "DX1032") << path;
        EXPECT_EQ(wts::Count(migrated, wts::Lower(path) + "\r\n"), 1u) << path;
        EXPECT_EQ(wts::Count(list, "[x]" + path + "\r\n"), 1u) << path;
        EXPECT_EQ(wts::Count(log, wts::Line(IDS_BATCH_MIGRATE_DRAWING, file)), i + 1 == kInterrupted ? 2u : 1u) << path;
    }
    // The log whole: the first part's header, the continuation, one summary of the whole list.
    std::wstring continued = rb::Text(IDS_LOG_CONTINUED);
    EXPECT_EQ(wts::Count(log, wts::Narrow(rb::Text(IDS_BATCH_MIGRATE_TITLE))), 1u);
    EXPECT_EQ(wts::Count(log, wts::Narrow(continued.substr(0, continued.find(L"%s")))), 1u);
    EXPECT_LT(log.find(wts::Line(IDS_BATCH_MIGRATE_DRAWING, L"part 11.dwg")),
              log.find(wts::Narrow(continued.substr(0, 20))));
    EXPECT_EQ(wts::Count(log, wts::Narrow(rb::Text(IDS_SUMMARY_TITLE))), 1u);
    EXPECT_EQ(wts::Count(log, rb::Line(IDS_SUMMARY_TOTAL, kDrawings)), 1u);
    EXPECT_EQ(wts::Count(log, rb::Line(IDS_SUMMARY_MIGRATED, kDrawings)), 1u)
        << log.substr(log.size() > 600 ? log.size() - 600 : 0);
    EXPECT_EQ(wts::Count(log, rb::Line(IDS_SUMMARY_MISSING, 0).substr(0, 12)), 0u);

    ExpectNothingOfTheRunLeft(before, tempBefore);
    ExpectNoKeptLists(job);
}

// A user whose migration of 30 drawings was ended by the end of Transmora at drawing 12.
struct Interrupted {
    explicit Interrupted(const std::wstring& name) : job(MakeJob(name, true))
    {
        rb::PrepareUser(wts::FreshDir(name + L"-host"), job.log, 1);
        before = rb::ExportProfile();
        tempBefore = rb::TempFiles();
        rb::WriteList(job.list, rb::MakeDrawings(job.root, kDrawings, kInterrupted, "delay:20"));
        RunToDrawing12(job, true);
    }
    Job job;
    rb::Export before;
    std::vector<std::wstring> tempBefore;
};
}

TEST(Continue, TransmoraEndedAtDrawing12_YesFinishesTheWholeList)
{
    Interrupted run(L"continue-a");
    if (!HasFatalFailure())
        ContinueAndCheck(run.job, run.before, run.tempBefore);
}

TEST(Continue, TemporaryFolderCleanedBeforeTheNextStart_YesStillCountsAndMarksTheFirstPart)
{
    Interrupted run(L"continue-d");
    if (HasFatalFailure())
        return;
    // As a restart may clean it: every file of the temporary folder goes (the job's folders stay).
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    wts::Run(L"cmd /c del /f /q \"" + std::wstring(temp) + L"*\"");
    ASSERT_FALSE(wts::FileExists(std::wstring(temp) + L"MIGRATED.TXT"));
    ContinueAndCheck(run.job, run.before, rb::TempFiles());
}

TEST(Continue, NoRestoresTheProfileRemovesTheRecordAndOpensTheWizard)
{
    Interrupted run(L"continue-b");
    if (HasFatalFailure())
        return;

    rb::Transmora next;
    HWND box = next.WaitForBox();
    ASSERT_NE(box, nullptr) << "no question";
    ASSERT_NE(GetDlgItem(box, IDNO), nullptr) << wts::Narrow(wiz::BoxText(box));
    PostMessageW(box, WM_COMMAND, IDNO, 0);
    HWND sheet = next.WaitForBeginPage();
    EXPECT_NE(sheet, nullptr) << "no wizard after No";
    EXPECT_EQ(next.WaitForBox(2000), nullptr) << "a second message";
    ExpectNothingOfTheRunLeft(run.before, run.tempBefore);
}

// Two phases in one prefix; every process of it ends between them (see wine-run.sh).
TEST(ContinueAfterPrefixEnd, Phase)
{
    const char* phase = std::getenv("KEST_PREFIX_PHASE");
    if (!phase)
        GTEST_SKIP() << "runs only in two phases around the end of the prefix";
    Job job = MakeJob(L"continue-c", std::string(phase) == "1");
    const std::wstring saved = job.root + L"\\profile.before", savedTemp = job.root + L"\\temp.before";
    if (std::string(phase) == "1") {
        rb::PrepareUser(wts::FreshDir(L"continue-c-host"), job.log, 1);
        rb::SaveExport(rb::ExportProfile(), saved);
        std::string names;
        for (const std::wstring& file : rb::TempFiles())
            names += wts::Narrow(file) + "\n";
        wts::WriteFileBytes(savedTemp, names);
        rb::WriteList(job.list, rb::MakeDrawings(job.root, kDrawings, kInterrupted, "delay:20"));
        RunToDrawing12(job, false);
        return;
    }
    ResetHostKeysForTest();
    UseBatchProfile();
    std::vector<std::wstring> tempBefore;
    std::string names = wts::ReadFileBytes(savedTemp);
    for (size_t at = 0, end; (end = names.find('\n', at)) != std::string::npos; at = end + 1)
        tempBefore.emplace_back(names.begin() + static_cast<long>(at), names.begin() + static_cast<long>(end));
    ASSERT_FALSE(rb::LoadExport(saved).empty()) << "phase 1 left no export";
    ContinueAndCheck(job, rb::LoadExport(saved), tempBefore);
}

// Yes to continue prepares the profile as Finish and Resume would: not while
// a Draxil is open, which would take the run's values or write its own over them.
TEST(Continue, YesWhileADraxilIsOpenIsRefusedAndAskedAgain)
{
    const std::wstring root = wts::FreshDir(L"continue-open");
    rb::PrepareUser(wts::FreshDir(L"continue-open-host"), root + L"\\migration.log", 1);
    KestRunRecord record;
    record.drawings = {root + L"\\part 01.dwg", root + L"\\part 02.dwg"};
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, rb::MigrationKey().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    for (const auto& value : {std::make_pair(L"RunRecord", KestRunRecord::Encode(record)),
                              std::make_pair(L"ProfileJournal", KestJournalCodec::EncodeProfile({}))})
        RegSetValueExW(key, value.first, 0, REG_BINARY, value.second.data(), static_cast<DWORD>(value.second.size()));
    RegCloseKey(key);
    const rb::Export before = rb::ExportProfile();
    const wchar_t title[] = L"Draxil R26.0 - [own work.dwg]";
    HANDLE draxil = wts::Start(L"\"" + wts::BinDir() + L"\\..\\tests\\Puppet.exe\" main \"" + title + L"\"");
    ASSERT_TRUE(wiz::WaitUntil([&] { return FindWindowW(nullptr, title) != nullptr; }, 20000));

    rb::Transmora next;
    for (UINT answer : {IDYES, IDOK, IDNO}) {
        HWND box = next.WaitForBox();
        ASSERT_NE(box, nullptr) << "no box before " << answer;
        if (answer == IDOK) {   // Yes was refused
            EXPECT_EQ(wiz::BoxText(box), rb::Text(IDS_HOST_RUNNING));
            EXPECT_EQ(rb::Diff(before, rb::ExportProfile()), "") << "prepared under an open Draxil";
        }
        PostMessageW(box, WM_COMMAND, answer, 0);
        ASSERT_TRUE(wiz::WaitUntil([&] { return !IsWindow(box); }, 10000));
    }
    EXPECT_NE(next.WaitForBeginPage(), nullptr) << "no wizard after No";
    wts::EndProcess(draxil, 0);
}
