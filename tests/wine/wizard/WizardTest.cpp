// The wizard frame and its Begin page, run in this process: the page gate, the
// safety notice, the Cancel question, navigation, dropped files.
#include "CPageFiles.h"
#include "WineTestSupport.h"
#include "WizardFixture.h"
#include "WizardIds.h"

#include <atomic>

using wiz::Driver;

TEST_F(WizardFixture, OpensOnTheBeginPageWithOnlyNextAndItsIcon)
{
    CNOLUWizard wizard;
    std::wstring title;
    int index = -2;
    std::string back, next, help;
    HICON big = nullptr, small = nullptr, dragIcon = nullptr, pageIcon = nullptr;
    Driver driver([&] {
        HWND sheet = WaitForSheet(wizard);
        ASSERT_NE(sheet, nullptr);
        // The sheet shows its buttons enabled until the page sets them: wait for the page's own state.
        wiz::WaitUntil([&] {
            return wiz::ButtonState(wiz::NextButton(sheet)) == "enabled" &&
                   wiz::ButtonState(wiz::BackButton(sheet)) != "enabled";
        });
        title = wts::WindowText(sheet);
        index = wiz::PageIndex(sheet);
        back = wiz::ButtonState(wiz::BackButton(sheet));
        next = wiz::ButtonState(wiz::NextButton(sheet));
        help = wiz::ButtonState(GetDlgItem(sheet, IDHELP));
        big = reinterpret_cast<HICON>(SendMessageW(sheet, WM_GETICON, ICON_BIG, 0));
        small = reinterpret_cast<HICON>(SendMessageW(sheet, WM_GETICON, ICON_SMALL, 0));
        dragIcon = reinterpret_cast<HICON>(SendMessageW(sheet, WM_QUERYDRAGICON, 0, 0));
        HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        pageIcon = reinterpret_cast<HICON>(SendDlgItemMessageW(page, IDC_BEGIN_ICON, STM_GETICON, 0, 0));
        CancelConfirmed(sheet);
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_EQ(title, L"Transmora");
    EXPECT_EQ(index, 0);
    EXPECT_EQ(back, "disabled");
    EXPECT_EQ(next, "enabled");
    EXPECT_EQ(help, "hidden") << "the sheet's own Help button stays hidden";
    EXPECT_NE(wizard.m_hIcon, nullptr) << "icon 2128 missing from the resource module";
    EXPECT_EQ(big, wizard.m_hIcon);
    EXPECT_EQ(small, wizard.m_hIcon);
    EXPECT_EQ(dragIcon, wizard.m_hIcon);
    EXPECT_NE(pageIcon, nullptr) << "the Begin page shows no exclamation icon";
    EXPECT_FALSE(ProfileSaveHappened());
}

TEST_F(WizardFixture, MissingProfileKeyShowsTheNoticeAndEndsWithoutSaving)
{
    wts::RegDeleteTree(HKEY_CURRENT_USER, ProfileKey());
    CNOLUWizard wizard;
    int indexWhileShown = -2;
    HICON stopIcon = nullptr;
    bool questionAsked = false, safetyShown = false;
    Driver driver([&] {
        HWND sheet = WaitForSheet(wizard);
        ASSERT_NE(sheet, nullptr);
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        HWND notice = nullptr;
        ASSERT_TRUE(wiz::WaitUntil([&] { return (notice = wiz::FindDialogWithItem(0, IDC_RUNLORN_ICON)) != nullptr; }))
            << "no notice about the missing profile";
        indexWhileShown = wiz::PageIndex(sheet);
        stopIcon = reinterpret_cast<HICON>(SendDlgItemMessageW(notice, IDC_RUNLORN_ICON, STM_GETICON, 0, 0));
        PostMessageW(notice, WM_COMMAND, IDOK, 0);
        // The wizard must end by itself; answer anything else that shows up so a failure cannot hang.
        wiz::WaitUntil([&] {
            if (!IsWindow(sheet))
                return true;
            if (HWND box = wiz::FindMessageBox(sheet)) {
                questionAsked = true;
                PostMessageW(box, WM_COMMAND, IDYES, 0);
            }
            if (HWND safety = wiz::FindDialogWithItem(0, IDC_SAFETY_ICON)) {
                safetyShown = true;
                PostMessageW(safety, WM_COMMAND, IDCANCEL, 0);
            }
            return false;
        });
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_EQ(indexWhileShown, 0);
    EXPECT_NE(stopIcon, nullptr);
    EXPECT_FALSE(questionAsked) << "the notice ends the wizard without the Cancel question";
    EXPECT_FALSE(safetyShown);
    EXPECT_FALSE(ProfileSaveHappened());
}

TEST_F(WizardFixture, ConfirmedSafetyNoticeSavesTheProfileBeforePage2)
{
    wts::RegSetDword(HKEY_CURRENT_USER, ProfileKey() + L"\\General", L"NoStartUpDialog", 0);
    wts::RegSetString(HKEY_CURRENT_USER, ProfileKey() + L"\\Editor Configuration", L"EmergencyFont", L"romans.shx");
    wts::RegSetDword(HKEY_CURRENT_USER, ProfileKey() + L"\\Drawing Window", L"SDIMode", 3);
    CNOLUWizard wizard;
    bool savedWhileNoticeShown = true, overSheet = false;
    HICON warningIcon = nullptr;
    int index = -2;
    std::string back, next;
    Driver driver([&] {
        HWND sheet = WaitForSheet(wizard);
        ASSERT_NE(sheet, nullptr);
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        HWND safety = nullptr;
        ASSERT_TRUE(wiz::WaitUntil([&] { return (safety = wiz::FindDialogWithItem(0, IDC_SAFETY_ICON)) != nullptr; }))
            << "no safety notice";
        savedWhileNoticeShown = ProfileSaveHappened();
        RECT notice, owner;
        GetWindowRect(safety, &notice);
        GetWindowRect(sheet, &owner);
        POINT middle = {(notice.left + notice.right) / 2, (notice.top + notice.bottom) / 2};
        overSheet = PtInRect(&owner, middle) != 0;
        warningIcon = reinterpret_cast<HICON>(SendDlgItemMessageW(safety, IDC_SAFETY_ICON, STM_GETICON, 0, 0));
        PostMessageW(safety, WM_COMMAND, IDOK, 0);
        wiz::WaitUntil(
            [&] { return wiz::PageIndex(sheet) == 1 && wiz::ButtonState(wiz::BackButton(sheet)) == "enabled"; });
        index = wiz::PageIndex(sheet);
        back = wiz::ButtonState(wiz::BackButton(sheet));
        next = wiz::ButtonState(wiz::NextButton(sheet));
        CancelConfirmed(sheet);
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_FALSE(savedWhileNoticeShown) << "the profile must not be saved before the notice is confirmed";
    EXPECT_NE(warningIcon, nullptr);
    EXPECT_TRUE(overSheet) << "the notice shows away from the wizard";
    EXPECT_EQ(index, 1);
    EXPECT_EQ(back, "enabled") << "Files page with an empty drawing list";
    EXPECT_EQ(next, "disabled") << "Files page with an empty drawing list";
    EXPECT_TRUE(theApp.m_profileSaved);
    EXPECT_EQ(theApp.m_saved.DRXL, L"c:\\draxil\\support;c:\\draxil\\fonts");
    EXPECT_EQ(theApp.m_saved.NoStartUpDialog, 0);
    EXPECT_EQ(theApp.m_saved.EmergencyFont, L"romans.shx");
    EXPECT_EQ(theApp.m_saved.SDIMode, 3);
    EXPECT_EQ(theApp.m_saved.XrefLazyLoadMode, 2) << "a missing value keeps its initial value";
}

TEST_F(WizardFixture, SafetyNoticeCancelledEndsTheWizardWithoutSaving)
{
    CNOLUWizard wizard;
    bool questionAsked = false;
    Driver driver([&] {
        HWND sheet = WaitForSheet(wizard);
        ASSERT_NE(sheet, nullptr);
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        HWND safety = nullptr;
        ASSERT_TRUE(wiz::WaitUntil([&] { return (safety = wiz::FindDialogWithItem(0, IDC_SAFETY_ICON)) != nullptr; }));
        PostMessageW(safety, WM_COMMAND, IDCANCEL, 0);
        wiz::WaitUntil([&] {
            if (!IsWindow(sheet))
                return true;
            if (HWND box = wiz::FindMessageBox(sheet)) {
                questionAsked = true;
                PostMessageW(box, WM_COMMAND, IDYES, 0);
            }
            return false;
        });
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_FALSE(questionAsked);
    EXPECT_FALSE(ProfileSaveHappened());
}

TEST_F(WizardFixture, BackToTheBeginPageShowsTheNoticeAgainButKeepsTheFirstSave)
{
    CNOLUWizard wizard;
    int notices = 0;
    int indexAfterBack = -2;
    Driver driver([&] {
        HWND sheet = WaitForSheet(wizard);
        ASSERT_NE(sheet, nullptr);
        ASSERT_TRUE(PassBeginPage(sheet));
        ++notices;
        // The user's profile changes in between; the values saved first are the ones kept.
        wts::RegSetString(HKEY_CURRENT_USER, ProfileKey() + L"\\General", L"DRXL", L"c:\\changed");
        ASSERT_TRUE(PressAndWait(sheet, PSBTN_BACK, 0));
        indexAfterBack = wiz::PageIndex(sheet);
        if (PassBeginPage(sheet))
            ++notices;
        CancelConfirmed(sheet);
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_EQ(indexAfterBack, 0);
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(theApp.m_saved.DRXL, L"c:\\draxil\\support;c:\\draxil\\fonts");
}

TEST_F(WizardFixture, CancelAnsweredNoStaysAndAsksAgainForEscapeAndTheCloseBox)
{
    theApp.m_drawings = {g_drawing};
    CNOLUWizard wizard;
    std::wstring question, boxTitle;
    std::vector<int> indexes;
    bool escapeAsked = false, closeBoxAsked = false;
    Driver driver([&] {
        HWND sheet = WaitForSheet(wizard);
        ASSERT_NE(sheet, nullptr);
        ASSERT_TRUE(PassBeginPage(sheet));
        ASSERT_TRUE(PassFilesPage(sheet));

        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
        HWND box = nullptr;
        ASSERT_TRUE(wiz::WaitUntil([&] { return (box = wiz::FindMessageBox(sheet)) != nullptr; })) << "no question";
        question = wiz::StaticTexts(box);
        boxTitle = wts::WindowText(box);
        PostMessageW(box, WM_COMMAND, IDNO, 0);
        wiz::WaitUntil([&] { return !IsWindow(box); });
        indexes.push_back(wiz::PageIndex(sheet));

        wiz::PressKey(sheet, VK_ESCAPE);
        escapeAsked = wiz::WaitUntil([&] { return (box = wiz::FindMessageBox(sheet)) != nullptr; });
        if (escapeAsked) {
            PostMessageW(box, WM_COMMAND, IDNO, 0);
            wiz::WaitUntil([&] { return !IsWindow(box); });
        }
        indexes.push_back(wiz::PageIndex(sheet));

        PostMessageW(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
        closeBoxAsked = wiz::WaitUntil([&] { return (box = wiz::FindMessageBox(sheet)) != nullptr; });
        if (closeBoxAsked)
            PostMessageW(box, WM_COMMAND, IDYES, 0);
        else
            CancelConfirmed(sheet);
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_NE(question.find(L"cancel the migration"), std::wstring::npos) << "question text: " << question;
    EXPECT_EQ(boxTitle, L"Transmora");
    EXPECT_EQ(indexes, (std::vector<int>{2, 2}));
    EXPECT_TRUE(escapeAsked);
    EXPECT_TRUE(closeBoxAsked);
}

namespace {
struct PageState {
    int index;
    std::string back, next, finish;
    bool operator==(const PageState& o) const
    {
        return index == o.index && back == o.back && next == o.next && finish == o.finish;
    }
};

std::ostream& operator<<(std::ostream& out, const PageState& s)
{
    return out << "{page " << s.index << ", back " << s.back << ", next " << s.next << ", finish " << s.finish << "}";
}

// The page and its buttons once the posted button request has landed.
PageState Settled(HWND sheet, const PageState& expected)
{
    PageState now;
    wiz::WaitUntil(
        [&] {
            now = {wiz::PageIndex(sheet), wiz::ButtonState(wiz::BackButton(sheet)),
                   wiz::ButtonState(wiz::NextButton(sheet)), wiz::ButtonState(wiz::FinishButton(sheet))};
            return now == expected;
        },
        10000);
    return now;
}
}

TEST_F(WizardFixture, NextAndBackReachEveryPageInOrderAndFinishEndsIt)
{
    theApp.m_drawings = {g_drawing};
    CNOLUWizard wizard;
    std::vector<PageState> forward, backward;
    const std::vector<PageState> expectForward = {
        {1, "enabled", "enabled", "hidden"},    // Files, with a drawing
        {2, "enabled", "enabled", "hidden"},    // Options
        {3, "enabled", "enabled", "hidden"},    // Standards keeps the buttons it finds
        {4, "enabled", "enabled", "hidden"},    // Search
        {5, "enabled", "hidden", "enabled"},    // Finish
    };
    const std::vector<PageState> expectBackward = {
        {4, "enabled", "enabled", "hidden"}, {3, "enabled", "enabled", "hidden"}, {2, "enabled", "enabled", "hidden"},
        {1, "enabled", "enabled", "hidden"}, {0, "disabled", "enabled", "hidden"},
    };
    Driver driver([&] {
        HWND sheet = WaitForSheet(wizard);
        ASSERT_NE(sheet, nullptr);
        ASSERT_TRUE(PassBeginPage(sheet));
        PostMessageW(sheet, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(g_drawing)), 0);
        forward.push_back(Settled(sheet, expectForward[0]));
        for (size_t i = 1; i < expectForward.size(); ++i) {
            NextAnsweringNo(sheet, expectForward[i].index);
            forward.push_back(Settled(sheet, expectForward[i]));
        }
        for (const PageState& expected : expectBackward) {
            PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_BACK, 0);
            backward.push_back(Settled(sheet, expected));
        }
        // And forward again to Finish.
        ASSERT_TRUE(PassBeginPage(sheet));
        for (int i = 2; i <= 5; ++i)
            ASSERT_TRUE(NextAnsweringNo(sheet, i));
        Settled(sheet, expectForward[4]);
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    });
    EXPECT_EQ(wizard.DoModal(), ID_WIZFINISH);
    EXPECT_EQ(forward, expectForward);
    EXPECT_EQ(backward, expectBackward);
}

namespace {
std::atomic<int> g_drops{0};
WNDPROC g_pageProc = nullptr;

LRESULT CALLBACK CountDrops(HWND window, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_DROPFILES)
        ++g_drops;
    return CallWindowProcW(g_pageProc, window, msg, w, l);
}
}

TEST_F(WizardFixture, DroppedFilesReachOnlyTheFilesPage)
{
    theApp.m_drawings = {g_drawing};
    CNOLUWizard wizard;
    int onFiles = -1, onBegin = -1, onOptions = -1;
    bool acceptsDrops = false;
    Driver driver([&] {
        HWND sheet = WaitForSheet(wizard);
        ASSERT_NE(sheet, nullptr);
        acceptsDrops = (GetWindowLongPtrW(sheet, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
        ASSERT_TRUE(PassBeginPage(sheet));
        HWND files = wizard.m_pageFiles->m_hWnd;
        g_pageProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(files, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountDrops)));
        // Posted, as the shell does: a page that answers with a message box must not block this thread.
        PostMessageW(sheet, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(g_drawing)), 0);
        wiz::WaitUntil([] { return g_drops == 1; }, 5000);
        onFiles = g_drops;
        ASSERT_TRUE(PressAndWait(sheet, PSBTN_BACK, 0));
        PostMessageW(sheet, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(g_drawing)), 0);
        Sleep(1000);
        onBegin = g_drops;
        ASSERT_TRUE(PassBeginPage(sheet));
        ASSERT_TRUE(NextAnsweringNo(sheet, 2));
        PostMessageW(sheet, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(g_drawing)), 0);
        Sleep(1000);
        onOptions = g_drops;
        SetWindowLongPtrW(files, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pageProc));
        CancelConfirmed(sheet);
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_TRUE(acceptsDrops) << "the wizard is no drop target";
    EXPECT_EQ(onFiles, 1);
    EXPECT_EQ(onBegin, 1) << "a drop on the Begin page reached the Files page";
    EXPECT_EQ(onOptions, 1) << "a drop on the Options page reached the Files page";
}
