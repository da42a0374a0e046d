// The dialog a fault marker asks for: a real top-level dialog with the given
// title, one static control per text, and OK and Cancel buttons.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class FaultDialog {
public:
    enum Answer { Ok, Cancel, Closed };
    // Modal; returns when the dialog is answered by a key, a button or a message from outside.
    static Answer Show(HWND owner, const std::wstring& title, const std::vector<std::wstring>& texts);
    static const wchar_t* AnswerName(Answer answer);
};
