#include "CWnd.h"
#include "Afx.h"
#include "CDataExchange.h"

namespace {
const wchar_t kProp[] = L"KestCWnd";
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

CWnd::~CWnd()
{
    if (m_oldProc && m_hWnd && ::IsWindow(m_hWnd))
        UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND window)
{
    return window ? static_cast<CWnd*>(::GetPropW(window, kProp)) : nullptr;
}

bool CWnd::SubclassWindow(HWND window)
{
    if (!window || m_hWnd)
        return false;
    m_hWnd = window;
    ::SetPropW(window, kProp, this);
    m_oldProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    return parent && SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND window = m_hWnd;
    if (window && m_oldProc) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
        ::RemovePropW(window, kProp);
    }
    m_oldProc = nullptr;
    m_hWnd = nullptr;
    return window;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT msg, WPARAM w, LPARAM l)
{
    CWnd* self = FromHandlePermanent(window);
    if (!self || !self->m_oldProc)
        return ::DefWindowProcW(window, msg, w, l);
    WNDPROC old = self->m_oldProc;
    LRESULT result = AfxCallGuarded([&] { return self->WindowProc(msg, w, l); });
    if (msg == WM_NCDESTROY) {
        // The window is gone: give the procedure back and forget the handle.
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        ::RemovePropW(window, kProp);
        self->m_oldProc = nullptr;
        self->m_hWnd = nullptr;
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM w, LPARAM l)
{
    Current saved = m_current;
    m_current = {msg, w, l};
    LRESULT result = 0;
    bool handled = false;
    if (msg == WM_COMMAND)
        handled = OnCommand(w, l);
    else if (msg == WM_NOTIFY)
        handled = OnNotify(w, l, &result);
    else
        handled = OnWndMsg(msg, w, l, &result);
    if (!handled)
        result = DefWindowProc(msg, w, l);
    m_current = saved;
    return result;
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.msg, m_current.w, m_current.l); }

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM w, LPARAM l)
{
    if (m_oldProc)
        return ::CallWindowProcW(m_oldProc, m_hWnd, msg, w, l);
    return ::DefWindowProcW(m_hWnd, msg, w, l);
}

bool CWnd::OnCommand(WPARAM w, LPARAM l)
{
    LRESULT result = 0;
    return OnWndMsg(WM_COMMAND, w, l, &result);
}

bool CWnd::OnNotify(WPARAM w, LPARAM l, LRESULT* result)
{
    return OnWndMsg(WM_NOTIFY, w, l, result);
}

bool CWnd::OnWndMsg(UINT msg, WPARAM w, LPARAM l, LRESULT* result)
{
    UINT code = 0, id = 0;
    if (msg == WM_COMMAND) {
        code = HIWORD(w);
        id = LOWORD(w);
    } else if (msg == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(l);
        if (!header)
            return false;
        code = header->code;
        id = static_cast<UINT>(header->idFrom);
    }
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->baseMap ? map->baseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->entries; e->sig != AfxSig_end; ++e) {
            if (e->message != msg)
                continue;
            if ((msg == WM_COMMAND || msg == WM_NOTIFY) && (e->id != id || e->code != code))
                continue;
            union {
                AFX_PMSG pfn;
                void (CWnd::*vv)();
                void (CWnd::*vt)(UINT_PTR);
                void (CWnd::*notify)(NMHDR*, LRESULT*);
                LRESULT (CWnd::*lwl)(WPARAM, LPARAM);
                void (CWnd::*vhdrop)(HDROP);
                void (CWnd::*vsys)(UINT, LPARAM);
                HCURSOR (CWnd::*hcur)();
                BOOL (CWnd::*bhdc)(HDC);
                HBRUSH (CWnd::*ctlcolor)(HDC, HWND, UINT);
                void (CWnd::*vsize)(UINT, int, int);
            } f;
            f.pfn = e->pfn;
            *result = 0;
            switch (e->sig) {
            case AfxSig_vv: (this->*f.vv)(); break;
            case AfxSig_vt: (this->*f.vt)(static_cast<UINT_PTR>(w)); break;
            case AfxSig_notify: (this->*f.notify)(reinterpret_cast<NMHDR*>(l), result); break;
            case AfxSig_lwl: *result = (this->*f.lwl)(w, l); break;
            case AfxSig_vhdrop: (this->*f.vhdrop)(reinterpret_cast<HDROP>(w)); break;
            case AfxSig_vsys: (this->*f.vsys)(static_cast<UINT>(w), l); break;
            case AfxSig_hcur: *result = reinterpret_cast<LRESULT>((this->*f.hcur)()); break;
            case AfxSig_bhdc: *result = (this->*f.bhdc)(reinterpret_cast<HDC>(w)); break;
            case AfxSig_ctlcolor:
                *result = reinterpret_cast<LRESULT>(
                    (this->*f.ctlcolor)(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l), msg));
                break;
            case AfxSig_vsize:
                (this->*f.vsize)(static_cast<UINT>(w), static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
                break;
            default: return false;
            }
            return true;
        }
    }
    return false;
}

CString CWnd::GetWindowText() const
{
    int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int n = ::GetWindowTextW(m_hWnd, &text[0], length + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return CString(text);
}

CString CWnd::GetDlgItemText(int id) const
{
    HWND item = ::GetDlgItem(m_hWnd, id);
    if (!item)
        return CString();
    int length = ::GetWindowTextLengthW(item);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int n = ::GetWindowTextW(item, &text[0], length + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return CString(text);
}

bool CWnd::DestroyWindow()
{
    HWND window = m_hWnd;
    if (!window)
        return false;
    bool ok = ::DestroyWindow(window) != 0;
    m_hWnd = nullptr;
    return ok;
}

int CWnd::MessageBox(const wchar_t* text, const wchar_t* caption, UINT type)
{
    return ::MessageBoxW(m_hWnd, text, caption, type);
}

void CWnd::CenterWindow()
{
    RECT mine, area;
    ::GetWindowRect(m_hWnd, &mine);
    HWND parent = ::GetParent(m_hWnd);
    if (parent)
        ::GetWindowRect(parent, &area);
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    int x = area.left + ((area.right - area.left) - (mine.right - mine.left)) / 2;
    int y = area.top + ((area.bottom - area.top) - (mine.bottom - mine.top)) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CWnd::UpdateData(bool saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
        return true;
    } catch (const CDataExchange::Failure&) {
        return false;
    }
}
