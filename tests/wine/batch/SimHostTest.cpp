// The simulated host on its own: the script items of the host contract and
// the fault markers that other suites rely on.
#include "CKestNoluApp.h"
#include "DrawingGenerator.h"
#include "HostKeys.h"
#include "RunLog.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {
const wchar_t kHostFolder[] = L"C:\\Draxil Host";

std::string Bytes(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class SimHost : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(wts::InstallHost(kHostFolder), 0);
        ResetHostKeysForTest();
        UseBatchProfile();
    }

    void SetUp() override
    {
        m_dir = wts::FreshDir(L"simhost");
        m_drawing = m_dir + L"\\Gro\u00dfe Halle.dwg";
        m_log = m_dir + L"\\migration.log";
        DeleteFileW(MigratedListPath().c_str());
        wts::RegDeleteTree(HKEY_CURRENT_USER, MigrationSettingsKey());
    }

    void TearDown() override
    {
        wts::EndProcess(m_process, 0);
    }

    // Starts the host on a drawing with the given markers and a script of the
    // head lines, the open command and the given body.
    void Start(const std::string& markers, const std::string& body = "_kestmigr\r\n_.QSAVE\r\n_.QUIT\r\n",
               const std::string& extension = "C:\\Draxil Host\\drxlm\\migration\\kemigr.krx")
    {
        DrawingSpec spec;
        spec.magic = "DX1015";
        std::vector<uint8_t> drawing = DrawingGenerator::MakeDrawing(spec);
        wts::WriteFileBytes(m_drawing, std::string(drawing.begin(), drawing.end()) + markers);
        std::string script = "_EXPERT\r\n0\r\n_krx\r\n_load\r\n\"" + extension + "\"\r\n_kestloginfo\r\n" +
                             Bytes(m_log) + "\r\n15\r\n(keresetdbmod T)\r\n_.OPEN\r\n\"" + Bytes(m_drawing) +
                             "\"\r\n" + body;
        std::wstring scriptPath = m_dir + L"\\drawing.scr";
        wts::WriteFileBytes(scriptPath, script);
        m_process = wts::Start(L"\"" + std::wstring(kHostFolder) + L"\\drxl.exe\" /b \"" + scriptPath +
                               L"\" /p \"<<DRXLMPP>>\" /nologo");
        ASSERT_NE(m_process, nullptr);
    }

    // Exit code, or -1 when the host still runs after ms.
    long Wait(DWORD ms)
    {
        if (WaitForSingleObject(m_process, ms) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(m_process, &code);
        CloseHandle(m_process);
        m_process = nullptr;
        return static_cast<long>(code);
    }

    std::wstring ExtensionLogPath()
    {
        std::wstring path;
        wts::RegGetString(HKEY_CURRENT_USER, MigrationSettingsKey(), L"LOGFILENAME", path);
        return path;
    }
    std::string ExtensionLog() { return wts::ReadFileBytes(ExtensionLogPath()); }
    std::string Magic() { return wts::ReadFileBytes(m_drawing).substr(0, 6); }
    HWND MainWindow() { return wts::WaitForWindow(L"Draxil R26.0 - [Gro\u00dfe Halle.dwg]", 20000); }

    std::wstring m_dir;
    std::wstring m_drawing;
    std::wstring m_log;
    HANDLE m_process = nullptr;
};
}

TEST_F(SimHost, FollowsTheScriptSavesListsAndQuits)
{
    Start("", "_kestmigr\r\n_.QSAVE\r\n_kemigratebb\r\n_kestmode\r\n1\r\n_.QSAVE\r\n_kestend\r\n_logfilemode\r\n0\r\n"
              "_krx\r\n_unload\r\nkemigr.krx\r\n(keresetdbmod T)\r\n_.QUIT\r\n");
    EXPECT_EQ(Wait(20000), 0);
    EXPECT_EQ(Magic(), "DX1032");
    EXPECT_EQ(wts::ReadFileBytes(MigratedListPath()), Bytes(m_drawing) + "\r\n") << "listed once for two saves";
    std::wstring extensionLog = ExtensionLogPath();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    EXPECT_EQ(extensionLog, std::wstring(temp) + L"kemigr.log");
    std::string log = ExtensionLog();
    EXPECT_TRUE(Contains(log, "kemigr: log " + Bytes(m_log) + " flags 15\r\n")) << log;
    EXPECT_TRUE(Contains(log, "kemigr: _kestmode 1\r\n")) << log;
    EXPECT_TRUE(Contains(log, "kemigr: unloaded\r\n")) << log;
    EXPECT_TRUE(Contains(wts::ReadFileBytes(m_log), "Gro\xdf" "e Halle.dwg saved in the current release\r\n"));
}

TEST_F(SimHost, WithoutTheExtensionNothingIsListed)
{
    Start("", "_kestmigr\r\n_.QSAVE\r\n_.QUIT\r\n", "C:\\Draxil Host\\drxlm\\migration\\missing.krx");
    EXPECT_EQ(Wait(20000), 0);
    EXPECT_EQ(Magic(), "DX1032");
    EXPECT_FALSE(wts::FileExists(MigratedListPath()));
    EXPECT_EQ(ExtensionLogPath(), L"");
}

TEST_F(SimHost, NoSaveLeavesTheDrawingAndTheListAlone)
{
    Start("KESTFAULT=nosave\n");
    EXPECT_EQ(Wait(20000), 0);
    EXPECT_EQ(Magic(), "DX1015");
    EXPECT_FALSE(wts::FileExists(MigratedListPath()));
}

TEST_F(SimHost, HangAndAMissingQuitKeepTheMainWindowUntilTerminated)
{
    for (const char* case_ : {"hang", "noquit"}) {
        if (std::string(case_) == "hang")
            Start("filler KESTFAULT=hang\n");
        else
            Start("", "_kestmigr\r\n");
        ASSERT_NE(MainWindow(), nullptr) << case_;
        EXPECT_EQ(Wait(1500), -1) << case_;
        EXPECT_TRUE(TerminateProcess(m_process, 0));
        EXPECT_EQ(Wait(5000), 0);
        EXPECT_EQ(Magic(), "DX1015");
    }
}

TEST_F(SimHost, CrashEndsTheProcessWithoutSaving)
{
    Start("KESTFAULT=crash\n");
    long code = Wait(60000);
    EXPECT_NE(code, -1);
    EXPECT_NE(code, 0);
    EXPECT_EQ(Magic(), "DX1015");
}

TEST_F(SimHost, DelayTakesItsTimeBeforeSaving)
{
    DWORD start = GetTickCount();
    Start("KESTFAULT=delay:2\n");
    EXPECT_EQ(Wait(20000), 0);
    EXPECT_GE(GetTickCount() - start, 2000u);
    EXPECT_EQ(Magic(), "DX1032");
}

TEST_F(SimHost, DialogWaitsForItsAnswerAndLogsIt)
{
    struct Answer {
        const char* logged;
        void (*give)(HWND);
    };
    const Answer answers[] = {
        {"OK", [](HWND d) {
             PostMessageW(d, WM_KEYDOWN, VK_RETURN, 1);
             PostMessageW(d, WM_CHAR, VK_RETURN, 1);
             PostMessageW(d, WM_KEYUP, VK_RETURN, 0xC0000001);
         }},
        {"Cancel", [](HWND d) {
             PostMessageW(d, WM_KEYDOWN, VK_ESCAPE, 1);
             PostMessageW(d, WM_CHAR, VK_ESCAPE, 1);
             PostMessageW(d, WM_KEYUP, VK_ESCAPE, 0xC0000001);
         }},
        {"closed", [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }},
        {"OK", [](HWND d) { PostMessageW(d, WM_COMMAND, IDOK, 0); }},
    };
    for (const Answer& answer : answers) {
        Start("KESTFAULT=dialog:Missing Shapes|Shape file ltypeshp.shx|was not found\nKESTFAULT=nosave\n");
        HWND dialog = wts::WaitForWindow(L"Missing Shapes", 20000);
        ASSERT_NE(dialog, nullptr);
        wchar_t className[64] = {0};
        GetClassNameW(dialog, className, 64);
        EXPECT_STREQ(className, L"#32770");
        EXPECT_EQ(wts::ChildTexts(dialog),
                  (std::vector<std::wstring>{L"Shape file ltypeshp.shx", L"was not found", L"OK", L"Cancel"}));
        EXPECT_EQ(Wait(1000), -1) << "waits for its answer";
        answer.give(dialog);
        EXPECT_EQ(Wait(20000), 0) << answer.logged;
        EXPECT_TRUE(Contains(ExtensionLog(), std::string("kemigr: dialog Missing Shapes answered ") + answer.logged +
                                                 "\r\n"))
            << ExtensionLog();
    }
}

TEST_F(SimHost, LogErrorWritesItsLineAndWaitsForTheSupervisor)
{
    Start("KESTFAULT=logerror:ERROR: cannot open file xref.dwg\n");
    ASSERT_NE(MainWindow(), nullptr);
    EXPECT_TRUE(wts::WaitUntil([&] { return Contains(ExtensionLog(), "ERROR: cannot open file xref.dwg\r\n"); }, 10000))
        << ExtensionLog();
    EXPECT_EQ(Wait(1500), -1);

    // The supervision removes the log with its value between drawings; a waiting line comes back.
    std::wstring path = ExtensionLogPath();
    DeleteFileW(path.c_str());
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, MigrationSettingsKey().c_str(), 0, KEY_SET_VALUE, &key), 0);
    RegDeleteValueW(key, L"LOGFILENAME");
    RegCloseKey(key);
    wts::WaitUntil([&] { return Contains(ExtensionLog(), "ERROR: cannot open file"); }, 5000);
    EXPECT_EQ(ExtensionLogPath(), path);
    EXPECT_TRUE(Contains(ExtensionLog(), "ERROR: cannot open file xref.dwg\r\n"));
    EXPECT_TRUE(TerminateProcess(m_process, 0));
    EXPECT_EQ(Wait(5000), 0);
    EXPECT_EQ(Magic(), "DX1015");
}

// Installed in a language, the host shows and logs that language's texts: the
// same ones that the wizard's module of that language watches for.
TEST_F(SimHost, ShowsAndLogsTheTextsOfTheLanguageItIsInstalledIn)
{
    struct BackToEnglish {
        ~BackToEnglish() { wts::InstallHost(kHostFolder); }
    } backToEnglish;
    const std::wstring setup =
        L"\"" + wts::BinDir() + L"\\HostSetup.exe\" \"" + kHostFolder + L"\" --locale 409 --language ";
    EXPECT_EQ(wts::Run(setup + L"fr-FR"), 2) << "a language without a host module";
    // One text per language spelled out here: the resource compiler read the UTF-8 sources right.
    // The host's notes are in the code page of their language.
    const struct {
        const wchar_t* language;
        const wchar_t* readOnly;   // string 2141
        UINT codePage;
        const wchar_t* notesTitle;
    } languages[] = {
        {L"de-DE", L"Die Zeichnung wird schreibgesch\u00fctzt ge\u00f6ffnet.", 1252,
         L"ZEICHNUNGSMIGRATION NACH DRAXIL R26.0"},
        {L"ja-JP",
         L"\u56f3\u9762\u306f\u8aad\u307f\u53d6\u308a\u5c02\u7528\u3067\u958b\u304b\u308c\u307e\u3059\u3002",
         932, L"Draxil R26.0 \u3078\u306e\u56f3\u9762\u306e\u79fb\u884c"},
        {L"en-US", L"The drawing will be opened read-only.", 1252, L"DRAWING MIGRATION TO DRAXIL R26.0"},
    };
    // The English locale number keeps the settings key, and so the extension log's value, where it was.
    for (const auto& [language, readOnly, codePage, notesTitle] : languages) {
        ASSERT_EQ(wts::Run(setup + language), 0) << language;
        char notes[256] = {0};
        WideCharToMultiByte(codePage, 0, notesTitle, -1, notes, sizeof(notes), nullptr, nullptr);
        EXPECT_EQ(wts::ReadFileBytes(std::wstring(kHostFolder) + L"\\migration\\dwgmigr.txt").substr(0, strlen(notes)),
                  notes)
            << language;
        auto text = [&](UINT id) { return wts::Text(id, language); };
        ASSERT_FALSE(text(2094).empty()) << language;
        std::wstring title = text(2109), child = text(2141), error = text(2270);
        EXPECT_EQ(child, readOnly);
        std::wstring main = text(2094);

        Start("KESTFAULT=dialog:#2109|#2141|plain text\nKESTFAULT=logerror:#2270 xref.dwg\nKESTFAULT=nosave\n");
        EXPECT_NE(wts::WaitForWindow(main + L" - [Gro\u00dfe Halle.dwg]", 20000), nullptr) << language;
        HWND dialog = wts::WaitForWindow(title, 20000);
        ASSERT_NE(dialog, nullptr) << language;
        EXPECT_EQ(wts::ChildTexts(dialog), (std::vector<std::wstring>{child, L"plain text", L"OK", L"Cancel"}));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        std::string line = Bytes(error + L" xref.dwg") + "\r\n";
        EXPECT_TRUE(wts::WaitUntil([&] { return Contains(ExtensionLog(), line); }, 10000)) << ExtensionLog();
        EXPECT_TRUE(TerminateProcess(m_process, 0));
        EXPECT_EQ(Wait(5000), 0);
    }
}
