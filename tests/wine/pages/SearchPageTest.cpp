// The Search page: the folders under one root, the drawing folders added on
// every visit, typing, browsing, deleting and moving folders, and folder list
// files that load and save without loss.
#include "CPageSearch.h"
#include "KestFilenm.h"
#include "PagesFixture.h"
#include "WineTestSupport.h"
#include "StdsSearchFinishIds.h"
#include "WizardIds.h"

#include <shlobj.h>

namespace {
using Folders = std::vector<std::wstring>;

HWND Tree(HWND page) { return GetDlgItem(page, IDC_SEARCH_TREE); }

HTREEITEM Root(HWND page) { return TreeView_GetRoot(Tree(page)); }

Folders FolderTexts(HWND page) { return PagesFixture::Texts(Tree(page), Root(page)); }

HWND WaitForEdit(HWND page)
{
    HWND edit = nullptr;
    wiz::WaitUntil([&] { return (edit = TreeView_GetEditControl(Tree(page))) != nullptr; }, 10000);
    return edit;
}

// Types into the label being edited and ends the edit with Enter.
void Type(HWND page, const std::wstring& text)
{
    HWND edit = WaitForEdit(page);
    SetWindowTextW(edit, text.c_str());
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
}

void Select(HWND page, size_t child)
{
    std::vector<HTREEITEM> items = PagesFixture::Children(Tree(page), Root(page));
    if (child < items.size())
        SendMessageW(Tree(page), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[child]));
    wts::Pump(100);
}

std::string Ansi(const std::wstring& text) { return wts::Narrow(text, 1252); }
std::string Utf8(const std::wstring& text) { return wts::Narrow(text, CP_UTF8); }

// The shell's folder browser: a dialog of this process with a tree in it.
HWND WaitForBrowser()
{
    HWND found = nullptr;
    wiz::WaitUntil([&] { return (found = wiz::FindFolderBrowser(0, IDC_SEARCH_TREE)) != nullptr; });
    return found;
}

const wchar_t kSupport[] = L"c:\\draxil\\support";
const wchar_t kCyrillic[] = L"D:\\\x0427\x0435\x0440\x0442\x0435\x0436\x0438";
const wchar_t kJapanese[] = L"E:\\\x56f3\x9762\\\x90e8\x54c1";
}

class SearchPage : public PagesFixture {
protected:
    void SetUp() override
    {
        PagesFixture::SetUp();
        theApp.m_saved.DRXL = kSupport;
    }

    // Runs the pages and brings the script to the Search page.
    static INT_PTR OnSearchPage(const std::function<void(HWND sheet, HWND page)>& script)
    {
        return RunPages([&](HWND sheet) {
            ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 1)) << "the Search page did not show";
            HWND page = Page(sheet);
            wts::Pump(200);
            script(sheet, page);
        });
    }
};

TEST_F(SearchPage, ShowsTheSupportPathUnderItsRootAndAddsEachDrawingFolderOnce)
{
    theApp.m_saved.DRXL = L"C:\\Draxil\\Support;;c:\\draxil\\fonts;";
    theApp.m_drawings = {L"C:\\Jobs\\A\\one.dwg", L"c:\\jobs\\a\\TWO.dwg", L"c:\\draxil\\support\\x.dwg",
                         L"c:\\jobs\\b\\three.dwg"};
    std::wstring rootText, selected;
    Folders first, second;
    int rootImage = -1, folderImage = -1;
    bool deletable = true, movable = true;
    std::string back, next;
    OnSearchPage([&](HWND sheet, HWND page) {
        HWND tree = Tree(page);
        rootText = ItemText(tree, Root(page));
        selected = ItemText(tree, TreeView_GetSelection(tree));
        first = FolderTexts(page);
        TVITEMW tv = {};
        tv.mask = TVIF_IMAGE | TVIF_HANDLE;
        tv.hItem = Root(page);
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
        rootImage = tv.iImage;
        tv.hItem = Children(tree, Root(page))[0];
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
        folderImage = tv.iImage;
        deletable = Enabled(page, IDC_SEARCH_DELETE);
        movable = Enabled(page, IDC_SEARCH_UP) || Enabled(page, IDC_SEARCH_DOWN);
        wiz::WaitUntil([&] { return wiz::ButtonState(wiz::NextButton(sheet)) == "enabled"; });
        back = wiz::ButtonState(wiz::BackButton(sheet));
        next = wiz::ButtonState(wiz::NextButton(sheet));

        ASSERT_TRUE(Press(sheet, PSBTN_BACK, 0));
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 1));
        second = FolderTexts(page);
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 2));
    });
    Folders expected = {L"C:\\Draxil\\Support", L"", L"c:\\draxil\\fonts", L"c:\\jobs\\a\\", L"c:\\jobs\\b\\"};
    EXPECT_EQ(rootText, wts::Text(IDS_SEARCH_ROOT));
    EXPECT_EQ(selected, rootText) << "the root is selected at first";
    EXPECT_EQ(first, expected);
    EXPECT_EQ(second, expected) << "a second visit adds no folder twice";
    EXPECT_EQ(rootImage, 0);
    EXPECT_EQ(folderImage, 1);
    EXPECT_FALSE(deletable) << "the root cannot be deleted";
    EXPECT_FALSE(movable);
    EXPECT_EQ(back, "enabled");
    EXPECT_EQ(next, "enabled");
    EXPECT_EQ(theApp.m_searchFolders, expected) << "leaving the page hands the folders to the run";
}

TEST_F(SearchPage, NewTwiceMakesOneEmptyFolderAndLeavingItEmptyRemovesIt)
{
    theApp.m_saved.DRXL = L"c:\\a;c:\\b";
    size_t whileEditing = 0;
    Folders after;
    std::wstring selectedAfter;
    OnSearchPage([&](HWND, HWND page) {
        Click(page, IDC_SEARCH_NEW);
        ASSERT_NE(WaitForEdit(page), nullptr) << "New starts no edit";
        Click(page, IDC_SEARCH_NEW);
        wts::Pump(300);
        whileEditing = Children(Tree(page), Root(page)).size();
        Type(page, L"");
        wiz::WaitUntil([&] { return Children(Tree(page), Root(page)).size() == 2; });
        after = FolderTexts(page);
        selectedAfter = ItemText(Tree(page), TreeView_GetSelection(Tree(page)));
    });
    EXPECT_EQ(whileEditing, 3u);
    EXPECT_EQ(after, (Folders{L"c:\\a", L"c:\\b"}));
    EXPECT_EQ(selectedAfter, L"c:\\b") << "the folder before the removed one is selected";
}

TEST_F(SearchPage, AnExistingFolderIsTakenAsTypedWithoutAQuestion)
{
    std::wstring folder = wts::FreshDir(L"Blocks");
    HWND box = reinterpret_cast<HWND>(1);
    Folders after;
    OnSearchPage([&](HWND, HWND page) {
        Click(page, IDC_SEARCH_NEW);
        Type(page, folder);
        wiz::WaitUntil([&] { return FolderTexts(page).size() == 2 && !FolderTexts(page).back().empty(); }, 5000);
        box = WaitForMessageBox(500);
        after = FolderTexts(page);
    });
    EXPECT_EQ(box, nullptr) << BoxText(box);
    EXPECT_EQ(after, (Folders{kSupport, folder}));
}

TEST_F(SearchPage, AMissingFolderIsAskedAboutAndKeptExactlyAsTypedOnYes)
{
    std::wstring typed = L"D:\\Nowhere\\Plans";
    std::wstring question;
    Folders after;
    OnSearchPage([&](HWND, HWND page) {
        Click(page, IDC_SEARCH_NEW);
        Type(page, typed);
        HWND box = WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no question for a missing folder";
        question = BoxText(box);
        PostMessageW(box, WM_COMMAND, IDYES, 0);
        wiz::WaitUntil([&] { return FolderTexts(page).back() == typed; }, 5000);
        after = FolderTexts(page);
    });
    EXPECT_EQ(question, wts::Format(IDS_FOLDER_MISSING, L"d:\\nowhere\\plans"));
    EXPECT_EQ(after, (Folders{kSupport, typed}));
}

TEST_F(SearchPage, AnsweringNoEditsAgainWithTheRefusedTextAndEscapeThenDropsTheNewFolder)
{
    std::wstring typed = L"Q:\\Missing";
    std::wstring editText;
    DWORD selStart = 1, selEnd = 0;
    Folders whileEditing, after;
    OnSearchPage([&](HWND, HWND page) {
        Click(page, IDC_SEARCH_NEW);
        Type(page, typed);
        HWND box = WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no question for a missing folder";
        PostMessageW(box, WM_COMMAND, IDNO, 0);
        wiz::WaitUntil([&] { return !IsWindow(box); });
        HWND edit = WaitForEdit(page);
        ASSERT_NE(edit, nullptr) << "No does not edit again";
        editText = wts::WindowText(edit);
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
        whileEditing = FolderTexts(page);
        PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);
        wiz::WaitUntil([&] { return FolderTexts(page).size() == 1; }, 5000);
        after = FolderTexts(page);
    });
    EXPECT_EQ(editText, typed);
    EXPECT_EQ(selStart, 0u);
    EXPECT_EQ(selEnd, typed.size()) << "all of the text is selected";
    EXPECT_EQ(whileEditing, (Folders{kSupport, L""})) << "a refused text is not taken";
    EXPECT_EQ(after, Folders{kSupport});
}

TEST_F(SearchPage, AFolderListedAlreadyAndAFileAreAskedAbout)
{
    std::wstring folder = wts::FreshDir(L"Fonts");
    std::wstring file = folder + L"\\romans.shx";
    wts::WriteFileBytes(file, "shape");
    theApp.m_saved.DRXL = folder;
    std::wstring listedQuestion, fileQuestion;
    Folders after;
    OnSearchPage([&](HWND, HWND page) {
        Click(page, IDC_SEARCH_NEW);
        Type(page, wts::Lower(folder) + L"\\");
        HWND box = WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no question for a folder listed twice";
        listedQuestion = BoxText(box);
        PostMessageW(box, WM_COMMAND, IDYES, 0);
        wiz::WaitUntil([&] { return FolderTexts(page).size() == 2 && !FolderTexts(page)[1].empty(); }, 5000);

        Click(page, IDC_SEARCH_NEW);
        Type(page, file);
        box = WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no question for a file";
        fileQuestion = BoxText(box);
        PostMessageW(box, WM_COMMAND, IDYES, 0);
        wiz::WaitUntil([&] { return FolderTexts(page).size() == 3 && !FolderTexts(page)[2].empty(); }, 5000);
        after = FolderTexts(page);
    });
    EXPECT_EQ(listedQuestion, wts::Format(IDS_FOLDER_LISTED, wts::Lower(folder) + L"\\"));
    EXPECT_EQ(fileQuestion, wts::Format(IDS_FOLDER_IS_FILE, wts::Lower(file)));
    EXPECT_EQ(after, (Folders{folder, wts::Lower(folder) + L"\\", file}));
}

TEST_F(SearchPage, EditingAFolderWithoutChangingItAsksNothing)
{
    std::wstring folder = wts::FreshDir(L"Symbols");
    theApp.m_saved.DRXL = folder;
    HWND box = reinterpret_cast<HWND>(1);
    OnSearchPage([&](HWND, HWND page) {
        Select(page, 0);
        HTREEITEM item = Children(Tree(page), Root(page))[0];
        SendMessageW(Tree(page), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item));
        Type(page, folder);
        box = WaitForMessageBox(1500);
    });
    EXPECT_EQ(box, nullptr) << "the folder is not listed twice: " << BoxText(box);
}

TEST_F(SearchPage, MoveUpAndDownReorderWholeNamesAndAreOffAtTheEndsAndWhileEditing)
{
    std::wstring longFolder = L"c:\\" + std::wstring(400, L'x');
    theApp.m_saved.DRXL = L"c:\\a;" + longFolder + L";c:\\c";
    bool upOnFirst = true, downOnFirst = false, downOnLast = true, upOnLast = false;
    bool upWhileEditing = true, downWhileEditing = true, deleteWhileEditing = false;
    Folders afterDown, afterUp;
    OnSearchPage([&](HWND, HWND page) {
        Select(page, 0);
        upOnFirst = Enabled(page, IDC_SEARCH_UP);
        downOnFirst = Enabled(page, IDC_SEARCH_DOWN);
        Select(page, 2);
        upOnLast = Enabled(page, IDC_SEARCH_UP);
        downOnLast = Enabled(page, IDC_SEARCH_DOWN);

        Select(page, 1);
        Click(page, IDC_SEARCH_DOWN);
        wiz::WaitUntil([&] { return FolderTexts(page).back() == longFolder; }, 5000);
        afterDown = FolderTexts(page);
        Click(page, IDC_SEARCH_UP);
        Click(page, IDC_SEARCH_UP);
        wiz::WaitUntil([&] { return FolderTexts(page).front() == longFolder; }, 5000);
        afterUp = FolderTexts(page);

        Select(page, 1);
        HTREEITEM item = Children(Tree(page), Root(page))[1];
        SendMessageW(Tree(page), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item));
        WaitForEdit(page);
        wts::Pump(200);
        upWhileEditing = Enabled(page, IDC_SEARCH_UP);
        downWhileEditing = Enabled(page, IDC_SEARCH_DOWN);
        deleteWhileEditing = Enabled(page, IDC_SEARCH_DELETE);
        PostMessageW(WaitForEdit(page), WM_KEYDOWN, VK_ESCAPE, 1);
    });
    EXPECT_FALSE(upOnFirst);
    EXPECT_TRUE(downOnFirst);
    EXPECT_TRUE(upOnLast);
    EXPECT_FALSE(downOnLast);
    EXPECT_EQ(afterDown, (Folders{L"c:\\a", L"c:\\c", longFolder}));
    EXPECT_EQ(afterUp, (Folders{longFolder, L"c:\\a", L"c:\\c"}));
    EXPECT_FALSE(upWhileEditing);
    EXPECT_FALSE(downWhileEditing);
    EXPECT_TRUE(deleteWhileEditing);
}

TEST_F(SearchPage, LeavingWhileEditingEndsTheEditFirstAndTheNextPressLeaves)
{
    std::wstring folder = wts::FreshDir(L"Xrefs");
    int indexAfterFirst = -1;
    OnSearchPage([&](HWND sheet, HWND page) {
        Click(page, IDC_SEARCH_NEW);
        HWND edit = WaitForEdit(page);
        ASSERT_NE(edit, nullptr);
        SetWindowTextW(edit, folder.c_str());
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        wiz::WaitUntil([&] { return FolderTexts(page).back() == folder; }, 5000);
        wts::Pump(300);
        indexAfterFirst = wiz::PageIndex(sheet);
        EXPECT_TRUE(Press(sheet, PSBTN_NEXT, 2));
    });
    EXPECT_EQ(indexAfterFirst, 1) << "the first press only ends the edit";
    EXPECT_EQ(theApp.m_searchFolders, (Folders{kSupport, folder}));
}

TEST_F(SearchPage, NewThenBrowseCancelledLeavesNoEmptyFolder)
{
    theApp.m_saved.DRXL = L"c:\\a";
    bool browserShown = false;
    Folders after;
    OnSearchPage([&](HWND, HWND page) {
        Click(page, IDC_SEARCH_NEW);
        ASSERT_NE(WaitForEdit(page), nullptr);
        MouseClick(page, IDC_SEARCH_BROWSE);
        HWND browser = WaitForBrowser();
        browserShown = browser != nullptr;
        ASSERT_TRUE(browserShown) << "no folder browser";
        PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
        wiz::WaitUntil([&] { return !IsWindow(browser); });
        wiz::WaitUntil([&] { return FolderTexts(page).size() == 1; }, 5000);
        after = FolderTexts(page);
    });
    EXPECT_EQ(after, Folders{L"c:\\a"});
}

TEST_F(SearchPage, NewThenDeleteRemovesTheNewFolderWithoutAQuestion)
{
    theApp.m_saved.DRXL = L"c:\\a";
    HWND box = reinterpret_cast<HWND>(1);
    Folders after;
    OnSearchPage([&](HWND, HWND page) {
        Click(page, IDC_SEARCH_NEW);
        ASSERT_NE(WaitForEdit(page), nullptr);
        MouseClick(page, IDC_SEARCH_DELETE);
        wiz::WaitUntil([&] { return FolderTexts(page).size() == 1; }, 5000);
        box = WaitForMessageBox(1000);
        after = FolderTexts(page);
    });
    EXPECT_EQ(box, nullptr) << BoxText(box);
    EXPECT_EQ(after, Folders{L"c:\\a"});
}

TEST_F(SearchPage, BrowseGivesTheSelectedFolderTheChosenOne)
{
    std::wstring chosen = wts::FreshDir(L"Title Blocks");
    theApp.m_saved.DRXL = L"c:\\old;c:\\b";
    Folders after;
    OnSearchPage([&](HWND, HWND page) {
        Select(page, 0);
        Click(page, IDC_SEARCH_BROWSE);
        HWND browser = WaitForBrowser();
        ASSERT_NE(browser, nullptr) << "no folder browser";
        // The browser fills its tree after it shows: ask until the folder is the selected one.
        HWND folders = FindWindowExW(browser, nullptr, WC_TREEVIEWW, nullptr);
        std::wstring name = chosen.substr(chosen.find_last_of(L'\\') + 1);
        EXPECT_TRUE(wiz::WaitUntil([&] {
            SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
            wts::Pump(200);
            return ItemText(folders, TreeView_GetSelection(folders)) == name;
        })) << "the folder browser does not select the folder";
        PostMessageW(browser, WM_COMMAND, IDOK, 0);
        wiz::WaitUntil([&] { return FolderTexts(page)[0] != L"c:\\old"; }, 10000);
        after = FolderTexts(page);
    });
    EXPECT_EQ(after, (Folders{wts::Lower(chosen), L"c:\\b"}));
}

TEST_F(SearchPage, LoadsListsWithBlankLongAndNonAsciiLinesWithoutLoss)
{
    std::wstring folder = wts::FreshDir(L"lists");
    std::wstring longFolder = L"c:\\Projekte\\" + std::wstring(600, L'L');
    std::wstring german = L"C:\\Zeichnungen\\\x00dc" L"bersicht";
    std::wstring ansiList = folder + L"\\ansi.pth", utf8List = folder + L"\\utf8.pth";
    wts::WriteFileBytes(ansiList, Ansi(german + L"\r\n\r\n   \r\n" + longFolder + L"\r\nd:\\plans\ne:\\last"));
    wts::WriteFileBytes(utf8List, "\xEF\xBB\xBF" + Utf8(std::wstring(kCyrillic) + L"\r\n\r\n" + kJapanese + L"\r\n"));
    theApp.m_saved.DRXL = L"c:\\before";
    Folders fromAnsi, fromUtf8;
    std::wstring selected;
    OnSearchPage([&](HWND, HWND page) {
        for (auto [list, out] : {std::pair<std::wstring, Folders*>{ansiList, &fromAnsi}, {utf8List, &fromUtf8}}) {
            Folders before = FolderTexts(page);
            Click(page, IDC_SEARCH_LOAD);
            HWND dialog = WaitForDialog(wts::Text(IDS_FOLDER_LIST_LOAD));
            ASSERT_NE(dialog, nullptr) << "no load dialog";
            ChooseFile(dialog, list);
            wiz::WaitUntil([&] { return FolderTexts(page) != before; }, 10000);
            *out = FolderTexts(page);
        }
        selected = ItemText(Tree(page), TreeView_GetSelection(Tree(page)));
    });
    EXPECT_EQ(fromAnsi, (Folders{german, longFolder, L"d:\\plans", L"e:\\last"}));
    EXPECT_EQ(fromUtf8, (Folders{kCyrillic, kJapanese}));
    EXPECT_EQ(selected, wts::Text(IDS_SEARCH_ROOT));
}

TEST_F(SearchPage, SavedListsReadBackAndTurnToUtf8OnlyForNamesTheCodePageLacks)
{
    std::wstring folder = wts::FreshDir(L"saved");
    std::wstring german = L"D:\\Zeichnungen\\\x00dc" L"bersicht";
    std::wstring plain = folder + L"\\plain.pth", wide = folder + L"\\wide.pth";
    theApp.m_saved.DRXL = L"c:\\plain;" + german;
    Folders reloaded;
    OnSearchPage([&](HWND, HWND page) {
        Click(page, IDC_SEARCH_SAVE);
        HWND dialog = WaitForDialog(wts::Text(IDS_FOLDER_LIST_SAVE));
        ASSERT_NE(dialog, nullptr) << "no save dialog";
        ChooseFile(dialog, plain);
        ASSERT_TRUE(wiz::WaitUntil([&] { return wts::FileExists(plain); }));

        Click(page, IDC_SEARCH_NEW);
        Type(page, kCyrillic);
        HWND box = WaitForMessageBox();
        ASSERT_NE(box, nullptr);
        PostMessageW(box, WM_COMMAND, IDYES, 0);
        wiz::WaitUntil([&] { return FolderTexts(page).size() == 3 && !FolderTexts(page)[2].empty(); }, 5000);
        Click(page, IDC_SEARCH_SAVE);
        dialog = WaitForDialog(wts::Text(IDS_FOLDER_LIST_SAVE));
        ASSERT_NE(dialog, nullptr) << "no save dialog";
        ChooseFile(dialog, wide);
        ASSERT_TRUE(wiz::WaitUntil([&] { return wts::FileExists(wide); }));
        wts::Pump(300);

        Select(page, 0);
        Click(page, IDC_SEARCH_DELETE);
        wiz::WaitUntil([&] { return FolderTexts(page).size() == 2; }, 5000);
        Click(page, IDC_SEARCH_LOAD);
        dialog = WaitForDialog(wts::Text(IDS_FOLDER_LIST_LOAD));
        ASSERT_NE(dialog, nullptr) << "no load dialog";
        ChooseFile(dialog, wide);
        wiz::WaitUntil([&] { return FolderTexts(page).size() == 3; }, 10000);
        reloaded = FolderTexts(page);
    });
    EXPECT_EQ(wts::ReadFileBytes(plain), "c:\\plain\r\nD:\\Zeichnungen\\\xDC" "bersicht\r\n");
    EXPECT_EQ(wts::ReadFileBytes(wide),
              "\xEF\xBB\xBF" + Utf8(L"c:\\plain\r\n" + german + L"\r\n" + kCyrillic + L"\r\n"));
    EXPECT_EQ(reloaded, (Folders{L"c:\\plain", german, kCyrillic}));
}

TEST_F(SearchPage, AnUnreadableListShowsTheFileErrorThenItsOwnMessageAndKeepsTheFolders)
{
    std::wstring folder = wts::FreshDir(L"locked");
    std::wstring list = folder + L"\\busy.pth";
    wts::WriteFileBytes(list, "c:\\never\r\n");
    HANDLE lock = CreateFileW(list.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    theApp.m_saved.DRXL = L"c:\\kept";
    std::wstring fileError, ownMessage;
    Folders after;
    OnSearchPage([&](HWND, HWND page) {
        Click(page, IDC_SEARCH_LOAD);
        HWND dialog = WaitForDialog(wts::Text(IDS_FOLDER_LIST_LOAD));
        ASSERT_NE(dialog, nullptr) << "no load dialog";
        ChooseFile(dialog, list);
        HWND box = WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no file error";
        fileError = BoxText(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        wiz::WaitUntil([&] { return !IsWindow(box); });
        box = WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no message of the page";
        ownMessage = BoxText(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        wiz::WaitUntil([&] { return !IsWindow(box); });
        after = FolderTexts(page);
    });
    CloseHandle(lock);
    EXPECT_NE(fileError.find(list), std::wstring::npos) << "the file class names the file";
    EXPECT_EQ(ownMessage, wts::Format(IDS_FOLDER_LIST_UNREADABLE, list));
    EXPECT_EQ(after, Folders{L"c:\\kept"});
}
