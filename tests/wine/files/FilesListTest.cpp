// Drawing list files on the Files page (Save, Load, Add list and the unsaved-list question), Next and
// the drawing list it hands on, and what drops of folders, lists and other files add.
#include "CKestNoluApp.h"
#include "FilesFixture.h"
#include "FilesOptionsIds.h"
#include "KestDmlFile.h"
#include "ResourceIds.h"
#include "RunIds.h"
#include "RunListIds.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <algorithm>

using namespace files;

namespace {
const int kFilesPage = 1;
const int kOptionsPage = 2;

std::string Show(const std::vector<std::wstring>& v)
{
    std::wstring all;
    for (const std::wstring& s : v)
        all += L"[" + s + L"] ";
    return Narrow(all);
}

// A Unix symbolic link named name in folder, leading to target, made with the system's own ln: Wine shows
// it as a folder link (a reparse point). False when it could not be made.
bool MakeUnixLink(const std::wstring& folder, const std::wstring& name, const std::string& target)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unixFolder = toUnix ? toUnix(folder.c_str()) : nullptr;
    if (!unixFolder)
        return false;
    std::string command = "Z:\\bin\\ln -s " + target + " " + unixFolder + "/" + Narrow(name);
    HeapFree(GetProcessHeap(), 0, unixFolder);
    // Wine does not wait for a Unix process: the link is looked for until it is there.
    wts::Run(std::wstring(command.begin(), command.end()));
    return WaitUntil([&] {
        const DWORD attributes = GetFileAttributesW((folder + L"\\" + name).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    }, 10000);
}

// A drawing list file: the header, then each entry with its mark.
std::string ListFile(const std::vector<std::pair<std::string, std::wstring>>& entries)
{
    std::string bytes = wts::Narrow(Text(IDS_DML_HEADER)) + "\r\n";
    for (const auto& entry : entries)
        bytes += entry.first + wts::Narrow(entry.second) + "\r\n";
    return bytes;
}
}

TEST_F(FilesTest, SaveListWritesEveryRowAndNextThenAsksNothing)
{
    WriteDrawing(In(L"a.dwg"));
    WriteDrawing(In(L"b.dwg"));
    m_dialogs.Install();
    m_dialogs.Choose({In(L"a.dwg"), In(L"b.dwg")});
    m_dialogs.Choose({In(L"saved.dml")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(2));
        ASSERT_TRUE(WaitUntil([&] { return ui.Enabled(IDC_FILES_SAVE); }));
        ui.Click(IDC_FILES_SAVE);
        ASSERT_TRUE(WaitUntil([&] { return wts::FileExists(In(L"saved.dml")); }));
        ASSERT_TRUE(ui.Next(kOptionsPage))
            << "Next after Save: page " << ui.PageIndex() << (ui.BoxShowing() ? ", a box shows" : "");
    });
    EXPECT_EQ(wts::ReadFileBytes(In(L"saved.dml")), ListFile({{"[ ]", Shown(L"a.dwg")}, {"[ ]", Shown(L"b.dwg")}}));
    EXPECT_EQ(theApp.m_listFile, In(L"saved.dml"));
    EXPECT_EQ(theApp.m_drawings, (std::vector<std::wstring>{Shown(L"a.dwg"), Shown(L"b.dwg")}))
        << Show(theApp.m_drawings);
    std::vector<DialogSeen> seen = m_dialogs.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].title, Text(IDS_FILES_SAVE_TITLE));
    EXPECT_EQ(seen[1].filter, Text(IDS_FILES_LIST_FILTER));
    EXPECT_EQ(seen[1].defExt, L"dml");
    EXPECT_EQ(seen[1].flags & 0x6u, 0x6u) << std::hex << seen[1].flags;
}

TEST_F(FilesTest, ASaveThatCannotBeWrittenSaysSoAndKeepsTheListUnsaved)
{
    WriteDrawing(In(L"a.dwg"));
    const std::wstring nowhere = In(L"no such folder\\list.dml");
    m_dialogs.Install();
    m_dialogs.Choose({In(L"a.dwg")});
    m_dialogs.Choose({nowhere});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(1));
        ASSERT_TRUE(WaitUntil([&] { return ui.Enabled(IDC_FILES_SAVE); }));
        ui.Click(IDC_FILES_SAVE);
        // The file class says why, then the page says the list was not saved.
        Box why = ui.WaitForBox();
        EXPECT_NE(why.text.find(nowhere), std::wstring::npos) << Narrow(why.text);
        ui.Answer(why, IDOK);
        Box failed = ui.WaitForBox();
        EXPECT_EQ(failed.caption, Text(IDS_CAPTION));
        EXPECT_EQ(failed.text, Format(IDS_FILES_SAVE_FAILED, nowhere));
        EXPECT_EQ(failed.icon, LoadIconW(nullptr, IDI_ERROR));
        ui.Answer(failed, IDOK);
        EXPECT_EQ(ui.Rows(), 1);
        ui.PressWizardButton(PSBTN_NEXT);
        Box unsaved = ui.WaitForBox();
        EXPECT_EQ(unsaved.text, Text(IDS_FILES_UNSAVED)) << "the list still counts as changed";
        ui.Answer(unsaved, IDCANCEL);
    });
    EXPECT_EQ(theApp.m_listFile, L"");
}

TEST_F(FilesTest, LoadListReplacesTheRowsWithTheListsOpenDrawings)
{
    WriteDrawing(In(L"old.dwg"));
    WriteDrawing(In(L"a.dwg"));
    WriteDrawing(In(L"done.dwg"));
    WriteDrawing(In(L"capital.dwg"));
    WriteText(
        In(L"job.dml"),
        ListFile(
            {{"[x]", In(L"done.dwg")}, {"[ ]", In(L"a.dwg")}, {"[ ]", In(L"gone.dwg")}, {"[X]", In(L"capital.dwg")}}));
    m_dialogs.Install();
    m_dialogs.Choose({In(L"old.dwg")});
    m_dialogs.Choose({In(L"job.dml")});
    m_dialogs.Cancel();

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(1));
        ui.Click(IDC_FILES_LOAD);
        Box unsaved = ui.WaitForBox();
        ASSERT_EQ(unsaved.text, Text(IDS_FILES_UNSAVED));
        ui.Answer(unsaved, IDNO);
        ASSERT_TRUE(WaitUntil([&] { return ui.Cell(0, 0) == L"a"; })) << Narrow(ui.Cell(0, 0));
        ASSERT_TRUE(ui.WaitRows(3)) << Show(ui.Column(0));
        EXPECT_EQ(ui.Column(0), (std::vector<std::wstring>{L"a", L"gone", L"capital"})) << Show(ui.Column(0));
        EXPECT_EQ(ui.Cell(1, 3), Text(IDS_FILES_STATUS_MISSING));
        // Loaded rows are not changed rows: Clear all asks nothing.
        ui.Click(IDC_FILES_CLEAR);
        ASSERT_TRUE(ui.WaitRows(0));
        EXPECT_FALSE(ui.BoxShowing());
        // The list dialogs offer the list file last used.
        ui.Click(IDC_FILES_ADD_LIST);
        ASSERT_TRUE(WaitUntil([&] { return m_dialogs.SeenCount() == 3; }));
    });
    std::vector<DialogSeen> seen = m_dialogs.Seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].title, Text(IDS_FILES_LOAD_TITLE));
    EXPECT_EQ(seen[1].filter, Text(IDS_FILES_LIST_FILTER));
    EXPECT_EQ(seen[1].flags & 0x1004u, 0x1004u) << std::hex << seen[1].flags;
    EXPECT_EQ(seen[1].initialName, L"");
    EXPECT_EQ(seen[2].title, Text(IDS_FILES_ADD_LIST_TITLE));
    EXPECT_EQ(seen[2].initialName, In(L"job.dml"));
    EXPECT_EQ(theApp.m_listFile, L"") << "Clear all forgets the list file";
}

TEST_F(FilesTest, AddListAppendsTheOpenDrawingsOfAList)
{
    WriteDrawing(In(L"first.dwg"));
    WriteDrawing(In(L"second.dwg"));
    WriteText(In(L"more.dml"), ListFile({{"[ ]", In(L"second.dwg")}, {"[x]", In(L"first.dwg")}}));
    m_dialogs.Install();
    m_dialogs.Choose({In(L"first.dwg")});
    m_dialogs.Choose({In(L"more.dml")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(1));
        ui.Click(IDC_FILES_ADD_LIST);
        ASSERT_TRUE(ui.WaitRows(2));
        EXPECT_EQ(ui.Column(0), (std::vector<std::wstring>{L"first", L"second"})) << Show(ui.Column(0));
        EXPECT_FALSE(ui.BoxShowing());
    });
    EXPECT_EQ(theApp.m_listFile, L"") << "an added list is not the list of the rows";
}

TEST_F(FilesTest, AListWithUnreadableLinesLoadsTheRestAndSaysWhichWereSkipped)
{
    for (const wchar_t* name : {L"a.dwg", L"b.dwg", L"c.dwg"})
        WriteDrawing(In(name));
    // Line 3 is longer than any path, line 4 holds a NUL byte.
    std::string bytes = ListFile({{"[ ]", In(L"a.dwg")}}) + "[ ]" + std::string(40000, 'p') + ".dwg\r\n" +
                        std::string("[ ]b\0.dwg\r\n", 11) + "[ ]" + wts::Narrow(In(L"b.dwg")) + "\r\n[ ]" +
                        wts::Narrow(In(L"c.dwg"));
    WriteText(In(L"job.dml"), bytes);
    m_dialogs.Install();
    m_dialogs.Choose({In(L"job.dml")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_LOAD);
        Box skipped = ui.WaitForBox();
        CString expected;
        expected.Format(Text(IDS_FILES_LINES_SKIPPED).c_str(), In(L"job.dml").c_str(), 2, 3);
        EXPECT_EQ(skipped.text, expected.Str());
        EXPECT_EQ(skipped.caption, Text(IDS_CAPTION));
        EXPECT_EQ(skipped.icon, LoadIconW(nullptr, IDI_WARNING));
        ui.Answer(skipped, IDOK);
        ASSERT_TRUE(ui.WaitRows(3));
        EXPECT_EQ(ui.Column(0), (std::vector<std::wstring>{L"a", L"b", L"c"})) << Show(ui.Column(0));
        Sleep(300);
        EXPECT_FALSE(ui.BoxShowing()) << "one message for the list";
    });
    EXPECT_EQ(theApp.m_listFile, In(L"job.dml"));
}

TEST_F(FilesTest, AListEndedByAnEmptyLineSaysHowManyLinesWereNotRead)
{
    for (const wchar_t* name : {L"a.dwg", L"b.dwg", L"c.dwg"})
        WriteDrawing(In(name));
    // Line 3 is empty: b and c are not read, and nor are the empty lines at the end counted.
    WriteText(In(L"gap.dml"), ListFile({{"[ ]", In(L"a.dwg")}}) + "\r\n" + "[ ]" + wts::Narrow(In(L"b.dwg")) +
                                  "\r\n[x]" + wts::Narrow(In(L"c.dwg")) + "\r\n\r\n\r\n");
    m_dialogs.Install();
    m_dialogs.Choose({In(L"gap.dml")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_LOAD);
        Box early = ui.WaitForBox();
        CString expected;
        expected.Format(Text(IDS_FILES_LIST_ENDS_EARLY).c_str(), In(L"gap.dml").c_str(), 3, 2);
        EXPECT_EQ(early.text, expected.Str());
        EXPECT_EQ(early.icon, LoadIconW(nullptr, IDI_WARNING));
        ui.Answer(early, IDOK);
        ASSERT_TRUE(ui.WaitRows(1));
        Sleep(300);
        EXPECT_FALSE(ui.BoxShowing());
    });
}

TEST_F(FilesTest, AListAboveTheLimitIsRefusedWithItsNameAndTheLimit)
{
    WriteDrawing(In(L"row.dwg"));
    WriteText(In(L"huge.dml"), ListFile({{"[ ]", In(L"row.dwg")}}));
    // Zeros beyond the entry up to one byte above the limit, as a sparse file.
    HANDLE file = CreateFileW(In(L"huge.dml").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(KestDmlFile::MaxListBytes + 1);
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
    m_dialogs.Install();
    m_dialogs.Choose({In(L"huge.dml")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_LOAD);
        Box tooLarge = ui.WaitForBox();
        CString expected;
        expected.Format(Text(IDS_DML_TOO_LARGE).c_str(), In(L"huge.dml").c_str(), KestDmlFile::MaxListMegabytes);
        EXPECT_EQ(tooLarge.text, expected.Str());
        EXPECT_EQ(tooLarge.icon, LoadIconW(nullptr, IDI_ERROR));
        ui.Answer(tooLarge, IDOK);
        Sleep(300);
        EXPECT_FALSE(ui.BoxShowing()) << "one message for the list";
        EXPECT_EQ(ui.Rows(), 0);
    });
    EXPECT_EQ(theApp.m_listFile, L"");
}

TEST_F(FilesTest, AnUnreadableListKeepsTheRowsAndCountsAsSaved)
{
    WriteDrawing(In(L"row.dwg"));
    WriteText(In(L"plain.dml"), "just some text\r\n");
    m_dialogs.Install();
    m_dialogs.Choose({In(L"row.dwg")});
    m_dialogs.Choose({In(L"missing.dml")});
    m_dialogs.Choose({In(L"plain.dml")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(1));
        ui.Click(IDC_FILES_LOAD);
        Box unsaved = ui.WaitForBox();
        ASSERT_EQ(unsaved.text, Text(IDS_FILES_UNSAVED));
        ui.Answer(unsaved, IDNO);
        // The file class says why the file cannot be opened, then the page says it was not read.
        Box why = ui.WaitForBox();
        EXPECT_EQ(why.caption, Text(IDS_CAPTION));
        EXPECT_NE(why.text.find(In(L"missing.dml")), std::wstring::npos) << Narrow(why.text);
        ui.Answer(why, IDOK);
        Box failed = ui.WaitForBox();
        EXPECT_EQ(failed.text, Format(IDS_FILES_LOAD_FAILED, In(L"missing.dml")));
        EXPECT_EQ(failed.icon, LoadIconW(nullptr, IDI_ERROR));
        ui.Answer(failed, IDOK);
        EXPECT_EQ(ui.Column(0), std::vector<std::wstring>{L"row"});

        // Not a drawing list: only the page's own message. No unsaved question: the failed load cleared it.
        ui.Click(IDC_FILES_LOAD);
        Box notList = ui.WaitForBox();
        EXPECT_EQ(notList.text, Format(IDS_FILES_LOAD_FAILED, In(L"plain.dml")));
        ui.Answer(notList, IDOK);
        EXPECT_EQ(ui.Column(0), std::vector<std::wstring>{L"row"});
        ui.Click(IDC_FILES_CLEAR);
        ASSERT_TRUE(ui.WaitRows(0));
        EXPECT_FALSE(ui.BoxShowing());
    });
}

TEST_F(FilesTest, TheUnsavedListQuestionOnNext)
{
    WriteDrawing(In(L"a.dwg"));
    m_dialogs.Install();
    m_dialogs.Choose({In(L"a.dwg")});
    m_dialogs.Cancel(); // the Save dialog that Yes opens

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(1));
        ui.PressWizardButton(PSBTN_NEXT);
        Box cancel = ui.WaitForBox();
        ASSERT_EQ(cancel.text, Text(IDS_FILES_UNSAVED));
        ui.Answer(cancel, IDCANCEL);
        EXPECT_EQ(ui.PageIndex(), kFilesPage) << "Cancel";

        ui.PressWizardButton(PSBTN_NEXT);
        Box yes = ui.WaitForBox();
        ASSERT_EQ(yes.text, Text(IDS_FILES_UNSAVED));
        ui.Answer(yes, IDYES);
        ASSERT_TRUE(WaitUntil([&] { return m_dialogs.SeenCount() == 2; })) << "Yes opens the Save dialog";
        Sleep(300);
        EXPECT_EQ(ui.PageIndex(), kFilesPage) << "Yes with the Save dialog cancelled";

        ui.PressWizardButton(PSBTN_NEXT);
        Box no = ui.WaitForBox();
        ASSERT_EQ(no.text, Text(IDS_FILES_UNSAVED));
        ui.Answer(no, IDNO);
        EXPECT_TRUE(WaitUntil([&] { return ui.PageIndex() == kOptionsPage; })) << "No";
    });
    EXPECT_EQ(m_dialogs.Seen()[1].title, Text(IDS_FILES_SAVE_TITLE));
}

TEST_F(FilesTest, NextLeavesOutMissingAndReadOnlyDrawings)
{
    WriteDrawing(In(L"ok.dwg"));
    WriteDrawing(In(L"locked.dwg"));
    WriteDrawing(In(L"goes.dwg"));
    WriteDrawing(In(L"also ok.dwg"));
    m_dialogs.Install();
    m_dialogs.Choose({In(L"ok.dwg"), In(L"locked.dwg"), In(L"goes.dwg"), In(L"also ok.dwg")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(4));
        // Changed after they were added: Next reads every status again.
        SetFileAttributesW(In(L"locked.dwg").c_str(), FILE_ATTRIBUTE_READONLY);
        DeleteFileW(In(L"goes.dwg").c_str());
        ui.PressWizardButton(PSBTN_NEXT);
        Box unsaved = ui.WaitForBox();
        ASSERT_EQ(unsaved.text, Text(IDS_FILES_UNSAVED));
        ui.Answer(unsaved, IDNO);
        ASSERT_TRUE(WaitUntil([&] { return ui.PageIndex() == kOptionsPage; }));
    });
    EXPECT_EQ(theApp.m_drawings, (std::vector<std::wstring>{Shown(L"ok.dwg"), Shown(L"also ok.dwg")}))
        << Show(theApp.m_drawings);
}

TEST_F(FilesTest, NextRefusesAListWithoutAMigratableDrawing)
{
    WriteDrawing(In(L"locked.dwg"));
    WriteDrawing(In(L"goes.dwg"));
    SetFileAttributesW(In(L"locked.dwg").c_str(), FILE_ATTRIBUTE_READONLY);
    m_dialogs.Install();
    m_dialogs.Choose({In(L"locked.dwg"), In(L"goes.dwg")});

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(2));
        DeleteFileW(In(L"goes.dwg").c_str());
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(wiz::NextButton(ui.Sheet())) != 0; }))
            << "Next is enabled while there are rows";
        ui.PressWizardButton(PSBTN_NEXT);
        Box none = ui.WaitForBox();
        EXPECT_EQ(none.caption, Text(IDS_CAPTION));
        EXPECT_EQ(none.text, Text(IDS_FILES_NONE_TO_MIGRATE));
        EXPECT_EQ(none.icon, LoadIconW(nullptr, IDI_ERROR));
        ui.Answer(none, IDOK);
        Sleep(300);
        EXPECT_EQ(ui.PageIndex(), kFilesPage);
        EXPECT_FALSE(ui.BoxShowing()) << "the unsaved question follows a refused Next";
        EXPECT_EQ(ui.Column(3),
                  (std::vector<std::wstring>{Text(IDS_FILES_STATUS_READONLY), Text(IDS_FILES_STATUS_MISSING)}))
            << Show(ui.Column(3));
    });
    EXPECT_TRUE(theApp.m_drawings.empty()) << Show(theApp.m_drawings);
}

TEST_F(FilesTest, DroppedFolderAddsItsTree)
{
    MakeFolder(In(L"dropped\\inner"));
    WriteDrawing(In(L"dropped\\one.dwg"));
    WriteDrawing(In(L"dropped\\inner\\two.dwg"));
    WriteText(In(L"dropped\\inner\\readme.txt"), "x");

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Drop({In(L"dropped")});
        ASSERT_TRUE(ui.WaitRows(2));
        std::vector<std::wstring> names = ui.Column(0);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::wstring>{L"one", L"two"}));
        EXPECT_FALSE(ui.BoxShowing());
    });
}

TEST_F(FilesTest, AFolderLinkToItsOwnParentAddsEachDrawingOnce)
{
    MakeFolder(In(L"tree\\sub"));
    WriteDrawing(In(L"tree\\top.dwg"));
    WriteDrawing(In(L"tree\\sub\\inner.dwg"));
    // tree\sub\up is tree again: followed, the search would go round until the path grew too long.
    ASSERT_TRUE(MakeUnixLink(In(L"tree\\sub"), L"up", ".."));
    ASSERT_TRUE(wts::FileExists(In(L"tree\\sub\\up\\sub\\up\\top.dwg")));

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Drop({In(L"tree")});
        ASSERT_TRUE(ui.WaitRows(2));
        Sleep(1000);
        std::vector<std::wstring> folders = ui.Column(1);
        std::sort(folders.begin(), folders.end());
        EXPECT_EQ(folders, (std::vector<std::wstring>{Shown(L"tree\\"), Shown(L"tree\\sub\\")})) << Show(folders);
    });
    DeleteFileW(In(L"tree\\sub\\up").c_str());
}

TEST_F(FilesTest, DroppedListAddsItsOpenDrawings)
{
    WriteDrawing(In(L"listed.dwg"));
    WriteDrawing(In(L"done.dwg"));
    WriteText(In(L"dropped.DML"), ListFile({{"[ ]", In(L"listed.dwg")}, {"[x]", In(L"done.dwg")}}));

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Drop({In(L"dropped.DML")});
        ASSERT_TRUE(ui.WaitRows(1));
        EXPECT_EQ(ui.Cell(0, 0), L"listed");
        EXPECT_FALSE(ui.BoxShowing());
    });
}

TEST_F(FilesTest, UnsupportedDropsGiveOneMessagePerDrop)
{
    WriteText(In(L"report.txt"), "x");
    WriteText(In(L"photo.png"), "x");
    WriteDrawing(In(L"part.dwg"));

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Drop({In(L"report.txt"), In(L"photo.png"), In(L"part.dwg")});
        Box first = ui.WaitForBox();
        EXPECT_EQ(first.caption, Text(IDS_CAPTION));
        EXPECT_EQ(first.text, Format(IDS_FILES_DROP_UNKNOWN, In(L"report.txt")));
        EXPECT_EQ(first.icon, LoadIconW(nullptr, IDI_ERROR));
        ui.Answer(first, IDOK);
        ASSERT_TRUE(ui.WaitRows(1)) << "the drawing of the same drop";
        Sleep(300);
        EXPECT_FALSE(ui.BoxShowing()) << "a second message for the same drop";

        ui.Drop({In(L"photo.png")});
        Box second = ui.WaitForBox();
        EXPECT_EQ(second.text, Format(IDS_FILES_DROP_UNKNOWN, In(L"photo.png")));
        ui.Answer(second, IDOK);
    });
}

TEST_F(FilesTest, ADroppedPathLongerThanTheUsualBufferArrivesWhole)
{
    // 2,100 characters: a buffer of 2,048 would cut off the extension and turn the drawing into an unknown file.
    const std::wstring longPath = In(std::wstring(2100, L'x') + L".dwg");
    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Drop({longPath});
        ASSERT_TRUE(ui.WaitRows(1));
        EXPECT_FALSE(ui.BoxShowing());
        EXPECT_EQ(ui.Cell(0, 3), Text(IDS_FILES_STATUS_MISSING)) << "no such file";
    });
}

TEST_F(FilesTest, DropsOnTheOptionsPageChangeNothing)
{
    WriteDrawing(In(L"part.dwg"));
    WizardRun::Run(kOptionsPage, [&](WizardRun& ui) {
        ui.Drop({In(L"part.dwg")});
        Sleep(500);
        EXPECT_FALSE(ui.BoxShowing());
        ASSERT_TRUE(ui.Back(kFilesPage));
        EXPECT_EQ(ui.Rows(), 0);
    });
}
