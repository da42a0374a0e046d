// The folder chooser: which dialog a shell gets, and both dialogs driven to a choice.
#include "CFolderBrowser.h"
#include "WineTestSupport.h"
#include "WizardFixture.h"
#include "WizardIds.h"

#include <shlobj.h>

using wiz::Driver;

TEST(FolderBrowserChoice, EveryShellFromVersion4WithAMinorVersionOnGetsTheShellBrowser)
{
    EXPECT_TRUE(CFolderBrowser::UseShellBrowser(4, 71));
    EXPECT_TRUE(CFolderBrowser::UseShellBrowser(6, 1));
    // Later shells, whatever their minor version.
    EXPECT_TRUE(CFolderBrowser::UseShellBrowser(5, 0));
    EXPECT_TRUE(CFolderBrowser::UseShellBrowser(6, 0));
    EXPECT_TRUE(CFolderBrowser::UseShellBrowser(10, 0));
    // The first shell and everything before it, or no version at all.
    EXPECT_FALSE(CFolderBrowser::UseShellBrowser(4, 0));
    EXPECT_FALSE(CFolderBrowser::UseShellBrowser(3, 51));
    EXPECT_FALSE(CFolderBrowser::UseShellBrowser(0, 0));
}

TEST_F(WizardFixture, ShellBrowserGivesTheChosenFolderInLowerCase)
{
    // The browser opens on the desktop; OK chooses it.
    wchar_t desktop[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop), S_OK);
    CFolderBrowser browser(nullptr);
    Driver driver([&] {
        HWND dialog = nullptr;
        ASSERT_TRUE(wiz::WaitUntil([&] { return (dialog = wiz::FindFolderBrowser()) != nullptr; }))
            << "no folder browser";
        wts::Pump(300);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_EQ(browser.DoModal(), IDOK);
    EXPECT_EQ(std::wstring(browser.GetPathName()), wts::Lower(desktop));
}

TEST_F(WizardFixture, ShellBrowserCancelledChoosesNothing)
{
    CFolderBrowser browser(nullptr);
    Driver driver([&] {
        HWND dialog = nullptr;
        ASSERT_TRUE(wiz::WaitUntil([&] { return (dialog = wiz::FindFolderBrowser()) != nullptr; }))
            << "no folder browser";
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(browser.BrowseWithShell(), IDCANCEL);
    EXPECT_EQ(std::wstring(browser.GetPathName()), L"");
}

TEST_F(WizardFixture, FileDialogOfOldShellsShowsOnlyFoldersAndGivesTheFolder)
{
    std::wstring folder = wts::FreshDir(L"Old Shell");
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    SetCurrentDirectoryW(folder.c_str());
    CFolderBrowser browser(nullptr);
    std::string name, folders, types, help;
    std::wstring nameText;
    HWND focus = nullptr, folderList = nullptr;
    Driver driver([&] {
        HWND dialog = nullptr;
        ASSERT_TRUE(wiz::WaitUntil([&] {
            return (dialog = wiz::FindDialogWithItem(0, IDC_FD_FOLDER_LIST)) != nullptr;
        })) << "no folder dialog";
        name = wiz::ButtonState(GetDlgItem(dialog, IDC_FD_NAME_EDIT));
        types = wiz::ButtonState(GetDlgItem(dialog, IDC_FD_TYPE_LIST));
        help = wiz::ButtonState(GetDlgItem(dialog, IDC_FD_HELP));
        folderList = GetDlgItem(dialog, IDC_FD_FOLDER_LIST);
        folders = wiz::ButtonState(folderList);
        nameText = wts::WindowText(GetDlgItem(dialog, IDC_FD_NAME_EDIT));
        focus = wiz::FocusOf(dialog);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    INT_PTR result = browser.BrowseWithFileDialog();
    SetCurrentDirectoryW(before);
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(wts::Lower(std::wstring(browser.GetPathName())), wts::Lower(folder));
    EXPECT_EQ(name, "hidden");
    EXPECT_EQ(types, "hidden");
    EXPECT_EQ(help, "hidden");
    EXPECT_EQ(folders, "enabled");
    EXPECT_EQ(nameText, L"a");
    EXPECT_EQ(focus, folderList);
}

TEST_F(WizardFixture, FileDialogOfOldShellsGivesADriveRootWithItsSeparator)
{
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    SetCurrentDirectoryW(L"C:\\");
    CFolderBrowser browser(nullptr);
    Driver driver([&] {
        HWND dialog = nullptr;
        ASSERT_TRUE(wiz::WaitUntil([&] {
            return (dialog = wiz::FindDialogWithItem(0, IDC_FD_FOLDER_LIST)) != nullptr;
        })) << "no folder dialog";
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    INT_PTR result = browser.BrowseWithFileDialog();
    SetCurrentDirectoryW(before);
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(wts::Lower(std::wstring(browser.GetPathName())), L"c:\\");
}
