// Stand-in for a host that shows one window and waits:
//   Puppet dialog <title> [child text...]   a dialog with static children, OK and Cancel;
//                                           ends with 100 + the dialog's result once answered
//   Puppet main <title>                      a main window; ends with 100 when closed
// A host ended from outside ends with code 0 instead.
#include <windows.h>

#include <string>
#include <vector>

namespace {
struct DialogArgs {
    std::wstring title;
    std::vector<std::wstring> children;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto* args = reinterpret_cast<DialogArgs*>(lParam);
        SetWindowTextW(dialog, args->title.c_str());
        int y = 8;
        for (const std::wstring& text : args->children) {
            CreateWindowW(L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE, 10, y, 360, 18, dialog, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
            y += 22;
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    std::wstring mode = argv[1];
    if (mode == L"dialog") {
        DialogArgs args;
        args.title = argv[2];
        for (int i = 3; i < argc; ++i)
            args.children.push_back(argv[i]);
        INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(100), nullptr, DialogProc,
                                         reinterpret_cast<LPARAM>(&args));
        return 100 + static_cast<int>(result);
    }
    if (mode == L"main") {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PuppetMain";
        RegisterClassW(&wc);
        HWND window = CreateWindowW(L"PuppetMain", argv[2], WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300,
                                    nullptr, nullptr, wc.hInstance, nullptr);
        if (!window)
            return 3;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return 100;
    }
    return 2;
}
