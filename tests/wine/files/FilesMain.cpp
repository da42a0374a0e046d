// The suite's entry. Without a window manager on the suite's X display, Wine's X11 driver waits two
// seconds for one each time a managed window is hidden: every message box and every wizard would cost
// seconds. The driver reads its settings when a process starts, so this process sets them in the
// suite's throwaway prefix and runs the tests in children: the tests with unmanaged windows, then the
// screenshots with managed windows whose frames Wine draws, as they look in the documentation.
#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {
const wchar_t kDriverKey[] = L"Software\\Wine\\X11 Driver";
const char kShots[] = "Screenshots.*";

int RunChild(const wchar_t* managed, const std::string& filter)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child = {};
    wts::RegSetString(HKEY_CURRENT_USER, kDriverKey, L"Managed", managed);
    wts::RegSetString(HKEY_CURRENT_USER, kDriverKey, L"Decorated", L"N");
    // The last filter flag counts.
    std::wstring line = GetCommandLineW();
    line += L" --gtest_filter=" + std::wstring(filter.begin(), filter.end());
    SetEnvironmentVariableW(L"KEST_FILES_CHILD", L"1");
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child))
        return -1;
    WaitForSingleObject(child.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    return static_cast<int>(code);
}
}

int main(int argc, char** argv)
{
    if (std::getenv("KEST_FILES_CHILD")) {
        ::testing::InitGoogleTest(&argc, argv);
        return RUN_ALL_TESTS();
    }
    std::string filter = "*";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--gtest_filter=", 15) == 0)
            filter = argv[i] + 15;
    const bool exclusions = filter.find('-') != std::string::npos;
    int code = RunChild(L"N", filter + (exclusions ? ":" : "-") + kShots);
    if (filter != "*" && filter.find("Screenshots") == std::string::npos)
        return code;
    int shots = RunChild(L"Y", filter == "*" ? kShots : filter);
    return code != 0 ? code : shots;
}
