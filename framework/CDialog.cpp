#include "CDialog.h"
#include "Afx.h"

void AfxInitCommonControls()
{
    static bool done = false;
    if (done)
        return;
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&init);
    done = true;
}

INT_PTR CDialog::DoModal()
{
    AfxInitCommonControls();
    m_modal = true;
    HWND owner = m_parent ? m_parent->m_hWnd : ::GetActiveWindow();
    INT_PTR result = ::DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_templateId), owner,
                                       &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_modal = false;
    m_hWnd = nullptr;
    return result;
}

bool CDialog::Create(UINT templateId, CWnd* parent)
{
    AfxInitCommonControls();
    m_templateId = templateId;
    m_parent = parent;
    m_modal = false;
    HWND window = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(templateId),
                                       parent ? parent->m_hWnd : nullptr, &CDialog::DialogProc,
                                       reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

void CDialog::EndDialog(INT_PTR result)
{
    if (m_modal)
        ::EndDialog(m_hWnd, result);
    else
        DestroyWindow();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnCommand(WPARAM w, LPARAM l)
{
    if (CWnd::OnCommand(w, l))
        return true;
    if (HIWORD(w) == BN_CLICKED || l == 0) {
        if (LOWORD(w) == IDOK) {
            OnOK();
            return true;
        }
        if (LOWORD(w) == IDCANCEL) {
            OnCancel();
            return true;
        }
    }
    return false;
}

bool CDialog::Dispatch(UINT msg, WPARAM w, LPARAM l, LRESULT* result)
{
    Current saved = m_current;
    m_current = {msg, w, l};
    bool handled;
    if (msg == WM_COMMAND)
        handled = OnCommand(w, l);
    else if (msg == WM_NOTIFY)
        handled = OnNotify(w, l, result);
    else
        handled = OnWndMsg(msg, w, l, result);
    m_current = saved;
    return handled;
}

INT_PTR CDialog::DialogResult(HWND window, UINT msg, LRESULT result)
{
    switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_QUERYDRAGICON:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT msg, WPARAM w, LPARAM l)
{
    CDialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(l);
        ::SetWindowLongPtrW(window, DWLP_USER, l);
        self->m_hWnd = window;
        return AfxCallGuarded([&] { return static_cast<LRESULT>(self->OnInitDialog()); }, TRUE);
    }
    self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (!self)
        return FALSE;
    LRESULT result = 0;
    bool handled = AfxCallGuarded([&] { return static_cast<LRESULT>(self->Dispatch(msg, w, l, &result)); }) != 0;
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    return handled ? DialogResult(window, msg, result) : FALSE;
}
