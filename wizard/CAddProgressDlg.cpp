#include "CAddProgressDlg.h"
#include "FilesOptionsIds.h"
#include "FormatCheck.h"

namespace {
const DWORD kPumpEveryMs = 40;
const DWORD kTextEveryMs = 150;

bool IsInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

CString Text(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}
}

DWORD CAddProgressDlg::s_showAfterMs = 400;

CAddProgressDlg::CAddProgressDlg(CWnd* owner, Kind kind, int total)
    : CDialog(IDD_ADD_PROGRESS, owner), m_owner(owner), m_kind(kind), m_total(total)
{
    m_start = m_lastPump = ::GetTickCount();
}

CAddProgressDlg::~CAddProgressDlg()
{
    // The owner first, so that it becomes the active window again when this one goes.
    if (m_ownerDisabled && m_owner && m_owner->m_hWnd)
        ::EnableWindow(m_owner->m_hWnd, TRUE);
    if (m_hWnd)
        DestroyWindow();
}

bool CAddProgressDlg::Step(const wchar_t* where, int added, int second)
{
    m_added = added;
    m_second = second;
    DWORD now = ::GetTickCount();
    if (now - m_lastPump < kPumpEveryMs)
        return !m_stopped;
    m_lastPump = now;
    if (where)
        m_where = where;
    if (!m_hWnd && now - m_start >= s_showAfterMs)
        ShowWindowNow();
    if (m_hWnd && now - m_lastText >= kTextEveryMs) {
        m_lastText = now;
        UpdateTexts();
    }
    Pump();
    return !m_stopped;
}

void CAddProgressDlg::Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to take: put it back for the loop that waits for it, and stop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_stopped = true;
            return;
        }
        bool mine = m_hWnd && (msg.hwnd == m_hWnd || ::IsChild(m_hWnd, msg.hwnd));
        if (IsInput(msg.message) && !mine) {
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && m_kind == Kind::Search)
                m_stopped = true;
            continue;
        }
        if (mine && ::IsDialogMessageW(m_hWnd, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void CAddProgressDlg::ShowWindowNow()
{
    if (!Create(IDD_ADD_PROGRESS, m_owner))
        return;
    if (m_owner && m_owner->m_hWnd && ::IsWindowEnabled(m_owner->m_hWnd)) {
        ::EnableWindow(m_owner->m_hWnd, FALSE);
        m_ownerDisabled = true;
    }
    UpdateTexts();
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::UpdateWindow(m_hWnd);
}

BOOL CAddProgressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_bar.SubclassDlgItem(IDC_ADD_PROGRESS_BAR, this);
    SetDlgItemText(IDC_ADD_PROGRESS_TEXT,
                   Text(m_kind == Kind::Search ? IDS_ADD_PROGRESS_SEARCH : IDS_ADD_PROGRESS_ADD));
    if (m_kind == Kind::Search || m_total <= 0) {
        // No end is known: the bar only shows that work goes on.
        ::SetWindowLongPtrW(m_bar.m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_bar.m_hWnd, GWL_STYLE) | PBS_MARQUEE);
        m_bar.SendMessage(PBM_SETMARQUEE, TRUE, 30);
    } else {
        m_bar.SetRange(0, m_total);
    }
    // Only a search can be stopped: a list or a selection is added whole.
    if (m_kind != Kind::Search)
        ::ShowWindow(GetDlgItem(IDCANCEL), SW_HIDE);
    CenterWindow();
    return TRUE;
}

void CAddProgressDlg::OnCancel()
{
    if (m_kind == Kind::Search)
        m_stopped = true;
}

void CAddProgressDlg::UpdateTexts()
{
    SetDlgItemText(IDC_ADD_PROGRESS_PATH, m_where.c_str());
    const bool search = m_kind == Kind::Search;
    const CString format = Text(search ? IDS_ADD_PROGRESS_FOUND : IDS_ADD_PROGRESS_OF);
    const int first = search ? m_added : m_second, second = search ? m_second : m_total;
    CString count;
    if (FormatTakes(format.Str(), "dd"))
        count.Format(format, first, second);
    else
        count.Format(L"%s %d %d", static_cast<const wchar_t*>(format), first, second);
    if (!search)
        m_bar.SetPos(m_second);
    SetDlgItemText(IDC_ADD_PROGRESS_COUNT, count);
}
