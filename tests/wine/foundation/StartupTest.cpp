// Transmora.exe started as a user would: the resource module check and a
// start-up whose wizard is cancelled, so the job ends without a run.
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
    ASSERT_EQ(wts::InstallHost(host), 0);
    ResetHostKeysForTest();
    std::wstring migration = GetProductKeyPath() + L"\\Migration";
    wts::RegDeleteTree(HKEY_CURRENT_USER, migration);
    HANDLE process = wts::Start(Transmora());
    ASSERT_NE(process, nullptr);
    // The wizard opens; Cancel asks first, and Yes ends the program.
    HWND wizard = wts::WaitForWindow(L"Transmora", 60000);
    ASSERT_NE(wizard, nullptr) << "no wizard";
    PostMessageW(wizard, WM_COMMAND, IDCANCEL, 0);
    struct Owned {
        HWND owner;
        HWND found;
    } question = {wizard, nullptr};
    for (int i = 0; i < 300 && !question.found; ++i) {
        wts::Pump(100);
        EnumWindows(
            [](HWND w, LPARAM l) -> BOOL {
                auto* q = reinterpret_cast<Owned*>(l);
                if (IsWindowVisible(w) && GetWindow(w, GW_OWNER) == q->owner)
                    q->found = w;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&question));
    }
    ASSERT_NE(question.found, nullptr) << "Cancel did not ask";
    PostMessageW(question.found, WM_COMMAND, IDYES, 0);
    ASSERT_EQ(WaitForSingleObject(process, 60000), WAIT_OBJECT_0) << "Transmora did not end after the wizard";
    DWORD code = 99;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(wts::RegValueNames(HKEY_CURRENT_USER, migration).empty());
}
