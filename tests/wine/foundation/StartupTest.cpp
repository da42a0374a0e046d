// Transmora.exe started as a user would: the resource module check and a
// start-up that ends without a job.
#include "HostKeys.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

namespace {
std::wstring Transmora() { return L"\"" + wts::BinDir() + L"\\Transmora.exe\""; }
}

TEST(Startup, MissingResourceModuleShowsThePathAndEndsWithMinusOne)
{
    HANDLE process = wts::Start(Transmora(), L"USTORA_FOLDER=C:\\nowhere\\;USTORA_LANGUAGE=de-DE");
    ASSERT_NE(process, nullptr);
    HWND box = wts::WaitForWindow(L"Can not load resource dll", 20000);
    ASSERT_NE(box, nullptr) << "no message box";
    auto texts = wts::ChildTexts(box);
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"C:\\nowhere\\drxlm\\de-DE\\keNoluRes.dll"), texts.end());
    // Still running while the box is up: nothing else happens before the user answers.
    EXPECT_EQ(WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    EXPECT_EQ(static_cast<int>(code), -1);
    // No setting was read or stored.
    EXPECT_TRUE(wts::RegValueNames(HKEY_CURRENT_USER, L"Software\\Korvane\\Korvane Torvik\\Desktop\\17\\DRXLM-0:0\\Migration").empty());
}

TEST(Startup, CancelledJobStoresNothing)
{
    std::wstring host = wts::FreshDir(L"host");
    ASSERT_EQ(wts::Run(L"\"" + wts::BinDir() + L"\\HostSetup.exe\" \"" + host + L"\""), 0);
    ResetHostKeysForTest();
    std::wstring migration = GetProductKeyPath() + L"\\Migration";
    wts::RegDeleteTree(HKEY_CURRENT_USER, migration);
    EXPECT_EQ(wts::Run(Transmora(), 60000), 0);
    EXPECT_TRUE(wts::RegValueNames(HKEY_CURRENT_USER, migration).empty());
}
