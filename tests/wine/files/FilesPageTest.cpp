// The Files page's rows: adding by the file dialog, by folder search and again in other letter case;
// sorting, removing, clearing, refreshing, the buttons that follow the rows, the preview, and the real
// file dialog.
#include "CAddProgressDlg.h"
#include "CKestNoluApp.h"
#include "CString.h"
#include "FilesFixture.h"
#include "FilesOptionsIds.h"
#include "ResourceIds.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <algorithm>

using namespace files;

namespace {
const int kFilesPage = 1;

std::vector<std::wstring> Sorted(std::vector<std::wstring> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

std::wstring Count(int rows)
{
    CString text;
    text.Format(Text(IDS_FILES_COUNT_MANY).c_str(), rows);
    return text.Str();
}

std::string Show(const std::vector<std::wstring>& v)
{
    std::wstring all;
    for (const std::wstring& s : v)
        all += L"[" + s + L"] ";
    return Narrow(all);
}
}

TEST_F(FilesTest, AddDrawingsAddsEveryChosenDrawingWithFolderReleaseAndStatus)
{
    WriteDrawing(In(L"a.dwg"));
    DrawingFile newest;
    newest.magic = "DX1032";
    WriteDrawing(In(L"Bolt.DWG"), newest);
    WriteText(In(L"notes.txt"), "not a drawing");
    WriteDrawing(In(L"locked.dwg"));
    SetFileAttributesW(In(L"locked.dwg").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteDrawing(In(L"single.dwg"));
    m_dialogs.Install();
    m_dialogs.Choose({In(L"a.dwg"), In(L"Bolt.DWG"), In(L"notes.txt"), In(L"locked.dwg")});
    m_dialogs.Choose({In(L"single.dwg")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        EXPECT_FALSE(ui.Enabled(IDC_FILES_SAVE)) << "Save list with no rows";
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(wiz::NextButton(ui.Sheet())); })) << "Next with no rows";
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(3)) << "rows: " << ui.Rows();
        EXPECT_EQ(ui.Column(0), (std::vector<std::wstring>{L"a", L"bolt", L"locked"})) << Show(ui.Column(0));
        const std::wstring folder = Lower(m_dir) + L"\\";
        EXPECT_EQ(ui.Column(1), (std::vector<std::wstring>{folder, folder, folder})) << Show(ui.Column(1));
        EXPECT_EQ(ui.Column(2), (std::vector<std::wstring>{Text(2261), Text(2281), Text(2261)})) << Show(ui.Column(2));
        EXPECT_EQ(ui.Column(3), (std::vector<std::wstring>{L"", L"", Text(IDS_FILES_STATUS_READONLY)}))
            << Show(ui.Column(3));

        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(4)) << "a single chosen file: rows " << ui.Rows();
        EXPECT_EQ(ui.Cell(3, 0), L"single");
        EXPECT_TRUE(WaitUntil([&] { return ui.Enabled(IDC_FILES_SAVE); })) << "Save list with rows";
        EXPECT_FALSE(ui.Enabled(IDC_FILES_REMOVE)) << "Remove with nothing selected";
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(wiz::NextButton(ui.Sheet())) != 0; }))
            << "Next with rows";
        EXPECT_EQ(wts::WindowText(ui.Item(IDC_FILES_COUNT)), Count(4));
    });
    std::vector<DialogSeen> seen = m_dialogs.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].title, Text(IDS_FILES_ADD_TITLE));
    EXPECT_EQ(seen[0].filter, Text(IDS_FILES_ADD_FILTER));
    EXPECT_EQ(seen[0].defExt, L"dwg");
    EXPECT_EQ(seen[0].flags & 0x1200u, 0x1200u) << std::hex << seen[0].flags;
    EXPECT_EQ(seen[0].maxFile, 81920u);
    EXPECT_EQ(seen[0].initialName, L"");
}

TEST_F(FilesTest, APathDifferingOnlyInLetterCaseAddsNothing)
{
    WriteDrawing(In(L"gear.dwg"));
    WriteDrawing(In(L"x.dwg"));
    WriteDrawing(In(L"y.dwg"));
    m_dialogs.Install();
    m_dialogs.Choose({In(L"gear.dwg")});
    // Upper-case name, upper-case extension, upper-case folder: all the same file.
    m_dialogs.Choose({In(L"GEAR.DWG"), In(L"x.dwg")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(1));
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(2)) << "rows: " << ui.Rows();
        std::wstring upperFolder = m_dir;
        CharUpperBuffW(&upperFolder[0], static_cast<DWORD>(upperFolder.size()));
        ui.Drop({upperFolder + L"\\Gear.Dwg", In(L"y.dwg")});
        ASSERT_TRUE(ui.WaitRows(3)) << "rows: " << ui.Rows();
        EXPECT_FALSE(ui.BoxShowing()) << "a duplicate is skipped without a message";
        EXPECT_EQ(ui.Column(0), (std::vector<std::wstring>{L"gear", L"x", L"y"})) << Show(ui.Column(0));
    });
}

TEST_F(FilesTest, AddFolderAddsTheVisibleDrawingsOfTheWholeTree)
{
    MakeFolder(In(L"tree\\sub\\deep"));
    MakeFolder(In(L"tree\\hidden folder"));
    MakeFolder(In(L"tree\\system folder"));
    MakeFolder(In(L"tree\\folder.dwg"));
    WriteDrawing(In(L"tree\\top.dwg"));
    WriteDrawing(In(L"tree\\readonly.dwg"));
    WriteDrawing(In(L"tree\\hidden.dwg"));
    WriteDrawing(In(L"tree\\system.dwg"));
    WriteText(In(L"tree\\notes.txt"), "text");
    WriteDrawing(In(L"tree\\template.dwt"));
    WriteDrawing(In(L"tree\\old.dwg.bak"));
    WriteDrawing(In(L"tree\\sub\\deep\\Inner.DWG"));
    WriteDrawing(In(L"tree\\hidden folder\\in-hidden.dwg"));
    WriteDrawing(In(L"tree\\system folder\\in-system.dwg"));
    WriteDrawing(In(L"tree\\folder.dwg\\in-dwg-folder.dwg"));
    SetFileAttributesW(In(L"tree\\readonly.dwg").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(In(L"tree\\hidden.dwg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(In(L"tree\\system.dwg").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesW(In(L"tree\\hidden folder").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    SetFileAttributesW(In(L"tree\\system folder").c_str(),
                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    m_dialogs.Install();
    m_dialogs.Choose({In(L"tree")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD_FOLDER);
        ASSERT_TRUE(ui.WaitRows(6)) << "rows: " << ui.Rows() << " " << Show(ui.Column(0));
        // A last look: nothing more arrives after the sixth row.
        Sleep(300);
        EXPECT_EQ(Sorted(ui.Column(0)),
                  Sorted({L"top", L"readonly", L"inner", L"in-hidden", L"in-system", L"in-dwg-folder"}))
            << Show(ui.Column(0));
        for (int row = 0; row < ui.Rows(); ++row)
            EXPECT_EQ(ui.Cell(row, 3), ui.Cell(row, 0) == L"readonly" ? Text(IDS_FILES_STATUS_READONLY) : L"")
                << Narrow(ui.Cell(row, 0));
    });
    std::vector<DialogSeen> seen = m_dialogs.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].folderBrowser);
}

TEST_F(FilesTest, ClickingAColumnTwiceSortsAscendingThenDescending)
{
    MakeFolder(In(L"a"));
    MakeFolder(In(L"b"));
    for (const wchar_t* name : {L"b\\y.dwg", L"a\\z.dwg", L"b\\x.dwg", L"a\\w.dwg"})
        WriteDrawing(In(name));
    m_dialogs.Install();
    m_dialogs.Choose({In(L"b\\y.dwg")});
    m_dialogs.Choose({In(L"a\\z.dwg"), In(L"a\\w.dwg")});
    m_dialogs.Choose({In(L"b\\x.dwg")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        for (int rows = 1; rows <= 3; ++rows) {
            ui.Click(IDC_FILES_ADD);
            ASSERT_TRUE(ui.WaitRows(rows == 3 ? 4 : rows == 2 ? 3 : 1));
        }
        // Folders a before b; equal folders fall back to the names, in the same direction.
        ui.ClickHeader(1);
        const std::vector<std::wstring> up = {L"w", L"z", L"x", L"y"};
        EXPECT_TRUE(WaitUntil([&] { return ui.Column(0) == up; }, 10000)) << "first click: " << Show(ui.Column(0));
        ui.ClickHeader(1);
        const std::vector<std::wstring> down = {L"y", L"x", L"z", L"w"};
        EXPECT_TRUE(WaitUntil([&] { return ui.Column(0) == down; }, 10000)) << "second click: " << Show(ui.Column(0));
        // Each column keeps its own direction: the name column starts ascending.
        ui.ClickHeader(0);
        const std::vector<std::wstring> names = {L"w", L"x", L"y", L"z"};
        EXPECT_TRUE(WaitUntil([&] { return ui.Column(0) == names; }, 10000)) << "name column: " << Show(ui.Column(0));
    });
}

TEST_F(FilesTest, RemovingOneRowAsksNothingRemovingSeveralAsks)
{
    for (const wchar_t* name : {L"1.dwg", L"2.dwg", L"3.dwg", L"4.dwg"})
        WriteDrawing(In(name));
    m_dialogs.Install();
    m_dialogs.Choose({In(L"1.dwg"), In(L"2.dwg"), In(L"3.dwg"), In(L"4.dwg")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(4));
        ui.Select({1});
        ASSERT_TRUE(WaitUntil([&] { return ui.Enabled(IDC_FILES_REMOVE); })) << "Remove with one row selected";
        ui.Click(IDC_FILES_REMOVE);
        ASSERT_TRUE(ui.WaitRows(3));
        EXPECT_FALSE(ui.BoxShowing());
        EXPECT_EQ(ui.Column(0), (std::vector<std::wstring>{L"1", L"3", L"4"})) << Show(ui.Column(0));

        ui.Select({0, 2});
        ASSERT_TRUE(WaitUntil([&] { return ui.Enabled(IDC_FILES_REMOVE); }));
        ui.Click(IDC_FILES_REMOVE);
        Box no = ui.WaitForBox();
        EXPECT_EQ(no.caption, Text(IDS_FILES_REMOVE_CAPTION));
        EXPECT_EQ(no.text, Text(IDS_FILES_REMOVE_QUESTION));
        EXPECT_EQ(no.icon, LoadIconW(nullptr, IDI_QUESTION));
        EXPECT_TRUE(no.hasYes && no.hasNo && !no.hasCancel);
        ui.Answer(no, IDNO);
        EXPECT_EQ(ui.Rows(), 3) << "No keeps the rows";

        ui.Click(IDC_FILES_REMOVE);
        Box yes = ui.WaitForBox();
        ASSERT_EQ(yes.text, Text(IDS_FILES_REMOVE_QUESTION));
        ui.Answer(yes, IDYES);
        ASSERT_TRUE(ui.WaitRows(1));
        EXPECT_EQ(ui.Cell(0, 0), L"3");
        EXPECT_TRUE(WaitUntil([&] { return !ui.Enabled(IDC_FILES_REMOVE); })) << "Remove with nothing selected";
    });
}

TEST_F(FilesTest, DeleteKeyRemovesTheSelectedRow)
{
    WriteDrawing(In(L"keep.dwg"));
    WriteDrawing(In(L"drop.dwg"));
    m_dialogs.Install();
    m_dialogs.Choose({In(L"keep.dwg"), In(L"drop.dwg")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(2));
        ui.Select({1});
        ui.ListKey(VK_DELETE);
        ASSERT_TRUE(ui.WaitRows(1));
        EXPECT_EQ(ui.Cell(0, 0), L"keep");
        EXPECT_FALSE(ui.BoxShowing());
    });
}

TEST_F(FilesTest, F5ReadsEveryRowsStatusAgain)
{
    WriteDrawing(In(L"goes.dwg"));
    WriteDrawing(In(L"locks.dwg"));
    WriteDrawing(In(L"stays.dwg"));
    m_dialogs.Install();
    m_dialogs.Choose({In(L"goes.dwg"), In(L"locks.dwg"), In(L"stays.dwg")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(3));
        EXPECT_EQ(ui.Column(3), (std::vector<std::wstring>{L"", L"", L""})) << Show(ui.Column(3));
        DeleteFileW(In(L"goes.dwg").c_str());
        SetFileAttributesW(In(L"locks.dwg").c_str(), FILE_ATTRIBUTE_READONLY);
        ui.ListKey(VK_F5);
        const std::vector<std::wstring> want = {Text(IDS_FILES_STATUS_MISSING), Text(IDS_FILES_STATUS_READONLY), L""};
        EXPECT_TRUE(WaitUntil([&] { return ui.Column(3) == want; }, 10000)) << Show(ui.Column(3));
    });
}

TEST_F(FilesTest, ClearAllAsksAboutTheUnsavedListThenFocusesAddDrawings)
{
    WriteDrawing(In(L"a.dwg"));
    WriteDrawing(In(L"b.dwg"));
    m_dialogs.Install();
    m_dialogs.Choose({In(L"a.dwg"), In(L"b.dwg")});
    theApp.m_listFile = L"c:\\lists\\old.dml";

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(2));
        ui.Click(IDC_FILES_CLEAR);
        Box cancel = ui.WaitForBox();
        EXPECT_EQ(cancel.caption, Text(IDS_CAPTION));
        EXPECT_EQ(cancel.text, Text(IDS_FILES_UNSAVED));
        EXPECT_EQ(cancel.icon, LoadIconW(nullptr, IDI_QUESTION));
        EXPECT_TRUE(cancel.hasYes && cancel.hasNo && cancel.hasCancel);
        ui.Answer(cancel, IDCANCEL);
        EXPECT_EQ(ui.Rows(), 2) << "Cancel keeps the rows";

        ui.Click(IDC_FILES_CLEAR);
        Box no = ui.WaitForBox();
        ASSERT_EQ(no.text, Text(IDS_FILES_UNSAVED));
        ui.Answer(no, IDNO);
        ASSERT_TRUE(ui.WaitRows(0));
        EXPECT_TRUE(WaitUntil([&] {
            GUITHREADINFO info = {sizeof info};
            GetGUIThreadInfo(GetWindowThreadProcessId(ui.Sheet(), nullptr), &info);
            return info.hwndFocus == ui.Item(IDC_FILES_ADD);
        })) << "the focus is not on Add drawings";
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(wiz::NextButton(ui.Sheet())); })) << "Next with no rows";
    });
    EXPECT_EQ(theApp.m_listFile, L"");
}

TEST_F(FilesTest, PreviewShowsTheSingleSelectedDrawing)
{
    DrawingFile pictured;
    pictured.thumbnail = true;
    pictured.magic = "DX1027";
    pictured.maintenance = 60;
    const wchar_t* names[] = {L"housing.dwg",    L"shaft.dwg",  L"cover plate.dwg", L"bearing seat.dwg",
                              L"gear wheel.dwg", L"flange.dwg", L"bracket.dwg",     L"spacer.dwg"};
    MakeFolder(In(L"gearbox\\parts"));
    for (unsigned i = 0; i < 8; ++i) {
        pictured.seed = i + 3;
        pictured.magic = i % 3 == 0 ? "DX1027" : i % 3 == 1 ? "DX1021" : "DX1018";
        WriteDrawing(In(std::wstring(L"gearbox\\parts\\") + names[i]), pictured);
    }
    SetFileAttributesW(In(L"gearbox\\parts\\spacer.dwg").c_str(), FILE_ATTRIBUTE_READONLY);
    m_dialogs.Install();
    m_dialogs.Choose({In(L"gearbox")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD_FOLDER);
        ASSERT_TRUE(ui.WaitRows(8));
        ui.ClickHeader(0);
        ASSERT_TRUE(WaitUntil([&] { return ui.Cell(0, 0) == L"bearing seat"; }, 10000)) << Narrow(ui.Cell(0, 0));
        HWND preview = ui.Item(IDC_FILES_PREVIEW);
        RECT client;
        GetClientRect(preview, &client);
        auto centre = [&] {
            HDC dc = GetDC(preview);
            COLORREF c = GetPixel(dc, client.right / 2, client.bottom / 2);
            ReleaseDC(preview, dc);
            return c;
        };
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(centre(), face) << "nothing selected";
        ui.Select({3});
        EXPECT_TRUE(WaitUntil([&] { return centre() != face; }, 10000)) << "no thumbnail for the selected drawing";
        ui.Select({3, 4});
        EXPECT_TRUE(WaitUntil([&] { return centre() == face; }, 10000)) << "two rows selected still show a picture";
    });
}

TEST_F(FilesTest, TheRealAddDrawingsDialogOpensAndCancels)
{
    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            dialog = FindWindowW(L"#32770", Text(IDS_FILES_ADD_TITLE).c_str());
            return dialog && IsWindowVisible(dialog);
        })) << "no file dialog titled "
            << Narrow(Text(IDS_FILES_ADD_TITLE));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        EXPECT_EQ(ui.Rows(), 0);
        EXPECT_EQ(ui.PageIndex(), kFilesPage);
    });
}

// A tree big enough that its search takes a while on any machine.
class LongSearch : public FilesTest {
protected:
    static constexpr int kDrawings = 3000;
    static void SetUpTestSuite()
    {
        FilesTest::SetUpTestSuite();
        s_tree = wts::FreshDir(L"files-long-search");
        DrawingFile plain;
        for (int i = 0; i < kDrawings; ++i) {
            wchar_t path[64];
            swprintf(path, 64, L"\\f%02d\\d%04d.dwg", i / 100, i);
            if (i % 100 == 0)
                MakeFolder(s_tree + std::wstring(path).substr(0, 4));
            WriteDrawing(s_tree + path, plain);
        }
    }
    static std::wstring s_tree;
};
std::wstring LongSearch::s_tree;

TEST_F(LongSearch, ShowsItsProgressWhileTheWizardWaits)
{
    CAddProgressDlg::s_showAfterMs = 0;
    m_dialogs.Install();
    m_dialogs.Choose({s_tree});
    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD_FOLDER);
        HWND progress = nullptr;
        bool sheetDisabled = false;
        EXPECT_TRUE(WaitUntil([&] {
            for (HWND w = FindWindowW(L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr))
                if (GetDlgItem(w, IDC_ADD_PROGRESS_COUNT) && IsWindowVisible(w))
                    progress = w;
            sheetDisabled = sheetDisabled || (progress && !IsWindowEnabled(ui.Sheet()));
            return progress != nullptr || ui.Rows() == kDrawings;
        })) << "rows: "
            << ui.Rows();
        EXPECT_NE(progress, nullptr) << "the search ended before its progress showed";
        EXPECT_TRUE(sheetDisabled || !progress) << "the wizard took input during the search";
        ASSERT_TRUE(ui.WaitRows(kDrawings)) << "rows: " << ui.Rows();
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(progress) && IsWindowEnabled(ui.Sheet()); }))
            << "the progress window stays, or the wizard stays disabled";
        EXPECT_EQ(wts::WindowText(ui.Item(IDC_FILES_COUNT)), Count(kDrawings));
    });
}

TEST_F(LongSearch, EscapeStopsItAndKeepsWhatWasFound)
{
    m_dialogs.Install();
    m_dialogs.Choose({s_tree});
    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD_FOLDER);
        // Queued behind the click, so the search's own message pump takes it.
        ui.ListKey(VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return m_dialogs.SeenCount() == 1; }));
        // Done once the rows stop changing.
        int rows = ui.Rows();
        for (int round = 0; round < 60; ++round) {
            Sleep(700);
            const int now = ui.Rows();
            if (now == rows)
                break;
            rows = now;
        }
        EXPECT_LT(rows, kDrawings) << "the search ran to its end";
        EXPECT_FALSE(ui.BoxShowing()) << "Escape reached the wizard's Cancel";
        EXPECT_EQ(ui.PageIndex(), kFilesPage);
        EXPECT_EQ(ui.Enabled(IDC_FILES_SAVE), rows > 0);
    });
}
