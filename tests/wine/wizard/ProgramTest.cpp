// Transmora.exe as a user meets it: the wizard opens, the safety notice, the
// help window, and a Cancel after the Begin page that leaves the profile as it
// was and stores no setting. Takes the documentation's screenshots on the way.
#include "HostKeys.h"
#include "TransmoraDriver.h"
#include "WineTestSupport.h"
#include "WizardFixture.h"
#include "WizardIds.h"

using wiz::WaitUntil;

namespace {
const wchar_t kDrawingWindow[] = L"\\Drawing Window";
const wchar_t kEditor[] = L"\\Editor Configuration";
}

TEST_F(WizardFixture, ProgramCancelledAfterTheBeginPageRestoresTheProfileAndStoresNoSetting)
{
    // Window frames drawn by Wine itself: the suite's display has no window manager.
    wts::RegSetString(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Decorated", L"N");
    // Nor has it Windows' fonts: the notes' face comes as the font with its metrics.
    wts::RegSetString(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
                      L"Courier New", L"Liberation Mono");
    std::wstring profile = ProfileKey();
    wts::RegSetDword(HKEY_CURRENT_USER, profile + kDrawingWindow, L"SDIMode", 0);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, (profile + kEditor).c_str(), L"XrefLazyLoadMode");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, (profile + kEditor).c_str(), L"EmergencyFont");
    std::wstring migration = GetProductKeyPath() + L"\\Migration";
    wts::RegDeleteTree(HKEY_CURRENT_USER, migration);

    TransmoraDriver app;
    HWND sheet = app.WaitForBeginPage();
    ASSERT_NE(sheet, nullptr) << "Transmora.exe shows no wizard";
    wiz::Screenshot(L"wizard-begin.png", {sheet});
    ASSERT_TRUE(app.ToFilesPage([&](HWND safety) { wiz::Screenshot(L"wizard-safety.png", {sheet, safety}); }))
        << "no safety notice, or page " << wiz::PageIndex(sheet);

    PostMessageW(sheet, WM_COMMAND, IDHELP, 0);
    HWND help = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (help = wiz::FindTitled(app.pid, L"Transmora Help")) != nullptr; }))
        << "no help window";
    std::wstring text = wts::WindowText(GetDlgItem(help, IDC_HELP_TEXT));
    EXPECT_EQ(text.substr(0, 33), L"DRAWING MIGRATION TO DRAXIL R26.0");
    EXPECT_EQ(SendDlgItemMessageW(help, IDC_HELP_TEXT, EM_GETFIRSTVISIBLELINE, 0, 0), 0)
        << "the notes open at their top";
    EXPECT_EQ(wiz::FocusOf(help), GetDlgItem(help, IDCANCEL)) << "focus on the Close button";
    wiz::Screenshot(L"wizard-help.png", {help});
    PostMessageW(help, WM_COMMAND, IDCANCEL, 0);

    // Something changes the profile while the wizard is open; the exit puts back what was saved.
    wts::RegSetDword(HKEY_CURRENT_USER, profile + kDrawingWindow, L"SDIMode", 1);
    wts::RegSetDword(HKEY_CURRENT_USER, profile + kEditor, L"XrefLazyLoadMode", 1);

    PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = wiz::FindMessageBox(sheet)) != nullptr; })) << "no Cancel question";
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(app.WaitForExit()) << "Transmora.exe did not end";
    EXPECT_EQ(app.ExitCode(), 0u);

    DWORD sdi = 99;
    EXPECT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, profile + kDrawingWindow, L"SDIMode", sdi));
    EXPECT_EQ(sdi, 0u);
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, profile + kEditor, L"XrefLazyLoadMode"))
        << "a value missing when the profile was saved is missing again";
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, profile + kEditor, L"EmergencyFont"));
    std::wstring support;
    EXPECT_TRUE(wts::RegGetString(HKEY_CURRENT_USER, profile + L"\\General", L"DRXL", support));
    EXPECT_EQ(support, L"c:\\draxil\\support;c:\\draxil\\fonts");
    EXPECT_TRUE(wts::RegValueNames(HKEY_CURRENT_USER, migration).empty()) << "a cancelled wizard stored settings";
}
