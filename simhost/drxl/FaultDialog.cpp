#include "FaultDialog.h"

#include <cstring>

namespace {
const INT_PTR kClosed = 1000;

struct Content {
    const std::vector<std::wstring>* texts;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        const auto* content = reinterpret_cast<const Content*>(lParam);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        int y = 12;
        for (const std::wstring& text : *content->texts) {
            HWND label = CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 12, y, 360, 20,
                                         dialog, nullptr, instance, nullptr);
            SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            y += 24;
        }
        HWND ok = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 196,
                                  y + 8, 80, 26, dialog, reinterpret_cast<HMENU>(IDOK), instance, nullptr);
        HWND cancel = CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                      288, y + 8, 80, 26, dialog, reinterpret_cast<HMENU>(IDCANCEL), instance, nullptr);
        SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(cancel, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
        RECT frame = {0, 0, 384, y + 46};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
        SetWindowPos(dialog, nullptr, 120, 120, frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER);
        SetFocus(ok);
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        EndDialog(dialog, kClosed);
        return TRUE;
    }
    return FALSE;
}
}

FaultDialog::Answer FaultDialog::Show(HWND owner, const std::wstring& title, const std::vector<std::wstring>& texts)
{
    // Template: the header, no menu, the standard class, the title; the controls come at WM_INITDIALOG.
    std::vector<WORD> buffer((sizeof(DLGTEMPLATE) + 1) / sizeof(WORD) + 2 + title.size() + 1, 0);
    DLGTEMPLATE header = {};
    header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    header.cx = 200;
    header.cy = 80;
    std::memcpy(buffer.data(), &header, sizeof(header));
    WORD* tail = buffer.data() + (sizeof(DLGTEMPLATE) + 1) / sizeof(WORD) + 2;
    std::memcpy(tail, title.c_str(), title.size() * sizeof(wchar_t));

    Content content = {&texts};
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                             reinterpret_cast<const DLGTEMPLATE*>(buffer.data()), owner, DialogProc,
                                             reinterpret_cast<LPARAM>(&content));
    if (result == IDOK)
        return Ok;
    if (result == kClosed)
        return Closed;
    return Cancel;
}

const wchar_t* FaultDialog::AnswerName(Answer answer)
{
    switch (answer) {
    case Ok:
        return L"OK";
    case Cancel:
        return L"Cancel";
    default:
        return L"closed";
    }
}
