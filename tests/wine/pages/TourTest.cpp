// Transmora.exe as a new user goes through it: the Begin page and the safety
// notice, a drawing list of 50 drawings of several releases on the Files page,
// a time-out of one minute, a standard, the search folders, a log file of
// one's own, Finish; the progress dialog runs to the end, although one drawing
// hangs the host and another makes it log an error; OK opens the log in
// notepad and the program ends with the host profile as it was. Takes the
// tour's screenshots on the way (KEST_WIZARD_SHOTS).
#include "BatchIds.h"
#include "FilesOptionsIds.h"
#include "HostKeys.h"
#include "ProgressIds.h"
#include "ResourceIds.h"
#include "RunIds.h"
#include "StdsSearchFinishIds.h"
#include "SuperviseIds.h"
#include "TransmoraDriver.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {
const wchar_t kSupportPath[] = L"c:\\draxil\\support;c:\\draxil\\fonts";
const char kHangFault[] = "hang";
const char kLogErrorFault[] = "logerror:ERROR: cannot open the external reference rollers.dwg";

class Tour : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_FALSE(wts::Text(IDS_CAPTION).empty()) << "no resource module in the bin folder";
        // Window frames drawn by Wine itself: the suite's display has no window manager.
        wts::RegSetString(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Decorated", L"N");
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
        std::wstring maker = wts::Quoted(wts::BinDir() + L"\\MakeDrawing.exe");
        std::vector<std::wstring> templates;
        for (size_t r = 0; r < 5; ++r) {
            std::wstring file = root + L"\\release-" + std::to_wstring(r) + L".tmpl";
            std::wstring magic(releases[r], releases[r] + 6);
            std::wstring thumb = L" --thumb 160x120x8,rle,sheet,seed=" + std::to_wstring(r + 3);
            EXPECT_EQ(wts::Run(maker + L" --magic " + magic + thumb + L" " + wts::Quoted(file)), 0);
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
        EXPECT_EQ(wts::Run(maker + L" --magic DX1021 --fault " + wts::Quoted(faultHang) + L" " + wts::Quoted(hang)), 0);
        EXPECT_EQ(wts::Run(maker + L" --magic DX1018 --fault " + wts::Quoted(faultError) + L" " + wts::Quoted(error)),
                  0);
        // The faulty ones among the others, so that the run goes on after each.
        drawings.insert(drawings.begin() + 12, {hang, "DX1021", true});
        drawings.insert(drawings.begin() + 30, {error, "DX1018", true});
        for (const std::wstring& file : templates)
            DeleteFileW(file.c_str());
        return drawings;
    }

    std::wstring WriteList(const std::wstring& path, const std::vector<Drawing>& drawings)
    {
        std::string text = wts::Narrow(wts::Text(IDS_DML_HEADER)) + "\r\n";
        for (const Drawing& d : drawings)
            text += "[ ]" + wts::Narrow(d.path) + "\r\n";
        wts::WriteFileBytes(path, text);
        return path;
    }

    // Answers an unexpected question of the program so that the tour cannot hang.
    static void AnswerQuestion(HWND sheet)
    {
        if (HWND box = wiz::FindMessageBox(sheet)) {
            ADD_FAILURE() << "unexpected message: " << wts::Narrow(wiz::BoxText(box));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    }
};
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

    TransmoraDriver app;
    ASSERT_NE(app.process, nullptr);

    // Begin page and the safety notice.
    HWND sheet = app.WaitForBeginPage();
    ASSERT_NE(sheet, nullptr) << "Transmora.exe shows no wizard";
    wiz::Screenshot(L"tour-1-begin.png", {sheet});
    ASSERT_TRUE(app.ToFilesPage()) << "no safety notice or no Files page";

    // Files: the drawing list, loaded.
    ASSERT_TRUE(app.LoadList(list, 50)) << "the drawing list did not load its 50 rows";
    EXPECT_TRUE(app.SelectFirstDrawing()) << "no drawing selected for the preview";
    wiz::Screenshot(L"tour-2-files.png", {sheet});
    ASSERT_TRUE(app.Next(2)) << "page " << wiz::PageIndex(sheet);

    // Options: one minute per drawing.
    HWND page = wiz::CurrentPage(sheet);
    SendDlgItemMessageW(page, IDC_OPTIONS_TIMEOUT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    wiz::Screenshot(L"tour-3-options.png", {sheet});
    ASSERT_TRUE(app.Next(3)) << "page " << wiz::PageIndex(sheet);

    // Standards: the third one, with the balloons brought to it.
    page = wiz::CurrentPage(sheet);
    HWND standards = GetDlgItem(page, IDC_STDS_TREE);
    HTREEITEM item = TreeView_GetRoot(standards);
    item = TreeView_GetNextSibling(standards, TreeView_GetNextSibling(standards, item));
    SendMessageW(standards, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    SendDlgItemMessageW(page, IDC_STDS_BALLOONS, BM_CLICK, 0, 0);
    wiz::Screenshot(L"tour-4-standards.png", {sheet});
    ASSERT_TRUE(app.Next(4)) << "page " << wiz::PageIndex(sheet);

    // Search: the support path and the six folders of the drawings under one root.
    page = wiz::CurrentPage(sheet);
    UINT searchItems = TreeView_GetCount(GetDlgItem(page, IDC_SEARCH_TREE));
    wiz::Screenshot(L"tour-5-search.png", {sheet});
    ASSERT_TRUE(app.Next(5)) << "page " << wiz::PageIndex(sheet);
    EXPECT_EQ(searchItems, 1u + 2u + 6u);

    // Finish: a log file of one's own, then Finish.
    page = wiz::CurrentPage(sheet);
    wiz::Click(page, IDC_FINISH_BROWSE);
    ASSERT_TRUE(wiz::ChooseFile(app.pid, wts::Text(IDS_LOG_DIALOG_TITLE), log)) << "no log file dialog";
    HWND shownLog = GetDlgItem(page, IDC_FINISH_LOG_PATH);
    EXPECT_TRUE(wts::WaitUntil([&] {
        return wts::Lower(wts::WindowText(shownLog)).find(L"migration.log") != std::wstring::npos;
    })) << wts::Narrow(wts::WindowText(shownLog));
    wiz::Screenshot(L"tour-6-finish.png", {sheet});

    // The run, to its end.
    HWND progress = app.Finish([&] { AnswerQuestion(sheet); });
    ASSERT_NE(progress, nullptr) << "no progress dialog";
    ASSERT_TRUE(app.WaitForFinished(300000))
        << "the run did not finish; status: " << wts::Narrow(wts::WindowText(GetDlgItem(progress, IDC_PROGRESS_STATUS)))
        << ", drawing " << wts::Narrow(wts::WindowText(GetDlgItem(progress, IDC_PROGRESS_CURRENT)));
    std::wstring count = wts::WindowText(GetDlgItem(progress, IDC_PROGRESS_COUNT));
    std::wstring current = wts::WindowText(GetDlgItem(progress, IDC_PROGRESS_CURRENT));
    int bar = static_cast<int>(SendDlgItemMessageW(progress, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
    wiz::Screenshot(L"tour-7-progress.png", {progress});

    // OK: the log in notepad, and the program ends.
    PostMessageW(progress, WM_COMMAND, IDOK, 0);
    std::wstring logName = log.substr(log.find_last_of(L'\\') + 1);
    EXPECT_TRUE(wts::WaitUntil([&] { return !wiz::Notepads(logName).empty(); }, 60000)) << "notepad shows no log";
    ASSERT_TRUE(app.WaitForExit()) << "Transmora.exe did not end";
    DWORD code = app.ExitCode();
    for (HWND notepad : wiz::Notepads(logName))
        PostMessageW(notepad, WM_CLOSE, 0, 0);

    EXPECT_EQ(code, 0u);
    EXPECT_EQ(count, L"50");
    EXPECT_EQ(current, L"50") << "the finished run shows its last drawing";
    EXPECT_EQ(bar, 100);

    // The log: the time-out, the error line, and the summary.
    std::string text = wts::ReadFileBytes(log);
    EXPECT_EQ(wts::Count(text, wts::Narrow(wts::Text(IDS_BATCH_MIGRATE_TITLE))), 1u) << "the run's title";
    EXPECT_EQ(wts::Count(text, wts::Line(IDS_HOST_TIMEOUT, 1)), 1u) << "the hanging host ended after one minute";
    EXPECT_EQ(wts::Count(text, wts::Narrow(wts::Text(IDS_HOST_LOG_ERROR))), 1u)
        << "the host that logged an error ended";
    EXPECT_EQ(wts::Count(text, "** \"" + std::string(kLogErrorFault + 9)), 1u) << "the error line quoted";
    EXPECT_EQ(wts::Count(text, wts::Line(IDS_SUMMARY_TOTAL, 50)), 1u);
    EXPECT_EQ(wts::Count(text, wts::Line(IDS_SUMMARY_MIGRATED, 48)), 1u);
    EXPECT_EQ(wts::Count(text, wts::Line(IDS_SUMMARY_MISSING, 2)), 1u);

    // MIGRATED.TXT, the drawings themselves, and the marks of the list.
    std::string done48 = wts::ReadFileBytes(migrated);
    std::string marks = wts::ReadFileBytes(list);
    for (const Drawing& d : drawings) {
        std::string path = wts::Narrow(d.path);
        std::string head = wts::ReadFileBytes(d.path).substr(0, 6);
        if (d.fault) {
            EXPECT_EQ(wts::Count(wts::Lower(done48), wts::Lower(path)), 0u) << path;
            EXPECT_EQ(head, d.magic) << path << " is left as it was";
            EXPECT_EQ(wts::Count(marks, "[ ]" + path + "\r\n"), 1u) << path;
        } else {
            EXPECT_EQ(wts::Count(wts::Lower(done48), wts::Lower(path) + "\r\n"), 1u) << path;
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
    EXPECT_EQ(standard, wts::Text(IDS_STD_2));
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
