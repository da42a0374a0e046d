// The help window with the host's migration notes, and the notes as text.
#include "CHelpDlg.h"
#include "HelpText.h"
#include "WineTestSupport.h"
#include "WizardFixture.h"
#include "WizardIds.h"

#include <sstream>

using wiz::Driver;
using namespace std::string_literals;

namespace {
const wchar_t kHelpTitle[] = L"Transmora Help";

std::wstring NotesOf(const std::wstring& hostFolder) { return hostFolder + L"\\migration\\dwgmigr.txt"; }

std::wstring EditText(HWND help) { return wts::WindowText(GetDlgItem(help, IDC_HELP_TEXT)); }

// The edit control's text, read in full (WindowText stops at 1024 characters).
std::wstring FullText(HWND edit)
{
    int length = GetWindowTextLengthW(edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, &text[0], length + 1)));
    return text;
}

RECT ClientRectOf(HWND window, HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
}

TEST_F(WizardFixture, HelpShowsTheInstalledNotesOnceAndAFreshWindowAfterClosing)
{
    std::wstring expected = ReadHelpText(NotesOf(g_host));
    ASSERT_GT(expected.size(), 1000u) << "HostSetup installed no notes in " << NotesOf(g_host);
    CNOLUWizard wizard;
    std::wstring text, face;
    int windowsAfterSecondRequest = -1;
    HWND focus = nullptr, closeButton = nullptr, first = nullptr, second = nullptr;
    bool firstHidden = false, firstGone = false, escapeHides = false;
    HICON big = nullptr, small = nullptr;
    RECT client = {}, edit = {}, button = {}, banner = {};
    Driver driver([&] {
        HWND sheet = WaitForSheet(wizard);
        ASSERT_NE(sheet, nullptr);
        // The Begin page's button asks the sheet for help.
        HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        PostMessageW(GetDlgItem(page, IDC_BEGIN_HELP), BM_CLICK, 0, 0);
        ASSERT_TRUE(wiz::WaitUntil([&] { return (first = wiz::FindTitled(0, kHelpTitle)) != nullptr; }))
            << "no help window";
        text = FullText(GetDlgItem(first, IDC_HELP_TEXT));
        focus = wiz::FocusOf(first);
        closeButton = GetDlgItem(first, IDCANCEL);
        big = reinterpret_cast<HICON>(SendMessageW(first, WM_GETICON, ICON_BIG, 0));
        small = reinterpret_cast<HICON>(SendMessageW(first, WM_GETICON, ICON_SMALL, 0));
        LOGFONTW font = {};
        GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(first, IDC_HELP_TEXT, WM_GETFONT, 0, 0)), sizeof(font),
                   &font);
        face = font.lfFaceName;
        GetClientRect(first, &client);
        edit = ClientRectOf(first, GetDlgItem(first, IDC_HELP_TEXT));
        button = ClientRectOf(first, closeButton);
        banner = ClientRectOf(first, GetDlgItem(first, IDC_HELP_BANNER));

        // A second request while it shows opens nothing new.
        PostMessageW(sheet, WM_COMMAND, IDHELP, 0);
        Sleep(500);
        windowsAfterSecondRequest = wiz::CountTitled(0, kHelpTitle);

        PostMessageW(first, WM_COMMAND, IDCANCEL, 0);
        firstHidden = wiz::WaitUntil([&] { return IsWindow(first) && !IsWindowVisible(first); });
        PostMessageW(sheet, WM_COMMAND, IDHELP, 0);
        wiz::WaitUntil([&] { return (second = wiz::FindTitled(0, kHelpTitle)) != nullptr; });
        firstGone = !IsWindow(first);

        // Escape closes it too, although the wizard's loop runs the keyboard.
        wiz::PressKey(second, VK_ESCAPE);
        escapeHides = wiz::WaitUntil([&] { return !IsWindowVisible(second); }, 5000);
        CancelConfirmed(sheet);
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(focus, closeButton) << "focus on the Close button";
    EXPECT_EQ(face, L"Courier New");
    EXPECT_NE(big, nullptr);
    EXPECT_NE(small, nullptr);
    EXPECT_EQ(windowsAfterSecondRequest, 1);
    EXPECT_TRUE(firstHidden) << "Close hides the window";
    EXPECT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_TRUE(firstGone) << "the hidden window is replaced, not kept";
    EXPECT_TRUE(escapeHides);
    // Laid out around the banner: everything inside the window, nothing overlapping.
    EXPECT_EQ(banner.right - banner.left, 520) << "the banner shows the bitmap at its size";
    EXPECT_GE(edit.left, 0);
    EXPECT_LE(edit.right, client.right) << "text " << edit.right << " wider than the window " << client.right;
    EXPECT_GE(edit.top, banner.bottom);
    EXPECT_LE(edit.bottom, button.top) << "the text runs into the Close button";
    EXPECT_LE(button.right, client.right);
    EXPECT_LE(button.bottom, client.bottom);
    EXPECT_GE(client.right - client.left, 520);
}

TEST_F(WizardFixture, HelpWithoutNotesOpensEmpty)
{
    theApp.m_hostFolder = wts::FreshDir(L"no-notes");
    CNOLUWizard wizard;
    std::wstring text = L"unset";
    Driver driver([&] {
        HWND sheet = WaitForSheet(wizard);
        ASSERT_NE(sheet, nullptr);
        PostMessageW(sheet, WM_COMMAND, IDHELP, 0);
        HWND help = nullptr;
        ASSERT_TRUE(wiz::WaitUntil([&] { return (help = wiz::FindTitled(0, kHelpTitle)) != nullptr; }));
        text = EditText(help);
        CancelConfirmed(sheet);
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_EQ(text, L"");
}

TEST(HelpText, EveryLineEndShowsAsOneLineBreak)
{
    auto convert = [](const std::wstring& in) {
        std::wistringstream stream(in);
        return HelpTextFromStream(stream, 1000);
    };
    EXPECT_EQ(convert(L"one\r\ntwo\r\n"), L"one\r\ntwo\r\n");
    EXPECT_EQ(convert(L"one\ntwo"), L"one\r\ntwo");
    EXPECT_EQ(convert(L"one\rtwo\r"), L"one\r\ntwo\r\n");
    EXPECT_EQ(convert(L"\n\r\n\r"), L"\r\n\r\n\r\n");
    EXPECT_EQ(convert(L"a\0b"s), L"ab") << "a NUL would end the text in the window";
    std::wistringstream big(std::wstring(5000, L'x'));
    EXPECT_EQ(HelpTextFromStream(big, 1000).size(), 1000u);
}

TEST(HelpText, FileIsReadInTheTextLocaleWhateverItsLineEnds)
{
    std::wstring dir = wts::FreshDir(L"notes");
    // "Maße" and "café" in the code page of the system language (1252 here).
    wts::WriteFileBytes(dir + L"\\crlf.txt", "Ma\xDF" "e\r\ncaf\xE9\r\n");
    wts::WriteFileBytes(dir + L"\\lf.txt", "Ma\xDF" "e\ncaf\xE9\n");
    EXPECT_EQ(ReadHelpText(dir + L"\\crlf.txt"), L"Ma\u00DFe\r\ncaf\u00E9\r\n");
    EXPECT_EQ(ReadHelpText(dir + L"\\lf.txt"), L"Ma\u00DFe\r\ncaf\u00E9\r\n");
    EXPECT_EQ(ReadHelpText(dir + L"\\missing.txt"), L"");
    EXPECT_EQ(ReadHelpText(dir), L"") << "a folder in place of the file";
    EXPECT_EQ(ReadHelpText(dir + L"\\" + std::wstring(400, L'n') + L".txt"), L"") << "an over-long path";
    EXPECT_EQ(HelpFilePath(L"C:\\Draxil"), L"C:\\Draxil\\migration\\dwgmigr.txt");
}
