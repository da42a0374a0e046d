// A Transmora that dies with the host profile prepared for its run: the next
// start puts back exactly what the user had, before the Begin page shows, and
// says so once; a second Transmora meanwhile changes nothing.
#include "HostKeys.h"
#include "ProgressIds.h"
#include "RecoveryBed.h"
#include "RecoveryIds.h"
#include "ResourceIds.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The system asks whether the session may end, then ends it: true when Transmora agreed and ended. With a
// key, `touched` says whether any value of it was written or removed after the question was answered.
bool EndSession(HWND window, const rb::Transmora& app, HKEY watched = nullptr, bool* touched = nullptr)
{
    DWORD_PTR agreed = 0;
    if (!SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &agreed) ||
        !agreed)
        return false;
    HANDLE changed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (watched)
        RegNotifyChangeKeyValue(watched, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed, TRUE);
    PostMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    const bool ended = WaitForSingleObject(app.process, 30000) == WAIT_OBJECT_0;
    if (touched)
        *touched = WaitForSingleObject(changed, 0) == WAIT_OBJECT_0;
    CloseHandle(changed);
    return ended;
}

// The next start: the notice before any wizard, the profile already back
// while it shows and the journal gone; then the Begin page.
void ExpectRestoredBeforeTheBeginPage(const rb::Export& expected)
{
    rb::Transmora next;
    HWND box = next.WaitForBox();
    ASSERT_NE(box, nullptr) << "no notice";
    EXPECT_EQ(wiz::BoxText(box), rb::Text(IDS_RECOVERED_PROFILE));
    EXPECT_EQ(wiz::FindTitled(next.pid, rb::Text(IDS_CAPTION), box), nullptr) << "a wizard shows before the notice";
    EXPECT_EQ(rb::Diff(expected, rb::ExportProfile()), "");
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, rb::MigrationKey(), L"ProfileJournal"));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    HWND sheet = next.WaitForBeginPage();
    EXPECT_NE(sheet, nullptr) << "no Begin page after the notice";
    EXPECT_EQ(next.WaitForBox(2000), nullptr) << "a second message";
}
}

TEST(Recovery, EndedBetweenSaveAndPrepare_ProfileBackBeforeTheBeginPage)
{
    std::wstring log = wts::FreshDir(L"recovery-a") + L"\\migration.log";
    rb::PrepareUser(wts::FreshDir(L"recovery-a-host"), log, 1);
    const rb::Export before = rb::ExportProfile();
    {
        rb::Transmora app;
        HWND sheet = app.WaitForBeginPage();
        ASSERT_NE(sheet, nullptr) << "no Begin page";
        ASSERT_TRUE(app.ToFilesPage());
        // The save step keeps its journal before anything is prepared.
        EXPECT_TRUE(wts::RegValueExists(HKEY_CURRENT_USER, rb::MigrationKey(), L"ProfileJournal"));
        EXPECT_EQ(rb::Diff(before, rb::ExportProfile()), "");
        app.Kill();
    }
    // Ended as the prepare step had begun: some of the batch run's values are in.
    const std::wstring profile = rb::ProfileKey();
    wts::RegSetDword(HKEY_CURRENT_USER, profile + L"\\Drawing Window", L"SDIMode", 1);
    wts::RegSetDword(HKEY_CURRENT_USER, profile + L"\\Editor Configuration", L"XrefLazyLoadMode", 1);
    wts::RegSetString(HKEY_CURRENT_USER, profile + L"\\Editor Configuration", L"EmergencyFont", L"simplex.shx");
    wts::RegSetDword(HKEY_CURRENT_USER, GetReleaseKeyPath() + L"\\FixedProfile\\General Configuration",
                     L"FileDialog", 0);
    wts::RegSetString(HKEY_CURRENT_USER, profile + L"\\General", L"DRXL", L"c:\\jobs");
    ExpectRestoredBeforeTheBeginPage(before);
}

TEST(Recovery, EndedDuringARun_ProfileBackBeforeTheBeginPage_SecondStartMeanwhileChangesNothing)
{
    // An analysis run: it is not continued, only its profile comes back.
    std::wstring root = wts::FreshDir(L"recovery-b");
    std::wstring log = root + L"\\analysis.log", list = root + L"\\job.dml";
    rb::PrepareUser(wts::FreshDir(L"recovery-b-host"), log, 2);
    const rb::Export before = rb::ExportProfile();
    const auto tempBefore = rb::TempFiles();
    rb::WriteList(list, rb::MakeDrawings(root, 4, 2, "hang"));
    {
        rb::Transmora app;
        HWND progress = app.OpenRun(list);
        ASSERT_NE(progress, nullptr) << "no run: " << app.Failure();
        ASSERT_TRUE(rb::WaitForDrawing(progress, 2, false));
        DWORD sdi = 0;
        EXPECT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, rb::ProfileKey() + L"\\Drawing Window", L"SDIMode", sdi));
        EXPECT_EQ(sdi, 1u) << "the run's profile is in";

        // A second start says so and ends, leaving the run, its profile, journal and files alone.
        const rb::Export during = rb::ExportProfile();
        std::wstring journal;
        const auto settings = wts::RegValueNames(HKEY_CURRENT_USER, rb::MigrationKey());
        const auto files = rb::TempFiles();
        {
            rb::Transmora second;
            HWND box = second.WaitForBox();
            ASSERT_NE(box, nullptr) << "the second start says nothing";
            EXPECT_EQ(wiz::BoxText(box), rb::Text(IDS_ALREADY_RUNNING));
            EXPECT_EQ(wiz::FindTitled(second.pid, rb::Text(IDS_CAPTION), box), nullptr) << "a second wizard";
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            ASSERT_EQ(WaitForSingleObject(second.process, 30000), WAIT_OBJECT_0) << "the second start goes on";
        }
        EXPECT_EQ(rb::Diff(during, rb::ExportProfile()), "");
        EXPECT_EQ(wts::RegValueNames(HKEY_CURRENT_USER, rb::MigrationKey()), settings);
        EXPECT_EQ(rb::TempFiles(), files);
        EXPECT_EQ(WaitForSingleObject(app.process, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the run ended";
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(progress, IDC_PROGRESS_STOP))) << "the run is not supervised";
        EXPECT_EQ(app.Kill(), 0) << "a batch or host of the run outlived Transmora";
    }
    ExpectRestoredBeforeTheBeginPage(rb::Counted(before));
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, rb::MigrationKey(), L"RunRecord"));
    EXPECT_EQ(rb::TempFiles(), tempBefore) << "the files of the run that was ended are left";
}

TEST(Recovery, SessionEnd_InTheWizardOrTheRun_CleansUpAsAnExit_TheRunGoesOnAtTheNextStart)
{
    std::wstring root = wts::FreshDir(L"recovery-c");
    std::wstring log = root + L"\\migration.log", list = root + L"\\job.dml";
    rb::PrepareUser(wts::FreshDir(L"recovery-c-host"), log, 1);
    const rb::Export before = rb::ExportProfile();
    const auto tempBefore = rb::TempFiles();
    rb::WriteList(list, rb::MakeDrawings(root, 4, 2, "delay:20"));

    // In the wizard, after the save step.
    {
        rb::Transmora app;
        HWND sheet = app.WaitForBeginPage();
        ASSERT_NE(sheet, nullptr) << "no Begin page";
        ASSERT_TRUE(app.ToFilesPage());
        ASSERT_TRUE(EndSession(sheet, app)) << "the wizard did not let the session end";
        EXPECT_EQ(rb::Diff(before, rb::ExportProfile()), "");
        EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, rb::MigrationKey(), L"ProfileJournal"));
        EXPECT_EQ(rb::TempFiles(), tempBefore);
    }
    // In the run: the batch ends, and the record and journal stay so that the migration can go on.
    {
        rb::Transmora app;
        HWND progress = app.OpenRun(list);
        ASSERT_NE(progress, nullptr) << "no run: " << app.Failure();
        ASSERT_TRUE(rb::WaitForDrawing(progress, 2, true));
        auto tree = wts::ProcessTree(app.pid);
        ASSERT_TRUE(std::any_of(tree.begin(), tree.end(), [](const auto& p) { return p.second == L"cmd.exe"; }))
            << "no batch under Transmora";
        // The record and its journal stay as they are: a death at any moment of the session's end leaves both.
        HKEY migration = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, rb::MigrationKey().c_str(), 0, KEY_NOTIFY, &migration), 0);
        bool touched = true;
        ASSERT_TRUE(EndSession(progress, app, migration, &touched)) << "the progress dialog did not let the session end";
        RegCloseKey(migration);
        EXPECT_FALSE(touched) << "the record or the journal was written at the session's end";
        for (const auto& process : tree) {
            if (process.second == L"cmd.exe" || process.second == L"drxl.exe") {
                EXPECT_FALSE(rb::IsRunning(process.first)) << "the run's " << wts::Narrow(process.second) << " lives on";
            }
        }
        EXPECT_EQ(rb::Diff(rb::Counted(before), rb::ExportProfile()), "");
        EXPECT_TRUE(wts::RegValueExists(HKEY_CURRENT_USER, rb::MigrationKey(), L"ProfileJournal"));
        EXPECT_TRUE(wts::RegValueExists(HKEY_CURRENT_USER, rb::MigrationKey(), L"RunRecord"));
        EXPECT_EQ(rb::TempFiles(), tempBefore);
        EXPECT_EQ(app.Kill(), 0) << "a batch or host of the run outlived the session";
    }
    // The next start continues it to the end, and the run counts once.
    rb::Transmora next;
    HWND box = next.WaitForBox();
    ASSERT_NE(box, nullptr) << "no question";
    ASSERT_NE(GetDlgItem(box, IDYES), nullptr) << wts::Narrow(wiz::BoxText(box));
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    HWND progress = next.WaitForProgress();
    ASSERT_NE(progress, nullptr);
    std::string why;
    ASSERT_TRUE(next.FinishAndExit(log, &why)) << why;
    EXPECT_EQ(rb::Diff(rb::Counted(before), rb::ExportProfile()), "");
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, rb::MigrationKey(), L"ProfileJournal"));
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, rb::MigrationKey(), L"RunRecord"));
}

TEST(Recovery, DamagedJournalAndRecord_SaidSoRemovedAndTheWizardOpens)
{
    rb::PrepareUser(wts::FreshDir(L"recovery-d-host"), wts::FreshDir(L"recovery-d") + L"\\migration.log", 1);
    const rb::Export before = rb::ExportProfile();
    // A journal cut short and a record of another program: neither may be half used.
    const BYTE cut[] = {'K', 'P', 'J', '1', 3, 0, 0, 0, 200, 0};
    const BYTE foreign[] = {'K', 'R', 'R', '9', 0};
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, rb::MigrationKey().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, L"ProfileJournal", 0, REG_BINARY, cut, sizeof(cut));
    RegSetValueExW(key, L"RunRecord", 0, REG_BINARY, foreign, sizeof(foreign));
    RegCloseKey(key);

    rb::Transmora app;
    HWND box = app.WaitForBox();
    ASSERT_NE(box, nullptr) << "nothing said";
    EXPECT_EQ(wiz::BoxText(box), rb::Text(IDS_RECOVERY_DAMAGED));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_NE(app.WaitForBeginPage(), nullptr) << "no wizard";
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, rb::MigrationKey(), L"ProfileJournal"));
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, rb::MigrationKey(), L"RunRecord"));
    EXPECT_EQ(rb::Diff(before, rb::ExportProfile()), "");
}
