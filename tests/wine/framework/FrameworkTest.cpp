// The window layer driven through its real modal loops: a second thread finds
// the windows and answers them, as a user would.
#include "Afx.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "CPropertySheet.h"
#include "FrameworkTestIds.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <new>
#include <thread>

namespace {
// Runs a script on a second thread while the modal loop runs on this one.
class Driver {
public:
    explicit Driver(std::function<void()> script) : m_thread([script] { script(); }) {}
    ~Driver() { m_thread.join(); }

private:
    std::thread m_thread;
};

HWND WaitForTitle(const wchar_t* title)
{
    for (int i = 0; i < 200; ++i) {
        HWND w = FindWindowW(nullptr, title);
        if (w && IsWindowVisible(w))
            return w;
        Sleep(50);
    }
    return nullptr;
}

class CFormDlg : public CDialog {
public:
    CFormDlg() : CDialog(IDD_FORM) {}
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Text(dx, IDC_NAME, m_name);
        DDX_Text(dx, IDC_COUNT, m_count);
        DDV_MinMaxInt(dx, m_count, 1, 1440);
        DDX_Check(dx, IDC_FLAG, m_flag);
    }
    void OnPush() { ++m_pushes; }
    void OnTimer(UINT_PTR id) { m_lastTimer = id; }
    CString m_name = L"start";
    int m_count = 120;
    int m_flag = 0;
    std::atomic<int> m_pushes{0};
    std::atomic<UINT_PTR> m_lastTimer{0};
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFormDlg, CDialog)
ON_BN_CLICKED(IDC_PUSH, OnPush)
ON_WM_TIMER()
END_MESSAGE_MAP()
}

TEST(Dialog, MapHandlersTimersAndDataExchange)
{
    CFormDlg dlg;
    std::wstring seenName;
    Driver driver([&] {
        HWND w = WaitForTitle(L"Form");
        ASSERT_NE(w, nullptr);
        seenName = wts::WindowText(GetDlgItem(w, IDC_NAME));
        SendMessageW(GetDlgItem(w, IDC_PUSH), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(w, IDC_PUSH), BM_CLICK, 0, 0);
        SetTimer(w, 7, 10, nullptr);
        Sleep(300);
        KillTimer(w, 7);
        SetWindowTextW(GetDlgItem(w, IDC_NAME), L"gear housing");
        SetWindowTextW(GetDlgItem(w, IDC_COUNT), L"30");
        SendMessageW(GetDlgItem(w, IDC_FLAG), BM_CLICK, 0, 0);
        PostMessageW(w, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(seenName, L"start");   // members reached the controls at start
    EXPECT_EQ(dlg.m_pushes, 2);
    EXPECT_EQ(dlg.m_lastTimer, 7u);
    EXPECT_EQ(dlg.m_name, L"gear housing");
    EXPECT_EQ(dlg.m_count, 30);
    EXPECT_EQ(dlg.m_flag, 1);
}

TEST(Dialog, ValidationFailureKeepsTheDialogOpen)
{
    CFormDlg dlg;
    std::wstring message;
    bool stillOpen = false;
    Driver driver([&] {
        HWND w = WaitForTitle(L"Form");
        ASSERT_NE(w, nullptr);
        SetWindowTextW(GetDlgItem(w, IDC_COUNT), L"5000");
        PostMessageW(w, WM_COMMAND, IDOK, 0);
        HWND box = nullptr;
        for (int i = 0; i < 100 && !box; ++i) {
            Sleep(50);
            HWND candidate = GetLastActivePopup(w);
            if (candidate != w)
                box = candidate;
        }
        ASSERT_NE(box, nullptr);
        for (const auto& t : wts::ChildTexts(box))
            if (t.find(L"1440") != std::wstring::npos)
                message = t;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        Sleep(300);
        stillOpen = IsWindow(w) && IsWindowVisible(w);
        SetWindowTextW(GetDlgItem(w, IDC_COUNT), L"abc");
        PostMessageW(w, WM_COMMAND, IDOK, 0);
        Sleep(300);
        HWND box2 = GetLastActivePopup(w);
        if (box2 != w)
            PostMessageW(box2, WM_COMMAND, IDOK, 0);
        Sleep(300);
        PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(message, L"Please enter an integer between 1 and 1440.");
    EXPECT_TRUE(stillOpen);
}

namespace {
// A handler that runs out of memory, as one reading a huge file might.
class CGreedyDlg : public CFormDlg {
public:
    void OnGreedyPush()
    {
        ++m_pushes;
        throw std::bad_alloc();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGreedyDlg, CFormDlg)
ON_BN_CLICKED(IDC_PUSH, OnGreedyPush)
END_MESSAGE_MAP()
}

TEST(Dialog, AnAllocationFailureInAHandlerStaysInsideIt)
{
    CGreedyDlg dlg;
    bool alive = false;
    Driver driver([&] {
        HWND w = WaitForTitle(L"Form");
        ASSERT_NE(w, nullptr);
        SendMessageW(GetDlgItem(w, IDC_PUSH), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(w, IDC_PUSH), BM_CLICK, 0, 0);
        alive = IsWindow(w) && IsWindowVisible(w);
        SetWindowTextW(GetDlgItem(w, IDC_NAME), L"after");
        PostMessageW(w, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_pushes, 2);
    EXPECT_TRUE(alive);
    EXPECT_EQ(dlg.m_name, L"after");
}

namespace {
class CTestPage : public CPropertyPage {
public:
    CTestPage(UINT id, int* log) : CPropertyPage(id), m_log(log) {}
    BOOL OnSetActive() override
    {
        *m_log = *m_log * 10 + static_cast<int>(m_templateId - IDD_PAGE1 + 1);
        DWORD buttons = PSWIZB_NEXT | (m_templateId != IDD_PAGE1 ? PSWIZB_BACK : 0);
        if (m_templateId == IDD_PAGE3)
            buttons = PSWIZB_BACK | PSWIZB_FINISH;
        GetSheet()->SetWizardButtons(buttons);
        return TRUE;
    }
    LRESULT OnWizardNext() override { return m_refuseNext-- > 0 ? -1 : 0; }
    BOOL OnQueryCancel() override { return m_allowCancel; }
    int* m_log;
    int m_refuseNext = 0;
    BOOL m_allowCancel = TRUE;
};

struct Wizard {
    int log = 0;
    CTestPage one{IDD_PAGE1, &log}, two{IDD_PAGE2, &log}, three{IDD_PAGE3, &log};
    CPropertySheet sheet{IDS_SHEET};
    Wizard()
    {
        sheet.AddPage(&one);
        sheet.AddPage(&two);
        sheet.AddPage(&three);
        sheet.SetWizardMode();
    }
};

int CurrentPage(HWND sheet)
{
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    return page ? static_cast<int>(SendMessageW(sheet, PSM_HWNDTOINDEX, (WPARAM)page, 0)) : -1;
}

HWND WaitForSheet(const CPropertySheet& sheet)
{
    for (int i = 0; i < 200 && !(sheet.m_hWnd && IsWindowVisible(sheet.m_hWnd)); ++i)
        Sleep(50);
    Sleep(200);
    return sheet.m_hWnd;
}

void Press(HWND sheet, int button)
{
    PostMessageW(sheet, PSM_PRESSBUTTON, button, 0);
    Sleep(300);
}
}

TEST(Wizard, NextBackRefusalAndFinish)
{
    Wizard w;
    w.two.m_refuseNext = 1;
    std::vector<int> pages;
    std::wstring title;
    Driver driver([&] {
        HWND sheet = WaitForSheet(w.sheet);
        ASSERT_NE(sheet, nullptr);
        title = wts::WindowText(sheet);
        pages.push_back(CurrentPage(sheet));
        Press(sheet, PSBTN_NEXT);
        pages.push_back(CurrentPage(sheet));
        Press(sheet, PSBTN_NEXT);   // refused once
        pages.push_back(CurrentPage(sheet));
        Press(sheet, PSBTN_NEXT);
        pages.push_back(CurrentPage(sheet));
        Press(sheet, PSBTN_BACK);
        pages.push_back(CurrentPage(sheet));
        Press(sheet, PSBTN_NEXT);
        Press(sheet, PSBTN_FINISH);
    });
    EXPECT_EQ(w.sheet.DoModal(), ID_WIZFINISH);
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 1, 2, 1}));
    EXPECT_EQ(title, L"Test wizard");
    EXPECT_EQ(w.log, 12323);   // pages activated in this order
}

TEST(Wizard, CancelAsksThePage)
{
    Wizard w;
    w.one.m_allowCancel = FALSE;
    bool openAfterRefusedCancel = false;
    std::wstring title;
    Driver driver([&] {
        HWND sheet = WaitForSheet(w.sheet);
        ASSERT_NE(sheet, nullptr);
        title = wts::WindowText(sheet);
        Press(sheet, PSBTN_CANCEL);
        openAfterRefusedCancel = IsWindow(sheet) && IsWindowVisible(sheet);
        w.one.m_allowCancel = TRUE;
        Press(sheet, PSBTN_CANCEL);
    });
    EXPECT_EQ(w.sheet.DoModal(), IDCANCEL);
    EXPECT_TRUE(openAfterRefusedCancel);
}
