// The Finish page: the log options, the log file, and Finish refused while the
// host program is open.
#include "CPageFinish.h"
#include "KestFilenm.h"
#include "PagesFixture.h"
#include "ProgressIds.h"
#include "WineTestSupport.h"
#include "StdsSearchFinishIds.h"
#include "WizardIds.h"

namespace {
// The simulated host with no script: it shows its main window and waits.
HANDLE StartHost(const std::wstring& hostFolder)
{
    HANDLE process = wts::Start(wts::Quoted(hostFolder + L"\\drxl.exe"));
    if (process && !wts::WaitForWindow(L"Draxil R26.0", 30000)) {
        wts::EndProcess(process, 0);
        return nullptr;
    }
    return process;
}
}

using FinishPage = PagesFixture;

TEST_F(FinishPage, LogFlags15ShowsThreeTickedBoxesAndFinishStores7)
{
    theApp.m_LogFlags = 15;
    bool drawings = false, updates = false, warnings = false, detailsVisible = true;
    std::string finish, back;
    INT_PTR result = RunPages([&](HWND sheet) {
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 1));
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 2));
        HWND page = Page(sheet);
        wiz::WaitUntil([&] { return wiz::ButtonState(wiz::FinishButton(sheet)) == "enabled"; });
        finish = wiz::ButtonState(wiz::FinishButton(sheet));
        back = wiz::ButtonState(wiz::BackButton(sheet));
        drawings = Checked(page, IDC_FINISH_LOG_DRAWINGS);
        updates = Checked(page, IDC_FINISH_LOG_UPDATES);
        warnings = Checked(page, IDC_FINISH_LOG_WARNINGS);
        detailsVisible = IsWindowVisible(GetDlgItem(page, IDC_FINISH_LOG_DETAILS)) != FALSE;
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
        EXPECT_TRUE(wiz::WaitUntil([&] { return !IsWindow(sheet); })) << "Finish did not end the wizard";
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_EQ(finish, "enabled");
    EXPECT_EQ(back, "enabled");
    EXPECT_TRUE(drawings && updates && warnings);
    EXPECT_FALSE(detailsVisible);
    EXPECT_EQ(theApp.m_LogFlags, 7) << "bit 0x8 has no visible box and is always cleared";
}

TEST_F(FinishPage, LeavingByBackStoresTheBoxes)
{
    theApp.m_LogFlags = 1;
    RunPages([&](HWND sheet) {
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 1));
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 2));
        HWND page = Page(sheet);
        Toggle(page, IDC_FINISH_LOG_DRAWINGS);
        Toggle(page, IDC_FINISH_LOG_WARNINGS);
        wts::Pump(200);
        ASSERT_TRUE(Press(sheet, PSBTN_BACK, 1));
    });
    EXPECT_EQ(theApp.m_LogFlags, 4);
}

TEST_F(FinishPage, ALongLogPathIsShownShortenedAndKeptWhole)
{
    std::wstring folder = wts::FreshDir(L"Migration Logs of the Gear Box Project");
    std::wstring log = folder + L"\\Second Attempt\\DrxlMMigr.log";
    g_logFile = log;
    std::wstring shown;
    RunPages([&](HWND sheet) {
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 1));
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 2));
        shown = wts::WindowText(GetDlgItem(Page(sheet), IDC_FINISH_LOG_PATH));
    });
    std::wstring expected = KestFilenm(log, false).Shorten(40);
    EXPECT_EQ(shown, expected);
    EXPECT_LE(shown.size(), 40u) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 17), L"...\\drxlmmigr.log");
    EXPECT_EQ(g_logFile, log);
}

TEST_F(FinishPage, ChoosingALogFileTakesItsPathAndCancelKeepsThePrevious)
{
    std::wstring folder = wts::FreshDir(L"logs");
    g_logFile = folder + L"\\first.log";
    std::wstring title, initialName, afterCancel, shown;
    RunPages([&](HWND sheet) {
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 1));
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 2));
        HWND page = Page(sheet);

        Click(page, IDC_FINISH_BROWSE);
        HWND dialog = WaitForDialog(wts::Text(IDS_LOG_DIALOG_TITLE));
        ASSERT_NE(dialog, nullptr) << "no log file dialog";
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(wiz::WaitUntil([&] { return !IsWindow(dialog); }));
        afterCancel = g_logFile;

        Click(page, IDC_FINISH_BROWSE);
        dialog = WaitForDialog(wts::Text(IDS_LOG_DIALOG_TITLE));
        ASSERT_NE(dialog, nullptr) << "no log file dialog";
        initialName = wts::WindowText(FileNameBox(dialog));
        ChooseFile(dialog, folder + L"\\Second Run");
        ASSERT_TRUE(wiz::WaitUntil([&] { return !IsWindow(dialog); })) << "the dialog did not take the name";
        wiz::WaitUntil([&] { return g_logFile != afterCancel; });
        shown = wts::WindowText(GetDlgItem(page, IDC_FINISH_LOG_PATH));
    });
    EXPECT_EQ(initialName, L"first") << "the dialog offers the current name without folder and extension";
    EXPECT_EQ(afterCancel, folder + L"\\first.log");
    EXPECT_EQ(wts::Lower(g_logFile), wts::Lower(folder + L"\\Second Run.log")) << "the default extension is added";
    EXPECT_EQ(shown, KestFilenm(g_logFile, false).Shorten(40));
}

TEST_F(FinishPage, FinishIsRefusedWhileTheHostIsOpenAndAcceptedOnceItIsClosed)
{
    HANDLE host = StartHost(g_host);
    ASSERT_NE(host, nullptr) << "the simulated host shows no main window";
    std::wstring warning;
    HWND owner = reinterpret_cast<HWND>(1);
    int indexAfterRefusal = -1, warningsAfterSecondTry = 0;
    INT_PTR result = RunPages([&](HWND sheet) {
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 1));
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 2));
        wiz::WaitUntil([&] { return wiz::ButtonState(wiz::FinishButton(sheet)) == "enabled"; });
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
        HWND box = WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "Finish shows no warning while the host runs";
        warning = BoxText(box);
        owner = BoxOwner(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        wiz::WaitUntil([&] { return !IsWindow(box); });
        wts::Pump(300);
        indexAfterRefusal = IsWindow(sheet) ? wiz::PageIndex(sheet) : -2;

        wts::EndProcess(host);
        host = nullptr;
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
        wiz::WaitUntil([&] {
            if (HWND again = WaitForMessageBox(100)) {
                ++warningsAfterSecondTry;
                PostMessageW(again, WM_COMMAND, IDOK, 0);
            }
            return !IsWindow(sheet);
        });
    });
    if (host)
        wts::EndProcess(host);
    EXPECT_EQ(warning, wts::Text(IDS_HOST_RUNNING));
    EXPECT_EQ(owner, nullptr) << "the warning has no owner window";
    EXPECT_EQ(indexAfterRefusal, 2) << "the wizard stays on the Finish page";
    EXPECT_EQ(warningsAfterSecondTry, 0);
    EXPECT_EQ(result, ID_WIZFINISH);
}
