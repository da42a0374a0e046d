#include "CDataExchange.h"
#include "Afx.h"
#include "CWnd.h"

#include <cerrno>
#include <cwchar>

namespace {
CString FrameworkText(UINT id, const wchar_t* fallback)
{
    CString text;
    if (!text.LoadString(id))
        text = fallback;
    return text;
}
}

HWND CDataExchange::PrepareCtrl(int id)
{
    m_lastControl = m_pDlgWnd->GetDlgItem(id);
    wchar_t cls[16] = {0};
    ::GetClassNameW(m_lastControl, cls, 16);
    m_lastIsEdit = ::lstrcmpiW(cls, L"Edit") == 0;
    return m_lastControl;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_lastControl) {
        ::SetFocus(m_lastControl);
        if (m_lastIsEdit)
            ::SendMessageW(m_lastControl, EM_SETSEL, 0, -1);
    }
    throw Failure();
}

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        int length = ::GetWindowTextLengthW(control);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        int n = ::GetWindowTextW(control, &text[0], length + 1);
        text.resize(n > 0 ? static_cast<size_t>(n) : 0);
        value = CString(text);
    } else {
        ::SetWindowTextW(control, value);
    }
}

void DDX_Text(CDataExchange* dx, int id, int& value)
{
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        wchar_t text[64] = {0};
        ::GetWindowTextW(control, text, 64);
        wchar_t* end = nullptr;
        errno = 0;
        long parsed = wcstol(text, &end, 10);
        while (end && (*end == L' ' || *end == L'\t'))
            ++end;
        if (end == text || !end || *end != L'\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
            AfxMessageBox(FrameworkText(AFX_IDP_PARSE_INT, L"Please enter an integer."), MB_ICONEXCLAMATION);
            dx->Fail();
        }
        value = static_cast<int>(parsed);
    } else {
        wchar_t text[16];
        swprintf(text, 16, L"%d", value);
        ::SetWindowTextW(control, text);
    }
}

void DDX_Check(CDataExchange* dx, int id, int& value)
{
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (!control.m_hWnd)
        control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd);
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue)
{
    if (!dx->m_bSaveAndValidate || (value >= minValue && value <= maxValue))
        return;
    CString text;
    text.Format(FrameworkText(AFX_IDP_PARSE_INT_RANGE, L"Please enter an integer between %d and %d."), minValue,
                maxValue);
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    dx->Fail();
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars)
{
    if (dx->m_lastControl && !dx->m_bSaveAndValidate)
        ::SendMessageW(dx->m_lastControl, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    if (dx->m_bSaveAndValidate && value.GetLength() > maxChars)
        dx->Fail();
}
