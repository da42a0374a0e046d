// drxl.exe, the simulated host: "drxl.exe /b <script> /p <profile> /nologo".
// Shows its main window, follows the script and ends at "_.QUIT".
#include "DraxilHost.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

namespace {
DraxilHost* g_host = nullptr;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case DraxilHost::kStepMessage:
        if (g_host)
            g_host->Step();
        return 0;
    case WM_TIMER:
        if (g_host)
            g_host->OnTimer(wParam);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring ScriptArgument()
{
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring script;
    for (int i = 1; args && i + 1 < count; ++i)
        if (_wcsicmp(args[i], L"/b") == 0)
            script = args[i + 1];
    LocalFree(args);
    return script;
}
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    windowClass.lpszClassName = L"DraxilMainWindow";
    RegisterClassW(&windowClass);
    HostStrings strings;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, strings.MainTitle().c_str(), WS_OVERLAPPEDWINDOW, 40,
                                  40, 640, 400, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);

    auto host = std::make_unique<DraxilHost>(window, strings);
    g_host = host.get();
    std::wstring script = ScriptArgument();
    if (!script.empty() && host->LoadScript(script))
        PostMessageW(window, DraxilHost::kStepMessage, 0, 0);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (host->CrashPending())
            RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    }
    g_host = nullptr;
    return 0;
}
