#include "CHelpDlg.h"
#include "Afx.h"
#include "CDataExchange.h"
#include "CKestNoluApp.h"
#include "HelpText.h"
#include "WizardIds.h"

namespace {
// The wizard's modal loop hands dialog keys (Tab, Enter, Escape, accelerators)
// only to the wizard; a message hook hands the help window's keys to it.
HHOOK g_keyHook = nullptr;
HWND g_keyWindow = nullptr;

LRESULT CALLBACK HelpKeys(int code, WPARAM w, LPARAM l)
{
    auto* msg = reinterpret_cast<MSG*>(l);
    if (code == HC_ACTION && w == PM_REMOVE && g_keyWindow && msg->message >= WM_KEYFIRST &&
        msg->message <= WM_KEYLAST && (msg->hwnd == g_keyWindow || ::IsChild(g_keyWindow, msg->hwnd)) &&
        ::IsDialogMessageW(g_keyWindow, msg))
        msg->message = WM_NULL;
    return ::CallNextHookEx(g_keyHook, code, w, l);
}

HANDLE LoadSized(UINT id, int cx, int cy)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(id), RT_GROUP_ICON);
    return ::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, LR_SHARED);
}
}

BEGIN_MESSAGE_MAP(CHelpDlg, CDialog)
END_MESSAGE_MAP()

CHelpDlg::CHelpDlg(CWnd* parent) : CDialog(IDD_HELP, parent) {}

CHelpDlg::~CHelpDlg()
{
    if (m_hWnd)
        DestroyWindow();
    if (m_keyboardFor && g_keyWindow == m_keyboardFor) {
        ::UnhookWindowsHookEx(g_keyHook);
        g_keyHook = nullptr;
        g_keyWindow = nullptr;
    }
    if (m_font)
        ::DeleteObject(m_font);
    if (m_bitmap)
        ::DeleteObject(m_bitmap);
}

void CHelpDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_HELP_TEXT, m_edit);
    DDX_Control(dx, IDC_HELP_BANNER, m_banner);
    DDX_Text(dx, IDC_HELP_TEXT, m_text);
}

BOOL CHelpDlg::OnInitDialog()
{
    m_text = ReadHelpText(HelpFilePath(theApp.m_hostFolder));
    CDialog::OnInitDialog();

    SendMessage(WM_SETICON, ICON_BIG,
                reinterpret_cast<LPARAM>(LoadSized(IDI_HELP_LARGE, ::GetSystemMetrics(SM_CXICON),
                                                   ::GetSystemMetrics(SM_CYICON))));
    SendMessage(WM_SETICON, ICON_SMALL,
                reinterpret_cast<LPARAM>(LoadSized(IDI_HELP_SMALL, ::GetSystemMetrics(SM_CXSMICON),
                                                   ::GetSystemMetrics(SM_CYSMICON))));

    HDC screen = ::GetDC(nullptr);
    int depth = ::GetDeviceCaps(screen, PLANES) * ::GetDeviceCaps(screen, BITSPIXEL);
    ::ReleaseDC(nullptr, screen);
    if (depth > 31)
        depth = 31;
    UINT bitmapId = (1u << depth) < 256 ? IDB_HELP_16 : IDB_HELP;
    m_bitmap = ::LoadBitmapW(AfxFindResourceHandle(MAKEINTRESOURCEW(bitmapId), RT_BITMAP), MAKEINTRESOURCEW(bitmapId));
    BITMAP record;
    if (m_bitmap && ::GetObjectW(m_bitmap, sizeof(record), &record)) {
        m_banner.SetBitmap(m_bitmap);
        LayOut(record.bmWidth);
    }
    UseHelpFont();

    if (!g_keyHook) {
        g_keyHook = ::SetWindowsHookExW(WH_GETMESSAGE, HelpKeys, nullptr, ::GetCurrentThreadId());
        if (g_keyHook) {
            g_keyWindow = m_hWnd;
            m_keyboardFor = m_hWnd;
        }
    }
    // Through the dialog manager, so that activating the window keeps the focus there.
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDCANCEL)), TRUE);
    m_edit.SetSel(0, 0);
    m_edit.SendMessage(EM_SCROLLCARET);
    return FALSE;
}

void CHelpDlg::LayOut(int bannerWidth)
{
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
    RECT window, edit;
    GetWindowRect(&window);
    m_edit.GetWindowRect(&edit);

    // Where the Close button sits from the bottom right corner of the client area.
    HWND close = GetDlgItem(IDCANCEL);
    RECT client, button;
    GetClientRect(&client);
    ::GetWindowRect(close, &button);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&button), 2);
    int fromRight = client.right - button.left;
    int fromBottom = client.bottom - button.top;

    RECT frame = {0, 0, bannerWidth + 2, window.bottom - window.top};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    SetWindowPos(nullptr, 0, 0, frame.right - frame.left + 2, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);

    RECT text = {0, 0, bannerWidth + 2, edit.bottom - edit.top};
    ::AdjustWindowRectEx(&text, style, FALSE, exStyle);
    m_edit.SetWindowPos(nullptr, 0, 0, text.right - text.left - 8, text.bottom - text.top,
                        SWP_NOMOVE | SWP_NOZORDER);

    GetClientRect(&client);
    ::SetWindowPos(close, nullptr, client.right - fromRight, client.bottom - fromBottom, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER);
}

void CHelpDlg::UseHelpFont()
{
    LOGFONTW font;
    HFONT current = m_edit.GetFont();
    if (!current || !::GetObjectW(current, sizeof(font), &font))
        return;
    CString face;
    face.LoadString(IDS_HELP_FONT);
    ::lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    m_font = ::CreateFontIndirectW(&font);
    if (m_font)
        m_edit.SetFont(m_font, true);
}

void CHelpDlg::OnOK() { ShowWindow(SW_HIDE); }

void CHelpDlg::OnCancel() { ShowWindow(SW_HIDE); }
