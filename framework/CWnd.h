// Window of the thin window layer: holds an HWND it does not own, dispatches
// messages through a static message map per class, chained to the base's.
#pragma once
#include "CString.h"

#include <commctrl.h>
#include <shellapi.h>

class CWnd;
class CDataExchange;

typedef void (CWnd::*AFX_PMSG)();

// Handler signatures a map entry may carry.
enum AfxSig {
    AfxSig_end = 0,
    AfxSig_vv,        // void f()                       commands, WM_PAINT, WM_DESTROY
    AfxSig_vt,        // void f(UINT_PTR)               WM_TIMER
    AfxSig_notify,    // void f(NMHDR*, LRESULT*)       WM_NOTIFY
    AfxSig_lwl,       // LRESULT f(WPARAM, LPARAM)      any message
    AfxSig_vhdrop,    // void f(HDROP)                  WM_DROPFILES
    AfxSig_vsys,      // void f(UINT, LPARAM)           WM_SYSCOMMAND
    AfxSig_hcur,      // HCURSOR f()                    WM_QUERYDRAGICON
    AfxSig_bhdc,      // BOOL f(HDC)                    WM_ERASEBKGND
    AfxSig_ctlcolor,  // HBRUSH f(HDC, HWND, UINT)      WM_CTLCOLOR*
    AfxSig_vsize,     // void f(UINT, int, int)         WM_SIZE
};

struct AFX_MSGMAP_ENTRY {
    UINT message;   // window message
    UINT code;      // notification code (WM_COMMAND, WM_NOTIFY)
    UINT id;        // control id (WM_COMMAND, WM_NOTIFY)
    AfxSig sig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*baseMap)();
    const AFX_MSGMAP_ENTRY* entries;
};

#define DECLARE_MESSAGE_MAP()                                                                                          \
public:                                                                                                                \
    static const AFX_MSGMAP* GetThisMessageMap();                                                                      \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                         \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }                                  \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                                    \
    {                                                                                                                  \
        typedef theClass ThisClass;                                                                                    \
        typedef baseClass TheBaseClass;                                                                                \
        (void)sizeof(ThisClass*);                                                                                      \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                                              \
    {0, 0, 0, AfxSig_end, nullptr}                                                                                     \
    }                                                                                                                  \
    ;                                                                                                                  \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries};                                         \
    return &map;                                                                                                       \
    }

#define KEST_PMSG(type, f) reinterpret_cast<AFX_PMSG>(static_cast<type>(&ThisClass::f))

#define ON_COMMAND(id, f) {WM_COMMAND, 0, (UINT)(id), AfxSig_vv, KEST_PMSG(void (CWnd::*)(), f)},
#define ON_CONTROL(code, id, f) {WM_COMMAND, (UINT)(code), (UINT)(id), AfxSig_vv, KEST_PMSG(void (CWnd::*)(), f)},
#define ON_BN_CLICKED(id, f) ON_CONTROL(BN_CLICKED, id, f)
#define ON_EN_CHANGE(id, f) ON_CONTROL(EN_CHANGE, id, f)
#define ON_EN_KILLFOCUS(id, f) ON_CONTROL(EN_KILLFOCUS, id, f)
#define ON_LBN_SELCHANGE(id, f) ON_CONTROL(LBN_SELCHANGE, id, f)
#define ON_NOTIFY(code, id, f)                                                                                         \
    {WM_NOTIFY, (UINT)(code), (UINT)(id), AfxSig_notify, KEST_PMSG(void (CWnd::*)(NMHDR*, LRESULT*), f)},
#define ON_MESSAGE(msg, f) {(UINT)(msg), 0, 0, AfxSig_lwl, KEST_PMSG(LRESULT (CWnd::*)(WPARAM, LPARAM), f)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, AfxSig_vv, KEST_PMSG(void (CWnd::*)(), OnPaint)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, AfxSig_vv, KEST_PMSG(void (CWnd::*)(), OnDestroy)},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, AfxSig_vt, KEST_PMSG(void (CWnd::*)(UINT_PTR), OnTimer)},
#define ON_WM_DROPFILES() {WM_DROPFILES, 0, 0, AfxSig_vhdrop, KEST_PMSG(void (CWnd::*)(HDROP), OnDropFiles)},
#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, 0, 0, AfxSig_vsys, KEST_PMSG(void (CWnd::*)(UINT, LPARAM), OnSysCommand)},
#define ON_WM_QUERYDRAGICON() {WM_QUERYDRAGICON, 0, 0, AfxSig_hcur, KEST_PMSG(HCURSOR (CWnd::*)(), OnQueryDragIcon)},
#define ON_WM_ERASEBKGND() {WM_ERASEBKGND, 0, 0, AfxSig_bhdc, KEST_PMSG(BOOL (CWnd::*)(HDC), OnEraseBkgnd)},
#define ON_WM_SIZE() {WM_SIZE, 0, 0, AfxSig_vsize, KEST_PMSG(void (CWnd::*)(UINT, int, int), OnSize)},
#define ON_WM_CTLCOLOR()                                                                                               \
    {WM_CTLCOLORSTATIC, 0, 0, AfxSig_ctlcolor, KEST_PMSG(HBRUSH (CWnd::*)(HDC, HWND, UINT), OnCtlColor)},              \
        {WM_CTLCOLORDLG, 0, 0, AfxSig_ctlcolor, KEST_PMSG(HBRUSH (CWnd::*)(HDC, HWND, UINT), OnCtlColor)},             \
        {WM_CTLCOLORBTN, 0, 0, AfxSig_ctlcolor, KEST_PMSG(HBRUSH (CWnd::*)(HDC, HWND, UINT), OnCtlColor)},

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // Takes over an existing control (dialog item) so its messages reach our map.
    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    // The CWnd behind a window, when it is one of ours.
    static CWnd* FromHandlePermanent(HWND window);

    // One-line wrappers.
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    CString GetWindowText() const;
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    CString GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const wchar_t* text) { ::SetDlgItemTextW(m_hWnd, id, text); }
    bool EnableWindow(bool enable = true) { return ::EnableWindow(m_hWnd, enable) != 0; }
    bool ShowWindow(int show) { return ::ShowWindow(m_hWnd, show) != 0; }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != 0; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != 0; }
    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(m_hWnd, msg, w, l); }
    bool PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(m_hWnd, msg, w, l) != 0; }
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    bool KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id) != 0; }
    void Invalidate(bool erase = true) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    bool SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags) != 0;
    }
    HICON SetIcon(HICON icon, bool big)
    {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, (LPARAM)icon));
    }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetFont(HFONT font, bool redraw = true) { SendMessage(WM_SETFONT, (WPARAM)font, redraw); }
    void DragAcceptFiles(bool accept = true) { ::DragAcceptFiles(m_hWnd, accept); }
    void CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
    UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
    void SetFocus() { ::SetFocus(m_hWnd); }
    bool DestroyWindow();
    int MessageBox(const wchar_t* text, const wchar_t* caption = nullptr, UINT type = MB_OK);
    void CenterWindow();

    // Data exchange between members and controls; false when validation failed.
    bool UpdateData(bool saveAndValidate = true);
    virtual void DoDataExchange(CDataExchange* dx) {}

    // Message dispatch: the map first, then the virtual defaults.
    virtual LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l);
    virtual bool OnCommand(WPARAM w, LPARAM l);
    virtual bool OnNotify(WPARAM w, LPARAM l, LRESULT* result);
    LRESULT Default();

protected:
    // Finds and calls a map entry; true when one handled the message.
    bool OnWndMsg(UINT msg, WPARAM w, LPARAM l, LRESULT* result);
    // What unhandled messages get: the original procedure of a subclassed window.
    virtual LRESULT DefWindowProc(UINT msg, WPARAM w, LPARAM l);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT msg, WPARAM w, LPARAM l);

    WNDPROC m_oldProc = nullptr;
    // The message being handled, for Default().
    struct Current {
        UINT msg;
        WPARAM w;
        LPARAM l;
    } m_current = {0, 0, 0};
};

// Catch-all for handlers: nothing may cross back into the system.
template <typename F> LRESULT AfxCallGuarded(F&& f, LRESULT onError = 0)
{
    try {
        return f();
    } catch (...) {
        return onError;
    }
}
