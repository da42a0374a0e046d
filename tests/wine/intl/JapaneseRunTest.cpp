// A Japanese system (code page 932): the wizard speaks Japanese, and drawings
// whose names and folders are Japanese are migrated end to end: the host opens
// each (the scripts and the batch carried its name), MIGRATED.TXT and the log
// name it, and the user's list marks it. Some names hold characters whose
// second byte in code page 932 is a backslash (表, ソ), which byte-wise path
// handling would split. The host and the user's temporary folder are in
// folders of Japanese names too. One drawing makes the Japanese host log an error:
// the supervision knows the host's Japanese texts and ends it.
#include "BatchIds.h"
#include "HostKeys.h"
#include "ProgressIds.h"
#include "RunIds.h"
#include "StdsSearchFinishIds.h"
#include "SuperviseIds.h"
#include "TransmoraDriver.h"
#include "WineTestSupport.h"
#include "WizardInLanguage.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::wstring Wide(const std::string& bytes)
{
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
    return out;
}

size_t Count(const std::wstring& text, const std::wstring& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

std::string Utf8(const std::wstring& text) { return wts::Narrow(text, CP_UTF8); }
}

TEST(Japanese, TheWizardInJapaneseMigratesDrawingsWithJapaneseNamesAndFolders)
{
    ASSERT_EQ(GetACP(), 932u) << "the suite runs on a Japanese system: LANG=ja_JP.UTF-8";
    WizardInLanguage wizard(L"ja-JP");
    ASSERT_TRUE(wizard.HasModule()) << "no drxlm\\ja-JP\\keNoluRes.dll in the bin folder";
    wts::RegSetString(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Decorated", L"N");

    std::wstring host = wts::FreshDir(L"製図ソフト");   // the host too in a folder of Japanese name
    ASSERT_EQ(wts::InstallHost(host, L"ja-JP"), 0);
    ResetHostKeysForTest();
    UseBatchProfile();
    // The user's temporary folder, as under a Japanese user name: the scripts, the batch and MIGRATED.TXT.
    std::wstring temp = wts::FreshDir(L"ユーザー一時");
    std::wstring migrated = temp + L"\\MIGRATED.TXT";

    // 図面 drawings; 歯車箱 gearbox, コンベヤ conveyor; 部品表 parts list, ソケット socket.
    std::wstring root = L"C:\\図面";   // where the picture shows the folders whole
    std::vector<std::wstring> drawings = {
        root + L"\\歯車箱\\軸受ハウジング.dwg", root + L"\\歯車箱\\部品表 第2版.dwg",
        root + L"\\コンベヤ\\ソケット.dwg", root + L"\\コンベヤ\\ベルト駆動.dwg"};
    ASSERT_TRUE(WizardInLanguage::MakeDrawings(drawings, "DX1018"));
    // ローラー損傷 damaged roller: the Japanese host logs its own error mark, which the Japanese texts know.
    std::wstring faulty = root + L"\\コンベヤ\\ローラー損傷.dwg";
    ASSERT_TRUE(WizardInLanguage::MakeDrawings({faulty}, "DX1018", "logerror:#2270 xref rollers.dwg"));
    std::vector<std::wstring> listed = drawings;
    listed.insert(listed.begin() + 2, faulty);
    std::wstring list = root + L"\\工場7.dml";
    wizard.WriteList(list, listed);
    std::wstring log = root + L"\\移行記録.log";

    TransmoraDriver app(wizard.Start(L"TEMP=" + temp + L";TMP=" + temp));
    ASSERT_NE(app.WaitForBeginPage(), nullptr) << "Transmora.exe shows no Japanese wizard";
    wizard.Screenshot(L"ja-begin.png", app.Sheet());
    ASSERT_TRUE(app.ToFilesPage()) << "no Files page";
    ASSERT_TRUE(app.LoadList(list, 5)) << "the list was not loaded";
    EXPECT_TRUE(app.SelectFirstDrawing()) << "no drawing selected for the preview";
    wizard.Screenshot(L"ja-files.png", app.Sheet());
    for (int page = 2; page <= 5; ++page)
        ASSERT_TRUE(app.Next(page)) << "page " << wiz::PageIndex(app.Sheet());

    // Finish: the log in the drawings' folder, then the run to its end.
    wiz::Click(wiz::CurrentPage(app.Sheet()), IDC_FINISH_BROWSE);
    ASSERT_TRUE(wiz::ChooseFile(app.pid, wizard.Text(IDS_LOG_DIALOG_TITLE), log)) << "no log dialog";
    HWND progress = app.Finish();
    ASSERT_NE(progress, nullptr) << "no progress dialog";
    ASSERT_TRUE(app.WaitForFinished(180000))
        << "the run did not finish: " << Utf8(wts::WindowText(GetDlgItem(progress, IDC_PROGRESS_STATUS)));
    wizard.Screenshot(L"ja-progress.png", progress);
    // OK opens the log in notepad; the program ends without waiting for it.
    PostMessageW(progress, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(app.WaitForExit()) << "Transmora.exe did not end";
    EXPECT_EQ(app.ExitCode(), 0u);

    std::wstring done = wts::Lower(Wide(wts::ReadFileBytes(migrated)));
    std::wstring text = Wide(wts::ReadFileBytes(log));
    std::wstring marks = Wide(wts::ReadFileBytes(list));
    EXPECT_EQ(Count(text, wizard.Text(IDS_BATCH_MIGRATE_TITLE)), 1u) << "the run's title, in Japanese";
    EXPECT_EQ(Count(text, wizard.Text(IDS_HOST_LOG_ERROR)), 1u) << "the host that logged an error was ended";
    EXPECT_EQ(Count(text, wts::Format(IDS_SUMMARY_TOTAL, 5, L"ja-JP")), 1u);
    EXPECT_EQ(Count(text, wts::Format(IDS_SUMMARY_MIGRATED, 4, L"ja-JP")), 1u);
    EXPECT_EQ(Count(text, wts::Format(IDS_SUMMARY_MISSING, 1, L"ja-JP")), 1u);
    EXPECT_EQ(wts::ReadFileBytes(faulty).substr(0, 6), "DX1018") << "the faulty drawing is left as it was";
    EXPECT_EQ(Count(done, wts::Lower(faulty)), 0u);
    EXPECT_EQ(Count(marks, L"[ ]" + faulty + L"\r\n"), 1u);
    for (const std::wstring& drawing : drawings) {
        std::string name = Utf8(drawing);
        std::wstring file = drawing.substr(drawing.find_last_of(L'\\') + 1);
        EXPECT_EQ(wts::ReadFileBytes(drawing).substr(0, 6), "DX1032") << name << " is saved in the current release";
        EXPECT_EQ(Count(done, wts::Lower(drawing) + L"\r\n"), 1u) << name << " in MIGRATED.TXT";
        EXPECT_GE(Count(wts::Lower(text), wts::Lower(file)), 1u) << name << " in the log";
        EXPECT_EQ(Count(marks, L"[x]" + drawing + L"\r\n"), 1u) << name << " marked in the list";
    }
    EXPECT_EQ(Count(done, L"\r\n"), 4u);
}
