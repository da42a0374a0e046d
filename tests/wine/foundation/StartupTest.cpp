// Transmora.exe started as a user would: the resource module check and a
// start-up whose wizard is cancelled, so the job ends without a run.
#include "HostKeys.h"
#include "TransmoraDriver.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>


TEST(Startup, MissingResourceModuleShowsThePathAndEndsWithMinusOne)
{
    TransmoraDriver app({L"", L"USTORA_FOLDER=C:\\nowhere\\;USTORA_LANGUAGE=de-DE", L""});
    ASSERT_NE(app.process, nullptr);
    HWND box = wts::WaitForWindow(L"Can not load resource dll", 20000);
    ASSERT_NE(box, nullptr) << "no message box";
    auto texts = wts::ChildTexts(box);
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"C:\\nowhere\\drxlm\\de-DE\\keNoluRes.dll"), texts.end());
    // Still running while the box is up: nothing else happens before the user answers.
    EXPECT_FALSE(app.WaitForExit(0));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(app.WaitForExit(20000));
    EXPECT_EQ(static_cast<int>(app.ExitCode()), -1);
    // No setting was read or stored.
    EXPECT_TRUE(wts::RegValueNames(HKEY_CURRENT_USER, L"Software\\Korvane\\Korvane Torvik\\Desktop\\17\\DRXLM-0:0\\Migration").empty());
}

TEST(Startup, CancelledJobStoresNothing)
{
    std::wstring host = wts::FreshDir(L"host");
    ASSERT_EQ(wts::InstallHost(host), 0);
    ResetHostKeysForTest();
    std::wstring migration = GetProductKeyPath() + L"\\Migration";
    wts::RegDeleteTree(HKEY_CURRENT_USER, migration);
    TransmoraDriver app;
    // The wizard opens; Cancel asks first, and Yes ends the program.
    HWND wizard = app.WaitForBeginPage();
    ASSERT_NE(wizard, nullptr) << "no wizard";
    PostMessageW(wizard, WM_COMMAND, IDCANCEL, 0);
    HWND question = nullptr;
    ASSERT_TRUE(wts::WaitUntil([&] { return (question = wiz::FindMessageBox(wizard)) != nullptr; }, 30000))
        << "Cancel did not ask";
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(app.WaitForExit()) << "Transmora did not end after the wizard";
    EXPECT_EQ(app.ExitCode(), 0u);
    EXPECT_TRUE(wts::RegValueNames(HKEY_CURRENT_USER, migration).empty());
}
