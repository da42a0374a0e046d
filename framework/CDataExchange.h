// Dialog data exchange: moves values between members and dialog controls in
// either direction; a validation failure shows its message and stops the exchange.
#pragma once
#include "CString.h"

class CWnd;

// Framework messages, looked up in the resource module with built-in English
// texts as the fallback.
#define AFX_IDP_PARSE_INT 0xF110         // "Please enter an integer."
#define AFX_IDP_PARSE_INT_RANGE 0xF111   // "Please enter an integer between %d and %d."

class CDataExchange {
public:
    struct Failure {};
    CDataExchange(CWnd* dialog, bool saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    // Remembers the control a following validation refers to.
    HWND PrepareCtrl(int id);
    // Puts the focus on the last prepared control and stops the exchange.
    [[noreturn]] void Fail();

    bool m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_lastControl = nullptr;
    bool m_lastIsEdit = false;
};

void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
// Attaches a control object to its dialog item at the first exchange.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue);
void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars);
