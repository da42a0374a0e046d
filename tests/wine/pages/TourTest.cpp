// Transmora.exe as a new user goes through it: the Begin page and the safety
// notice, a drawing list of 50 drawings of several releases on the Files page,
// a time-out of one minute, a standard, the search folders, a log file of
// one's own, Finish; the progress dialog runs to the end, although one drawing
// hangs the host and another makes it log an error; OK opens the log in
// notepad and the program ends with the host profile as it was. Takes the
// tour's screenshots on the way (KEST_WIZARD_SHOTS).
#include "HostKeys.h"
#include "ProgressIds.h"
#include "StdsSearchFinishIds.h"
#include "WineTestSupport.h"
#include "WizardIds.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

namespace {
// Files and Options pages: their controls and texts.
const int kFilesList = 2000;
const int kFilesLoad = 2013;
const UINT kFilesLoadTitle = 2019;
const int kOptionsTimeout = 2035;
const UINT kDmlHeader = 2024;

const wchar_t kSupportPath[] = L"c:\\draxil\\support;c:\\draxil\\fonts";
const char kHangFault[] = "hang";
const char kLogErrorFault[] = "logerror:ERROR: cannot open the external reference rollers.dwg";

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::string LowerA(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return text;
}

class Tour : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_language = LoadLibraryW(wts::ResourceModulePath().c_str());
        ASSERT_NE(s_language, nullptr) << "no resource module in the bin folder";
        // Window frames drawn by Wine itself: the suite's display has no window manager.
        wts::RegSetString(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Decorated", L"N");
    }

    static std::wstring Text(UINT id)
    {
        wchar_t* text = nullptr;
        int n = LoadStringW(s_language, id, reinterpret_cast<wchar_t*>(&text), 0);
        return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
    }

    static std::string Line(UINT id, int number)
    {
        wchar_t buffer[512];
        swprintf(buffer, 512, Text(id).c_str(), number);
        return wts::Narrow(buffer);
    }

    // The tree of drawings: a template per release, copied; two drawings with a fault.
    struct Drawing {
        std::wstring path;
        std::string magic;
        bool fault;
    };
    std::vector<Drawing> MakeDrawings(const std::wstring& root)
    {
        const char* releases[] = {"DX1012", "DX1015", "DX1018", "DX1021", "DX1027"};
        const wchar_t* folders[] = {L"Gearbox\\Housing", L"Gearbox\\Shafts", L"Conveyor", L"Conveyor\\Belts 2019",
                                    L"Electrical", L"Frames"};
        for (const wchar_t* folder : folders)
            SHCreateDirectoryExW(nullptr, (root + L"\\" + folder).c_str(), nullptr);
        std::wstring maker = Quoted(wts::BinDir() + L"\\MakeDrawing.exe");
        std::vector<std::wstring> templates;
        for (size_t r = 0; r < 5; ++r) {
            std::wstring file = root + L"\\release-" + std::to_wstring(r) + L".tmpl";
            std::wstring magic(releases[r], releases[r] + 6);
            std::wstring thumb = L" --thumb 160x120x8,rle,sheet,seed=" + std::to_wstring(r + 3);
            EXPECT_EQ(wts::Run(maker + L" --magic " + magic + thumb + L" " + Quoted(file)), 0);
            templates.push_back(file);
        }
        std::vector<Drawing> drawings;
        for (int i = 0; i < 48; ++i) {
            size_t r = static_cast<size_t>(i) % 5;
            wchar_t name[64];
            swprintf(name, 64, L"\\part %02d.dwg", i + 1);
            std::wstring path = root + L"\\" + folders[static_cast<size_t>(i / 8)] + name;
            EXPECT_TRUE(CopyFileW(templates[r].c_str(), path.c_str(), FALSE));
            drawings.push_back({path, releases[r], false});
        }
        std::wstring hang = root + L"\\Conveyor\\jammed roller.dwg";
        std::wstring error = root + L"\\Electrical\\panel 3.dwg";
        std::wstring faultHang(kHangFault, kHangFault + sizeof(kHangFault) - 1);
        std::wstring faultError(kLogErrorFault, kLogErrorFault + sizeof(kLogErrorFault) - 1);
        EXPECT_EQ(wts::Run(maker + L" --magic DX1021 --fault " + Quoted(faultHang) + L" " + Quoted(hang)), 0);
        EXPECT_EQ(wts::Run(maker + L" --magic DX1018 --fault " + Quoted(faultError) + L" " + Quoted(error)), 0);
        // The faulty ones among the others, so that the run goes on after each.
        drawings.insert(drawings.begin() + 12, {hang, "DX1021", true});
        drawings.insert(drawings.begin() + 30, {error, "DX1018", true});
        for (const std::wstring& file : templates)
            DeleteFileW(file.c_str());
        return drawings;
    }

    std::wstring WriteList(const std::wstring& path, const std::vector<Drawing>& drawings)
    {
        std::string text = wts::Narrow(Text(kDmlHeader)) + "\r\n";
        for (const Drawing& d : drawings)
            text += "[ ]" + wts::Narrow(d.path) + "\r\n";
        wts::WriteFileBytes(path, text);
        return path;
    }

    static HWND Page(HWND sheet)
    {
        return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    }

    static void Command(HWND page, int id)
    {
        PostMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }

    // Answers an unexpected question of the program so that the tour cannot hang; true when there was one.
    static bool AnswerQuestion(DWORD pid, HWND sheet, int answer)
    {
        HWND box = wiz::FindMessageBox(sheet);
        if (!box)
            return false;
        ADD_FAILURE() << "unexpected message: " << wts::Narrow(wts::WindowText(GetDlgItem(box, 0xFFFF)));
        PostMessageW(box, WM_COMMAND, answer, 0);
        return true;
    }

    static bool Next(HWND sheet, int expectedIndex)
    {
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        return wiz::WaitUntil([&] { return wiz::PageIndex(sheet) == expectedIndex; }, 30000);
    }

    static HMODULE s_language;
};

HMODULE Tour::s_language = nullptr;
}

TEST_F(Tour, FromTheBeginPageThroughAFinishedRunToTheLogInNotepad)
{
    // A host, its profile as a user has it, and no settings of an earlier job.
    std::wstring host = wts::FreshDir(L"tour-host");
    ASSERT_EQ(wts::InstallHost(host), 0);
    ResetHostKeysForTest();
    UseBatchProfile();
    std::wstring profile = GetProfileKeyPath(), product = GetProductKeyPath();
    wts::RegSetString(HKEY_CURRENT_USER, profile + L"\\General", L"DRXL", kSupportPath);
    wts::RegSetDword(HKEY_CURRENT_USER, profile + L"\\Drawing Window", L"SDIMode", 0);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, (profile + L"\\Editor Configuration").c_str(), L"XrefLazyLoadMode");
    wts::RegDeleteTree(HKEY_CURRENT_USER, product + L"\\Migration");
    wts::RegDeleteTree(HKEY_CURRENT_USER, product + L"\\BOM Migration");
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring migrated = std::wstring(temp) + L"MIGRATED.TXT";
    DeleteFileW(migrated.c_str());

    std::wstring plant = wts::FreshDir(L"Plant 7");
    std::vector<Drawing> drawings = MakeDrawings(plant);
    ASSERT_EQ(drawings.size(), 50u);
    std::wstring list = WriteList(plant + L"\\plant 7.dml", drawings);
    std::wstring log = plant + L"\\plant 7 migration.log";

    HANDLE process = wts::Start(Quoted(wts::BinDir() + L"\\Transmora.exe"));
    ASSERT_NE(process, nullptr);
    DWORD pid = GetProcessId(process);
    struct EndOnExit {
        HANDLE process;
        ~EndOnExit()
        {
            if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
                TerminateProcess(process, 1);
            CloseHandle(process);
        }
    } guard = {process};

    // Begin page and the safety notice.
    HWND sheet = nullptr;
    ASSERT_TRUE(wiz::WaitUntil([&] {
        sheet = wiz::FindTitled(pid, Text(2001));
        return sheet && wiz::PageIndex(sheet) == 0 && wiz::ButtonState(wiz::NextButton(sheet)) == "enabled";
    }, 60000)) << "Transmora.exe shows no wizard";
    wiz::Screenshot(L"tour-1-begin.png", {sheet});
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    HWND safety = nullptr;
    ASSERT_TRUE(wiz::WaitUntil([&] { return (safety = wiz::FindDialogWithItem(pid, IDC_SAFETY_ICON)) != nullptr; }))
        << "no safety notice";
    PostMessageW(safety, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(wiz::WaitUntil([&] { return wiz::PageIndex(sheet) == 1; })) << "no Files page";

    // Files: the drawing list, loaded.
    HWND page = Page(sheet);
    HWND rows = GetDlgItem(page, kFilesList);
    ASSERT_TRUE(rows && GetDlgItem(page, kFilesLoad)) << "no drawing list or Load list button on the Files page";
    Command(page, kFilesLoad);
    ASSERT_TRUE(wiz::ChooseFile(pid, Text(kFilesLoadTitle), list)) << "no Load list dialog";
    ASSERT_TRUE(wiz::WaitUntil([&] { return ListView_GetItemCount(rows) == 50; }, 60000))
        << ListView_GetItemCount(rows) << " rows";
    PostMessageW(rows, WM_KEYDOWN, VK_DOWN, 1);
    wts::Pump(500);
    wiz::Screenshot(L"tour-2-files.png", {sheet});
    ASSERT_TRUE(Next(sheet, 2)) << "page " << wiz::PageIndex(sheet);

    // Options: one minute per drawing.
    page = Page(sheet);
    SendDlgItemMessageW(page, kOptionsTimeout, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    wiz::Screenshot(L"tour-3-options.png", {sheet});
    ASSERT_TRUE(Next(sheet, 3)) << "page " << wiz::PageIndex(sheet);

    // Standards: the third one, with the balloons brought to it.
    page = Page(sheet);
    HWND standards = GetDlgItem(page, IDC_STDS_TREE);
    HTREEITEM item = TreeView_GetRoot(standards);
    item = TreeView_GetNextSibling(standards, TreeView_GetNextSibling(standards, item));
    SendMessageW(standards, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    SendDlgItemMessageW(page, IDC_STDS_BALLOONS, BM_CLICK, 0, 0);
    wiz::Screenshot(L"tour-4-standards.png", {sheet});
    ASSERT_TRUE(Next(sheet, 4)) << "page " << wiz::PageIndex(sheet);

    // Search: the support path and the six folders of the drawings under one root.
    page = Page(sheet);
    UINT searchItems = TreeView_GetCount(GetDlgItem(page, IDC_SEARCH_TREE));
    wiz::Screenshot(L"tour-5-search.png", {sheet});
    ASSERT_TRUE(Next(sheet, 5)) << "page " << wiz::PageIndex(sheet);
    EXPECT_EQ(searchItems, 1u + 2u + 6u);

    // Finish: a log file of one's own, then Finish.
    page = Page(sheet);
    Command(page, IDC_FINISH_BROWSE);
    ASSERT_TRUE(wiz::ChooseFile(pid, Text(IDS_LOG_DIALOG_TITLE), log)) << "no log file dialog";
    HWND shownLog = GetDlgItem(page, IDC_FINISH_LOG_PATH);
    EXPECT_TRUE(wiz::WaitUntil([&] { return wts::Lower(wts::WindowText(shownLog)).find(L"migration.log") !=
                                            std::wstring::npos; }))
        << wts::Narrow(wts::WindowText(shownLog));
    wiz::Screenshot(L"tour-6-finish.png", {sheet});
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);

    // The run, to its end.
    HWND progress = nullptr;
    ASSERT_TRUE(wiz::WaitUntil([&] {
        AnswerQuestion(pid, sheet, IDOK);
        return (progress = wiz::FindDialogWithItem(pid, IDC_PROGRESS_BAR)) != nullptr;
    }, 60000)) << "no progress dialog";
    std::wstring finished = Text(IDS_MIGRATE_FINISHED);
    bool done = wiz::WaitUntil([&] {
        return wts::WindowText(GetDlgItem(progress, IDC_PROGRESS_STATUS)) == finished &&
               IsWindowEnabled(GetDlgItem(progress, IDOK));
    }, 300000);
    ASSERT_TRUE(done) << "the run did not finish; status: "
                      << wts::Narrow(wts::WindowText(GetDlgItem(progress, IDC_PROGRESS_STATUS))) << ", drawing "
                      << wts::Narrow(wts::WindowText(GetDlgItem(progress, IDC_PROGRESS_CURRENT)));
    std::wstring count = wts::WindowText(GetDlgItem(progress, IDC_PROGRESS_COUNT));
    std::wstring current = wts::WindowText(GetDlgItem(progress, IDC_PROGRESS_CURRENT));
    int bar = static_cast<int>(SendDlgItemMessageW(progress, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
    wiz::Screenshot(L"tour-7-progress.png", {progress});

    // OK: the log in notepad, and the program ends.
    PostMessageW(progress, WM_COMMAND, IDOK, 0);
    std::wstring logName = log.substr(log.find_last_of(L'\\') + 1);
    EXPECT_TRUE(wiz::WaitUntil([&] { return !wiz::Notepads(logName).empty(); }, 60000)) << "notepad shows no log";
    ASSERT_EQ(WaitForSingleObject(process, 60000), WAIT_OBJECT_0) << "Transmora.exe did not end";
    DWORD code = 99;
    GetExitCodeProcess(process, &code);
    for (HWND notepad : wiz::Notepads(logName))
        PostMessageW(notepad, WM_CLOSE, 0, 0);

    EXPECT_EQ(code, 0u);
    EXPECT_EQ(count, L"50");
    EXPECT_EQ(current, L"50") << "the finished run shows its last drawing";
    EXPECT_EQ(bar, 100);

    // The log: the time-out, the error line, and the summary.
    std::string text = wts::ReadFileBytes(log);
    EXPECT_EQ(wts::Count(text, wts::Narrow(Text(2039))), 1u) << "the run's title";
    EXPECT_EQ(wts::Count(text, Line(2027, 1)), 1u) << "the hanging host ended after one minute";
    EXPECT_EQ(wts::Count(text, wts::Narrow(Text(2075))), 1u) << "the host that logged an error ended";
    EXPECT_EQ(wts::Count(text, "** \"" + std::string(kLogErrorFault + 9)), 1u) << "the error line quoted";
    EXPECT_EQ(wts::Count(text, Line(2062, 50)), 1u);
    EXPECT_EQ(wts::Count(text, Line(2063, 48)), 1u);
    EXPECT_EQ(wts::Count(text, Line(2064, 2)), 1u);

    // MIGRATED.TXT, the drawings themselves, and the marks of the list.
    std::string done48 = wts::ReadFileBytes(migrated);
    std::string marks = wts::ReadFileBytes(list);
    for (const Drawing& d : drawings) {
        std::string path = wts::Narrow(d.path);
        std::string head = wts::ReadFileBytes(d.path).substr(0, 6);
        if (d.fault) {
            EXPECT_EQ(wts::Count(LowerA(done48), LowerA(path)), 0u) << path;
            EXPECT_EQ(head, d.magic) << path << " is left as it was";
            EXPECT_EQ(wts::Count(marks, "[ ]" + path + "\r\n"), 1u) << path;
        } else {
            EXPECT_EQ(wts::Count(LowerA(done48), LowerA(path) + "\r\n"), 1u) << path;
            EXPECT_EQ(head, "DX1032") << path << " is saved in the current release";
            EXPECT_EQ(wts::Count(marks, "[x]" + path + "\r\n"), 1u) << path;
        }
    }
    EXPECT_EQ(wts::Count(done48, "\r\n"), 48u);

    // The profile as it was, the job's settings stored, the standard named for the host.
    std::wstring support, standard, storedLog;
    DWORD sdi = 9, timeout = 0, symbolStd = 9, quenbar = 9, logFlags = 0;
    EXPECT_TRUE(wts::RegGetString(HKEY_CURRENT_USER, profile + L"\\General", L"DRXL", support));
    EXPECT_EQ(support, kSupportPath);
    EXPECT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, profile + L"\\Drawing Window", L"SDIMode", sdi));
    EXPECT_EQ(sdi, 0u);
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, profile + L"\\Editor Configuration", L"XrefLazyLoadMode"));
    EXPECT_TRUE(wts::RegGetString(HKEY_CURRENT_USER, product + L"\\BOM Migration", L"Last Recently Used Standard",
                                  standard));
    EXPECT_EQ(standard, Text(IDS_STD_2));
    std::wstring settings = product + L"\\Migration";
    EXPECT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, settings, L"Timeout", timeout));
    EXPECT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, settings, L"SymbolStd", symbolStd));
    EXPECT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, settings, L"QuenbarFlags", quenbar));
    EXPECT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, settings, L"LogFlags", logFlags));
    EXPECT_TRUE(wts::RegGetString(HKEY_CURRENT_USER, settings, L"Logfile", storedLog));
    EXPECT_EQ(timeout, 1u);
    EXPECT_EQ(symbolStd, 2u);
    EXPECT_EQ(quenbar, 1u);
    EXPECT_EQ(logFlags, 7u);
    EXPECT_EQ(wts::Lower(storedLog), wts::Lower(log));
}
