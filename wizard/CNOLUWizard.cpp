#include "CNOLUWizard.h"
#include "Afx.h"
#include "CHelpDlg.h"
#include "CKestNoluApp.h"
#include "CPageBegin.h"
#include "CPageFiles.h"
#include "CPageFinish.h"
#include "CPageOptions.h"
#include "CPageSearch.h"
#include "CPageStds.h"
#include "ResourceIds.h"
#include "WizardIds.h"

BEGIN_MESSAGE_MAP(CNOLUWizard, CPropertySheet)
ON_COMMAND(IDCANCEL, OnCancelCommand)
ON_COMMAND(IDHELP, OnHelpCommand)
ON_WM_DROPFILES()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_SYSCOMMAND()
ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
ON_MESSAGE(WM_ENDSESSION, OnEndSession)
END_MESSAGE_MAP()

CNOLUWizard::CNOLUWizard()
{
    m_pageBegin = new CPageBegin(this);
    m_pageFiles = new CPageFiles(this);
    m_pageOptions = new CPageOptions(this);
    m_pageStds = new CPageStds(this);
    m_pageSearch = new CPageSearch(this);
    m_pageFinish = new CPageFinish(this);
    AddPage(m_pageBegin);
    AddPage(m_pageFiles);
    AddPage(m_pageOptions);
    AddPage(m_pageStds);
    AddPage(m_pageSearch);
    AddPage(m_pageFinish);
    m_psh.dwFlags |= PSH_WIZARD | PSH_HASHELP;
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(IDI_APP), RT_GROUP_ICON);
    m_hIcon = ::LoadIconW(module, MAKEINTRESOURCEW(IDI_APP));
}

CNOLUWizard::~CNOLUWizard()
{
    if (m_pHelpDlg) {
        if (m_pHelpDlg->m_hWnd)
            m_pHelpDlg->DestroyWindow();
        delete m_pHelpDlg;
    }
    delete m_pageBegin;
    delete m_pageFiles;
    delete m_pageOptions;
    delete m_pageStds;
    delete m_pageSearch;
    delete m_pageFinish;
}

void CNOLUWizard::RequestButtons(DWORD flags) { ::PostMessageW(m_hWnd, PSM_SETWIZBUTTONS, 0, flags); }

void CNOLUWizard::EndCancelled()
{
    m_cancelConfirmed = true;
    // Posted: the page change that asked for it finishes first.
    ::PostMessageW(m_hWnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

void CNOLUWizard::OnSheetInitialized()
{
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);
    CString title;
    title.LoadString(IDS_CAPTION);
    PropSheet_SetTitle(m_hWnd, 0, static_cast<const wchar_t*>(title));
    DragAcceptFiles(true);
    ::ShowWindow(GetDlgItem(IDHELP), SW_HIDE);
}

void CNOLUWizard::OnCancelCommand()
{
    if (m_cancelConfirmed) {
        Default();
        return;
    }
    CString question, caption;
    question.LoadString(IDS_CANCEL_QUESTION);
    caption.LoadString(IDS_CAPTION);
    if (MessageBox(question, caption, MB_YESNO | MB_ICONQUESTION) == IDYES)
        EndCancelled();
}

void CNOLUWizard::OnSysCommand(UINT id, LPARAM l)
{
    // The title bar's close box asks the same question as Cancel.
    if ((id & 0xFFF0) == SC_CLOSE && !m_cancelConfirmed) {
        OnCancelCommand();
        return;
    }
    Default();
}

void CNOLUWizard::OnHelpCommand()
{
    if (m_pHelpDlg) {
        if (m_pHelpDlg->m_hWnd && m_pHelpDlg->IsWindowVisible())
            return;
        // Closed by the user: a fresh window reads the notes again.
        if (m_pHelpDlg->m_hWnd)
            m_pHelpDlg->DestroyWindow();
        delete m_pHelpDlg;
        m_pHelpDlg = nullptr;
    }
    m_pHelpDlg = new CHelpDlg(nullptr);
    m_pHelpDlg->Create(IDD_HELP, nullptr);
}

void CNOLUWizard::OnDropFiles(HDROP drop)
{
    if (m_pageFiles->m_hWnd && GetActivePage() == m_pageFiles) {
        m_pageFiles->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
        return;
    }
    // Ignored, but the handle is ours to give back.
    ::DragFinish(drop);
}

void CNOLUWizard::OnPaint()
{
    if (!::IsIconic(m_hWnd)) {
        Default();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    int iconWidth = ::GetSystemMetrics(SM_CXICON);
    int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(&client);
    int x = (client.right - client.left - iconWidth + 1) / 2;
    int y = (client.bottom - client.top - iconHeight + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
}

HCURSOR CNOLUWizard::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_hIcon); }

// The session may end at once; the profile saved by the Begin page is restored at WM_ENDSESSION.
LRESULT CNOLUWizard::OnQueryEndSession(WPARAM, LPARAM) { return TRUE; }

LRESULT CNOLUWizard::OnEndSession(WPARAM ending, LPARAM)
{
    if (ending)
        theApp.EndSession();
    return 0;
}
