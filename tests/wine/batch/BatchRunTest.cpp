// The batch run in-process against the simulated host: scripts and batch file
// on disk, launching, restarting, aborting, and a run of 200 drawings.
#include "BatchIds.h"
#include "CKestNoluApp.h"
#include "DrawingGenerator.h"
#include "HostKeys.h"
#include "KestDmlFile.h"
#include "KestFilenm.h"
#include "PathPlatform.h"
#include "ResourceIds.h"
#include "RunIds.h"
#include "RunListIds.h"
#include "RunLog.h"
#include "TextLocale.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

CKestNoluApp theApp;

namespace {
using Lines = std::vector<std::string>;
const wchar_t kHostFolder[] = L"C:\\Draxil Host";

using wts::Text;

// The log's bytes: the suite runs on a Western system.
std::string Ansi(const std::wstring& text) { return wts::Narrow(text, 1252); }

// The lines of a file split at CR LF; fails when the file does not end with one.
Lines FileLines(const std::wstring& path)
{
    std::string bytes = wts::ReadFileBytes(path);
    Lines lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(start, bytes.size()) << "no CR LF at the end of " << Ansi(path);
    return lines;
}

void WriteDrawing(const std::wstring& path, const std::string& magic, const std::string& markers = "")
{
    DrawingSpec spec;
    spec.magic = magic;
    std::vector<uint8_t> bytes = DrawingGenerator::MakeDrawing(spec);
    std::string data(bytes.begin(), bytes.end());
    wts::WriteFileBytes(path, data + markers);
}

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[MAX_PATH * 2] = {0};
    DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
    return n < MAX_PATH * 2 ? std::wstring(value, n) : std::wstring();
}

std::string Magic(const std::wstring& path) { return wts::ReadFileBytes(path).substr(0, 6); }

void MakeFolders(const std::wstring& path)
{
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == L'\\')
            CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
}

// Answers the program's message boxes (caption string 2001) from a second
// thread while the operation under test runs its modal loop.
class BoxAnswerer {
public:
    BoxAnswerer()
    {
        m_thread = std::thread([this] {
            while (!m_stop) {
                HWND box = FindWindowW(L"#32770", Text(IDS_CAPTION).c_str());
                if (box && IsWindowVisible(box)) {
                    // The box may be found before its text is in place.
                    for (int tries = 0; tries < 100 && m_texts.size() == m_seen; ++tries) {
                        for (const std::wstring& text : wts::ChildTexts(box))
                            if (!text.empty() && text != L"OK")
                                m_texts.push_back(text);
                        if (m_texts.size() == m_seen)
                            Sleep(100);
                    }
                    m_seen = m_texts.size();
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                    ++m_count;
                    Sleep(300);
                }
                Sleep(50);
            }
        });
    }
    ~BoxAnswerer() { Finish(); }
    void Finish()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    int Count() const { return m_count; }
    std::vector<std::wstring> m_texts;

private:
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_count{0};
    size_t m_seen = 0;
    std::thread m_thread;
};

bool WaitForBatch(DWORD ms)
{
    return theApp.m_batch.Held() && WaitForSingleObject(theApp.m_batch.m_info.hProcess, ms) == WAIT_OBJECT_0;
}

// What the progress dialog does when it sees the batch ended: close the borrowed process through its owner.
void EndBatchLikeTheDialog()
{
    ASSERT_EQ(theApp.m_progressDlg.m_batchProcess, &theApp.m_batch);
    theApp.m_progressDlg.m_batchProcess->Clear();
}

// Ends every running simulated host (the abort leaves them, as the supervision handles hosts).
void EndHosts()
{
    for (int round = 0; round < 20; ++round) {
        std::vector<HWND> hosts = wts::WindowsOf(wts::kAnyProcess, [](HWND w) {
            return wts::WindowText(w).compare(0, 12, L"Draxil R26.0") == 0;
        });
        if (hosts.empty())
            return;
        DWORD pid = 0;
        GetWindowThreadProcessId(hosts.front(), &pid);
        wts::EndProcess(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid), 0);
        wts::Pump(100);
    }
}

class BatchRun : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Transmora is a GUI program: its batch process gets a console of its own.
        FreeConsole();
        static HMODULE resources = LoadLibraryW(wts::ResourceModulePath().c_str());
        AfxSetResourceHandle(resources);
        SetSystemLanguageForTest(0x0409);
        ASSERT_EQ(wts::InstallHost(kHostFolder), 0);
        ResetHostKeysForTest();
        UseBatchProfile();
        LookupHostFolder(theApp.m_hostFolder, theApp.m_migrationFolder);
        ASSERT_EQ(theApp.m_hostFolder, kHostFolder);
    }

    void SetUp() override
    {
        m_dir = wts::FreshDir(L"batch");
        g_logFile = m_dir + L"\\Migration Log.log";
        theApp.m_Operation = 1;
        theApp.m_UpdateFlags = 0;
        theApp.m_OptionFlags = 0;
        theApp.m_QuenbarFlags = 1;
        theApp.m_DrxlmFlags = 0xA;
        theApp.m_LogFlags = 15;
        theApp.m_Timeout = 120;
        theApp.m_listFile.clear();
        theApp.m_searchFolders = {kHostFolder + std::wstring(L"\\support")};
        theApp.m_atLeastXP = true;
        theApp.m_headScript.clear();
        theApp.m_drawingScript.clear();
        if (theApp.m_progressFile.empty()) {
            KestFilenm progress;
            progress.SetTempName(L"");
            theApp.m_progressFile = progress.m_path;
            theApp.m_tempFiles.push_back(progress.m_path);
        }
    }

    void TearDown() override
    {
        if (theApp.m_batch.Held()) {
            theApp.m_batch.Terminate(0, 5000);
            theApp.m_batch.Clear();
        }
        EndHosts();
    }

    // Drawings in the test folder, all in the old release.
    std::vector<std::wstring> MakeDrawings(int count, const std::wstring& folder)
    {
        std::vector<std::wstring> drawings;
        MakeFolders(m_dir + L"\\" + folder);
        for (int i = 1; i <= count; ++i) {
            drawings.push_back(m_dir + L"\\" + folder + L"\\Plan " + std::to_wstring(i) + L".dwg");
            WriteDrawing(drawings.back(), "DX1015");
        }
        return drawings;
    }

    // The job's drawings, also written as the user's drawing list that the run marks.
    void UseListFile(const std::vector<std::wstring>& drawings)
    {
        theApp.m_drawings = drawings;
        theApp.m_listFile = m_dir + L"\\Auftrag \u00fc.dml";
        KestDmlFile list(theApp.m_listFile);
        ASSERT_TRUE(list.Open(true));
        ASSERT_TRUE(list.WriteList(drawings));
        list.Close();
    }

    // The drawings of the list file not marked as migrated.
    static std::vector<std::wstring> DrawingsToDo()
    {
        std::vector<std::wstring> toDo;
        KestDmlFile list(theApp.m_listFile);
        EXPECT_TRUE(list.Open(false));
        EXPECT_TRUE(list.ReadList(toDo, true));
        return toDo;
    }

    std::wstring m_dir;
};
}

TEST_F(BatchRun, MigrateRunWritesItsFilesAndRunsEveryListedDrawing)
{
    theApp.m_drawings = MakeDrawings(2, L"Bau & Plan");
    // A "%" in a folder of PATH reaches the host as it stands.
    theApp.m_searchFolders.push_back(m_dir + L"\\fonts 50%");
    const std::wstring pathRecord = m_dir + L"\\host path.txt";
    SetEnvironmentVariableW(L"KEST_HOST_PATH_RECORD", pathRecord.c_str());
    theApp.PrepareRun();
    // One more line in the list than in the job: it gets the plain script.
    std::wstring extra = m_dir + L"\\Bau & Plan\\Extra 50%.dwg";
    WriteDrawing(extra, "DX1015");
    std::string list = wts::ReadFileBytes(MigrateListPath());
    wts::WriteFileBytes(MigrateListPath(), list + Ansi(extra) + "\r\n");
    size_t temps = theApp.m_tempFiles.size();

    ASSERT_TRUE(theApp.StartMigrateRun());
    EXPECT_EQ(theApp.m_batchCount, 3);
    EXPECT_EQ(theApp.m_tempFiles.size(), temps + 6);
    EXPECT_EQ(theApp.m_progressDlg.m_drawings, theApp.m_migrateBatchList);
    EXPECT_EQ(theApp.m_progressDlg.m_batchProcess, &theApp.m_batch);
    EXPECT_EQ(theApp.m_hostFolder, std::wstring(kHostFolder) + L"\\");

    const std::string log = "\"%KEST_LOG%\"";
    const std::string script = "\"%KEST_SCRIPT%\"";
    Lines batch = FileLines(theApp.m_migrateBatch);
    ASSERT_EQ(batch.size(), 2u + 3 * 10);
    EXPECT_EQ(batch[0], "@echo off");
    EXPECT_EQ(batch[1], "rem Save/update the DWG's.");
    EXPECT_EQ(batch[2], "");
    EXPECT_EQ(batch[3], "echo 1 > \"%KEST_PROGRESS%\"");
    EXPECT_EQ(batch[4], "echo. >> " + log);
    EXPECT_EQ(batch[5], "echo Migrating drawing plan 1.dwg >> " + log);
    EXPECT_EQ(batch[6], "copy \"%KEST_HEAD%\" " + script);
    EXPECT_EQ(batch[7], "echo _.OPEN>> " + script);
    EXPECT_EQ(batch[8], "echo \"" + Ansi(theApp.m_drawings[0]) + "\">> " + script);
    EXPECT_EQ(batch[9], "type \"%KEST_BODY1%\" >> " + script);
    EXPECT_EQ(batch[10], "cd /d \"%KEST_HOST%\"");
    EXPECT_EQ(batch[11].substr(0, batch[11].find(" > ")),
              "start /wait drxl.exe /b " + script + " /p \"<<DRXLMPP>>\" /nologo");
    EXPECT_EQ(batch[12 + 1], "echo 2 > \"%KEST_PROGRESS%\"");
    EXPECT_EQ(batch[22 + 3], "echo Migrating drawing extra 50%%.dwg >> " + log);
    EXPECT_EQ(batch[22 + 6], "echo \"" + Ansi(extra).replace(Ansi(extra).find('%'), 1, "%%") + "\">> " + script);
    EXPECT_EQ(batch[22 + 7], "type \"%KEST_BODY2%\" >> " + script);
    // The values the batch process gets in its environment.
    const BatchEnvironment::Variables& variables = theApp.m_batchVariables;
    auto value = [&variables](const wchar_t* name) {
        for (const auto& variable : variables)
            if (variable.first == name)
                return variable.second;
        return std::wstring(L"(missing)");
    };
    EXPECT_EQ(value(L"KEST_PROGRESS"), theApp.m_progressFile);
    EXPECT_EQ(value(L"KEST_LOG"), g_logFile);
    EXPECT_EQ(value(L"KEST_HEAD"), theApp.m_headScript);
    EXPECT_EQ(value(L"KEST_SCRIPT"), theApp.m_drawingScript);
    EXPECT_EQ(value(L"KEST_BODY1"), theApp.m_updateScript);
    EXPECT_EQ(value(L"KEST_BODY2"), theApp.m_plainScript);
    EXPECT_EQ(value(L"KEST_HOST"), std::wstring(kHostFolder) + L"\\");
    EXPECT_EQ(value(L"PATH").rfind(L"c:\\draxil host\\support\\;", 0), 0u);
    EXPECT_NE(value(L"PATH").find(L"\\fonts 50%\\;c:\\windows\\system32;"), std::wstring::npos);

    EXPECT_EQ(FileLines(theApp.m_headScript),
              (Lines{"_EXPERT", "0", "_krx", "_load", "\"C:\\Draxil Host\\drxlm\\migration\\kemigr.krx\"",
                     "_kestloginfo", Ansi(KestFilenm(g_logFile, true).m_path), "15", "(keresetdbmod T)"}));
    Lines tail = {"_kestend", "_logfilemode", "0", "_krx", "_unload", "kemigr.krx", "(keresetdbmod T)", "_.QUIT"};
    Lines plain = {"_kestmigr", "_.QSAVE"};
    plain.insert(plain.end(), tail.begin(), tail.end());
    EXPECT_EQ(FileLines(theApp.m_plainScript), plain);
    Lines update = {"_kestmigr", "_.QSAVE", "_kemigratebb", "_-purge _LA * _N", "_kestmode", "1", "_.QSAVE"};
    update.insert(update.end(), tail.begin(), tail.end());
    EXPECT_EQ(FileLines(theApp.m_updateScript), update);

    ASSERT_TRUE(WaitForBatch(60000));
    std::vector<std::wstring> migrated;
    ReadLines(MigratedListPath(), migrated);
    EXPECT_EQ(migrated, (std::vector<std::wstring>{theApp.m_drawings[0], theApp.m_drawings[1], extra}));
    EXPECT_EQ(Magic(extra), "DX1032");
    SetEnvironmentVariableW(L"KEST_HOST_PATH_RECORD", nullptr);
    std::string recorded = wts::ReadFileBytes(pathRecord);
    std::transform(recorded.begin(), recorded.end(), recorded.begin(), ::tolower);
    EXPECT_NE(recorded.find("\\fonts 50%\\;"), std::string::npos) << recorded;
    Lines logLines = FileLines(g_logFile);
    EXPECT_NE(std::find(logLines.begin(), logLines.end(), "Migrating drawing extra 50%.dwg "), logLines.end());
    EndBatchLikeTheDialog();
    EXPECT_FALSE(theApp.m_batch.Held());
}

TEST_F(BatchRun, AnalysisRunScansWithoutSaving)
{
    theApp.m_Operation = 2;
    theApp.m_drawings = MakeDrawings(2, L"scan");
    theApp.PrepareRun();
    ASSERT_TRUE(theApp.StartAnalysisRun());
    EXPECT_EQ(theApp.m_batchCount, 2);
    EXPECT_EQ(theApp.m_progressDlg.m_drawings, theApp.m_drawings);
    Lines batch = FileLines(theApp.m_analysisBatch);
    ASSERT_EQ(batch.size(), 2u + 2 * 10);
    EXPECT_EQ(batch[1], "rem Scan the DWG's and write list of xrefs.");
    EXPECT_EQ(batch[5], "echo Analyzing drawing plan 1.dwg >> \"%KEST_LOG%\"");
    EXPECT_EQ(batch[9], "type \"%KEST_BODY1%\" >> \"%KEST_SCRIPT%\"");
    Lines scan = FileLines(theApp.m_scanScript);
    ASSERT_EQ(scan.size(), 9u);
    EXPECT_EQ(scan[0], "_kestanalyze");

    ASSERT_TRUE(WaitForBatch(60000));
    EXPECT_FALSE(wts::FileExists(MigratedListPath()));
    EXPECT_EQ(Magic(theApp.m_drawings[0]), "DX1015");
    EndBatchLikeTheDialog();

    // A migrate job's analysis step names its scan differently.
    theApp.m_Operation = 1;
    theApp.WriteBatchFile(1, theApp.m_analysisBatch, theApp.m_scanScript, L"", true);
    batch = FileLines(theApp.m_analysisBatch);
    ASSERT_EQ(batch.size(), 2u + 10);
    EXPECT_EQ(batch[3], "echo 2 > \"%KEST_PROGRESS%\"");
    EXPECT_EQ(batch[5], "echo Scanning drawing plan 2.dwg >> \"%KEST_LOG%\"");
}

TEST_F(BatchRun, RunsWithoutDrawingsStartNothing)
{
    theApp.m_Operation = 2;
    theApp.m_drawings.clear();
    {
        BoxAnswerer answerer;
        EXPECT_FALSE(theApp.StartAnalysisRun());
        answerer.Finish();
        EXPECT_EQ(answerer.Count(), 1);
        EXPECT_NE(std::find(answerer.m_texts.begin(), answerer.m_texts.end(), Text(IDS_BATCH_NO_ANALYSIS)),
                  answerer.m_texts.end());
    }
    EXPECT_FALSE(theApp.m_batch.Held());
    EXPECT_EQ(FileLines(theApp.m_analysisBatch).size(), 2u);

    theApp.m_Operation = 1;
    theApp.m_drawings = MakeDrawings(1, L"none");
    DeleteFileW(MigrateListPath().c_str());
    {
        BoxAnswerer answerer;
        EXPECT_FALSE(theApp.StartMigrateRun());
        answerer.Finish();
        EXPECT_NE(std::find(answerer.m_texts.begin(), answerer.m_texts.end(), Text(IDS_BATCH_NO_MIGRATION)),
                  answerer.m_texts.end());
    }
    EXPECT_EQ(theApp.m_batchCount, 0);
    EXPECT_FALSE(theApp.m_batch.Held());
    EXPECT_EQ(Magic(theApp.m_drawings[0]), "DX1015");
}

TEST_F(BatchRun, LaunchFailureIsReportedAndEarlySystemsUseTheInterpreter)
{
    {
        BoxAnswerer answerer;
        theApp.LaunchBatch(m_dir + L"\\missing.bat");
        answerer.Finish();
        ASSERT_EQ(answerer.Count(), 1);
        bool named = false;
        for (const std::wstring& text : answerer.m_texts)
            named |= text.rfind(Text(IDS_BATCH_START_FAILED) + L"\n", 0) == 0 &&
                     text.size() > Text(IDS_BATCH_START_FAILED).size() + 1;
        EXPECT_TRUE(named) << "message is string 2002, a line feed and the system's text";
    }
    EXPECT_FALSE(theApp.m_batch.Held());

    // Before XP the interpreter named by COMSPEC runs the file.
    std::wstring marker = m_dir + L"\\ran.txt";
    std::wstring batch = m_dir + L"\\with blank.bat";
    wts::WriteFileBytes(batch, "@echo off\r\necho ran> \"" + Ansi(marker) + "\"\r\n");
    theApp.m_atLeastXP = false;
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    SetEnvironmentVariableW(L"COMSPEC", (std::wstring(system) + L"\\cmd.exe").c_str());
    theApp.LaunchBatch(batch);
    ASSERT_TRUE(WaitForBatch(30000));
    EXPECT_EQ(wts::ReadFileBytes(marker), "ran\r\n");
    EndBatchLikeTheDialog();

    // Without COMSPEC the old interpreter name is tried, and its absence reported.
    SetEnvironmentVariableW(L"COMSPEC", nullptr);
    BoxAnswerer answerer;
    theApp.LaunchBatch(batch);
    answerer.Finish();
    EXPECT_EQ(answerer.Count(), 1);
    EXPECT_FALSE(theApp.m_batch.Held());
}

TEST_F(BatchRun, AbortEndsTheBatchAndRestartGoesOnFromTheGivenDrawing)
{
    theApp.m_drawings = MakeDrawings(5, L"restart");
    WriteDrawing(theApp.m_drawings[2], "DX1015", "KESTFAULT=hang\n");
    theApp.PrepareRun();
    ASSERT_TRUE(theApp.StartMigrateRun());

    // The batch waits on the hanging host of drawing 3.
    ASSERT_TRUE(wts::WaitForWindow(L"Draxil R26.0 - [Plan 3.dwg]", 60000));
    EXPECT_EQ(wts::ReadFileBytes(theApp.m_progressFile), "3 \r\n");
    HANDLE batch = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), theApp.m_batch.m_info.hProcess, GetCurrentProcess(), &batch,
                                SYNCHRONIZE, FALSE, 0));
    theApp.AbortMigrateRun();
    EXPECT_FALSE(theApp.m_batch.Held());
    EXPECT_EQ(WaitForSingleObject(batch, 0), WAIT_OBJECT_0) << "the batch process has ended";
    CloseHandle(batch);

    // Every file can be read and written again; the abort is logged.
    for (const std::wstring& path : {g_logFile, theApp.m_progressFile, MigratedListPath(), theApp.m_drawingScript}) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << Ansi(path);
        CloseHandle(file);
    }
    Lines log = FileLines(g_logFile);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), Ansi(Text(IDS_BATCH_MIGRATE_ABORT)));
    // A second abort has no process left and does nothing.
    theApp.AbortMigrateRun();
    EXPECT_EQ(FileLines(g_logFile).size(), log.size());

    EndHosts();
    WriteDrawing(theApp.m_drawings[2], "DX1015");
    theApp.RestartMigrateRun(2);
    EXPECT_EQ(theApp.m_batchCount, 5);
    Lines lines = FileLines(theApp.m_migrateBatch);
    ASSERT_EQ(lines.size(), 2u + 3 * 10);
    EXPECT_EQ(lines[3], "echo 3 > \"%KEST_PROGRESS%\"");
    EXPECT_EQ(theApp.m_progressDlg.m_drawings.size(), 5u);
    ASSERT_TRUE(WaitForBatch(60000));
    std::vector<std::wstring> migrated;
    ReadLines(MigratedListPath(), migrated);
    EXPECT_EQ(migrated, theApp.m_drawings);
    log = FileLines(g_logFile);
    EXPECT_NE(std::find(log.begin(), log.end(), Ansi(Text(IDS_BATCH_MIGRATE_RESUME))), log.end());

    // Once the dialog has closed the ended batch, an abort touches nothing.
    EndBatchLikeTheDialog();
    size_t before = FileLines(g_logFile).size();
    theApp.AbortMigrateRun();
    EXPECT_EQ(FileLines(g_logFile).size(), before);

    // A restart index past the end writes the header lines only and still counts the whole list.
    theApp.WriteBatchFile(7, theApp.m_migrateBatch, theApp.m_updateScript, theApp.m_plainScript, false);
    EXPECT_EQ(FileLines(theApp.m_migrateBatch).size(), 2u);
    EXPECT_EQ(theApp.m_batchCount, 5);
}

// A user named Müller or José: the temporary folder, the host folder, the log
// folder and drawings hold letters outside ASCII, which the interpreter would
// misread in the batch file itself. Stopped and resumed on the way.
TEST_F(BatchRun, FoldersAndDrawingsOutsideAsciiRunAndResume)
{
    const std::wstring temp = m_dir + L"\\Temp M\u00fcller Jos\u00e9";
    const std::wstring host = m_dir + L"\\Draxil H\u00f4te \u00fc";
    MakeFolders(temp);
    MakeFolders(m_dir + L"\\Protokoll f\u00fcr Jos\u00e9");
    g_logFile = m_dir + L"\\Protokoll f\u00fcr Jos\u00e9\\Migration.log";
    ASSERT_EQ(wts::InstallHost(host), 0);
    const std::wstring oldHost = theApp.m_hostFolder, oldMigration = theApp.m_migrationFolder;
    const std::wstring oldProgress = theApp.m_progressFile;
    const std::wstring oldTemp = Environment(L"TEMP"), oldTmp = Environment(L"TMP");
    struct Restore {
        std::function<void()> undo;
        ~Restore() { undo(); }
    } restore{[&] {
        SetEnvironmentVariableW(L"TEMP", oldTemp.c_str());
        SetEnvironmentVariableW(L"TMP", oldTmp.c_str());
        theApp.m_hostFolder = oldHost;
        theApp.m_migrationFolder = oldMigration;
        theApp.m_progressFile = oldProgress;
        wts::InstallHost(kHostFolder);
    }};
    SetEnvironmentVariableW(L"TEMP", temp.c_str());
    SetEnvironmentVariableW(L"TMP", temp.c_str());
    theApp.m_hostFolder = host;
    theApp.m_migrationFolder = host + L"\\drxlm\\migration";
    KestFilenm progress;
    progress.SetTempName(L"");
    theApp.m_progressFile = progress.m_path;
    theApp.m_tempFiles.push_back(progress.m_path);
    ASSERT_NE(theApp.m_progressFile.find(L"\\temp m\u00fcller jos\u00e9\\lorn"), std::wstring::npos);

    MakeFolders(m_dir + L"\\Pl\u00e4ne \u00e9\\Ebene \u00fc");
    MakeFolders(m_dir + L"\\plain");
    std::vector<std::wstring> drawings = {
        m_dir + L"\\Pl\u00e4ne \u00e9\\Caf\u00e9 \u00fcbersicht.dwg",
        m_dir + L"\\plain\\Plan 2.dwg",
        m_dir + L"\\Pl\u00e4ne \u00e9\\Ebene \u00fc\\Jos\u00e9 & 50%.dwg",
        m_dir + L"\\Pl\u00e4ne \u00e9\\Zeichnung \u00fc 4.dwg",
    };
    for (const std::wstring& drawing : drawings)
        WriteDrawing(drawing, "DX1015", drawing == drawings[2] ? "KESTFAULT=hang\n" : "");
    ASSERT_NO_FATAL_FAILURE(UseListFile(drawings));

    theApp.PrepareRun();
    ASSERT_TRUE(theApp.StartMigrateRun());
    for (const std::wstring& file : {theApp.m_drawingScript, theApp.m_headScript, theApp.m_migrateBatch})
        EXPECT_EQ(file.find(PathPlatform::Lower(temp)), 0u) << Ansi(file);
    ASSERT_TRUE(wts::WaitForWindow(L"Draxil R26.0 - [Jos\u00e9 & 50%.dwg]", 60000));
    EXPECT_EQ(wts::ReadFileBytes(theApp.m_progressFile), "3 \r\n");
    theApp.AbortMigrateRun();
    EndHosts();
    WriteDrawing(drawings[2], "DX1015");
    theApp.RestartMigrateRun(2);
    ASSERT_TRUE(WaitForBatch(60000));
    EndBatchLikeTheDialog();
    theApp.WriteRunSummary();

    const std::string batch = wts::ReadFileBytes(theApp.m_migrateBatch);
    EXPECT_EQ(FileLines(theApp.m_migrateBatch).size(), 2u + 2 * 11);
    for (size_t i = 0; i < batch.size(); ++i)
        ASSERT_LT(static_cast<unsigned char>(batch[i]), 128u) << "byte " << i << " of the batch file";

    std::vector<std::wstring> migrated;
    ReadLines(MigratedListPath(), migrated);
    EXPECT_EQ(migrated, drawings);
    for (const std::wstring& drawing : drawings)
        EXPECT_EQ(Magic(drawing), "DX1032") << Ansi(drawing);

    // Each drawing logged once under its own name, the interrupted one once more after the resume.
    const std::string log = wts::ReadFileBytes(g_logFile);
    const struct {
        const wchar_t* name;
        size_t times;
    } logged[] = {{L"caf\u00e9 \u00fcbersicht.dwg", 1}, {L"plan 2.dwg", 1}, {L"jos\u00e9 & 50%.dwg", 2},
                  {L"zeichnung \u00fc 4.dwg", 1}};
    for (const auto& entry : logged) {
        const std::string line = "\r\n \r\nMigrating drawing " + Ansi(entry.name) + " \r\n";
        size_t times = 0;
        for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1))
            ++times;
        EXPECT_EQ(times, entry.times) << Ansi(entry.name) << "\n" << log;
    }
    EXPECT_NE(log.find("kemigr: Caf\xe9 \xfc" "bersicht.dwg saved in the current release"), std::string::npos) << log;

    std::vector<std::wstring> toDo = DrawingsToDo();
    EXPECT_TRUE(toDo.empty()) << toDo.size() << " drawings left unmarked";

    // The analysis batch of the same drawings goes the same way.
    theApp.m_Operation = 2;
    ASSERT_TRUE(theApp.StartAnalysisRun());
    ASSERT_TRUE(WaitForBatch(60000));
    EndBatchLikeTheDialog();
    const std::string analysis = wts::ReadFileBytes(theApp.m_analysisBatch);
    for (size_t i = 0; i < analysis.size(); ++i)
        ASSERT_LT(static_cast<unsigned char>(analysis[i]), 128u) << "byte " << i << " of the analysis batch";
    const std::string analysisLog = wts::ReadFileBytes(g_logFile);
    for (const auto& entry : logged)
        EXPECT_NE(analysisLog.find("Analyzing drawing " + Ansi(entry.name) + " \r\n"), std::string::npos)
            << Ansi(entry.name);

    // Every piece file lies in a pieces folder of the temporary folder, listed
    // to be deleted at exit.
    size_t pieces = 0;
    for (const std::wstring& file : theApp.m_tempFiles)
        if (DWORD attributes = GetFileAttributesW(file.c_str());
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            EXPECT_EQ(file.find(PathPlatform::Lower(temp)), 0u) << Ansi(file);
            for (const wchar_t* pattern : {L"\\*.msg", L"\\*.opn"}) {
                WIN32_FIND_DATAW found;
                HANDLE search = FindFirstFileW((file + pattern).c_str(), &found);
                for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
                    ++pieces;
                FindClose(search);
            }
        }
    EXPECT_EQ(pieces, 3u * 2 + 3u * 2) << "migrate and analysis pieces of the three drawings outside ASCII";
}

TEST_F(BatchRun, EndRunEndsEveryBatchAndHostOfTheRunAndNothingElse)
{
    theApp.m_drawings = MakeDrawings(2, L"end run");
    for (const std::wstring& drawing : theApp.m_drawings)
        WriteDrawing(drawing, "DX1015", "KESTFAULT=hang\n");
    theApp.PrepareRun();
    ASSERT_TRUE(theApp.StartMigrateRun());
    HWND first = wts::WaitForWindow(L"Draxil R26.0 - [Plan 1.dwg]", 60000);
    ASSERT_NE(first, nullptr);
    HANDLE users = wts::Start(L"\"" + std::wstring(kHostFolder) + L"\\drxl.exe\"");   // open for other work
    ASSERT_NE(users, nullptr);

    // The abort leaves its host in the run; the restart adds a batch and a second hung host.
    theApp.AbortMigrateRun();
    theApp.RestartMigrateRun(1);
    HWND second = wts::WaitForWindow(L"Draxil R26.0 - [Plan 2.dwg]", 60000);
    ASSERT_NE(second, nullptr);
    std::vector<DWORD> run = theApp.m_batch.ProcessIds();
    DWORD hosts[2] = {};
    GetWindowThreadProcessId(first, &hosts[0]);
    GetWindowThreadProcessId(second, &hosts[1]);
    for (DWORD process : {hosts[0], hosts[1], theApp.m_batch.m_info.dwProcessId})
        EXPECT_NE(std::find(run.begin(), run.end(), process), run.end()) << process;
    EXPECT_FALSE(theApp.m_batch.OwnsProcess(GetProcessId(users)));
    EXPECT_FALSE(theApp.m_batch.OwnsProcess(GetCurrentProcessId()));
    std::vector<HANDLE> handles;
    for (DWORD processId : run) {
        EXPECT_TRUE(theApp.m_batch.OwnsProcess(processId));
        handles.push_back(OpenProcess(SYNCHRONIZE, FALSE, processId));
    }

    theApp.m_batch.EndRun();
    for (HANDLE process : handles) {
        EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0);
        CloseHandle(process);
    }
    EXPECT_TRUE(theApp.m_batch.ProcessIds().empty());
    EXPECT_EQ(WaitForSingleObject(users, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the user's host was ended";
    wts::EndProcess(users, 0);
    EndBatchLikeTheDialog();
}

TEST_F(BatchRun, NamesOutsideTheCodePageGoToTheHostByTheirShortNameOrNotAtAll)
{
    // Japanese names on a Western system (code page 1252): 図面 drawing, 歯車 gear.
    MakeFolders(m_dir + L"\\plans");
    const std::vector<std::wstring> drawings = {m_dir + L"\\plans\\\u56f3\u9762 \u6b6f\u8eca.dwg",
                                                m_dir + L"\\plans\\Plan 1.dwg"};
    for (const std::wstring& drawing : drawings)
        WriteDrawing(drawing, "DX1015");
    theApp.m_drawings = drawings;
    const std::wstring notHanded = wts::Format(IDS_LOG_NAME_NOT_HANDED, drawings[0]);
    const std::wstring migratedTwo = wts::Format(IDS_SUMMARY_MIGRATED, 2);

    // Without a short name it is left out, and the log says so before the run.
    SetShortNamesMissingForTest(true);
    theApp.PrepareRun();
    bool started = theApp.StartMigrateRun();
    SetShortNamesMissingForTest(false);
    ASSERT_TRUE(started);
    EXPECT_EQ(theApp.m_batchCount, 1);
    ASSERT_TRUE(WaitForBatch(60000));
    EndBatchLikeTheDialog();
    Lines log = FileLines(g_logFile);
    auto named = std::find(log.begin(), log.end(), Ansi(notHanded));
    EXPECT_LT(named, std::find(log.begin(), log.end(), "Migrating drawing plan 1.dwg ")) << "named before the run";
    EXPECT_EQ(Magic(drawings[0]), "DX1015");

    // With one, the host opens it by that name, and the run counts it as the drawing it is.
    WriteDrawing(drawings[1], "DX1015");
    theApp.PrepareRun();
    ASSERT_TRUE(theApp.StartMigrateRun());
    ASSERT_TRUE(WaitForBatch(60000));
    EndBatchLikeTheDialog();
    theApp.WriteRunSummary();
    for (const std::wstring& drawing : drawings)
        EXPECT_EQ(Magic(drawing), "DX1032") << Ansi(drawing);
    log = FileLines(g_logFile);
    EXPECT_EQ(std::find(log.begin(), log.end(), Ansi(notHanded)), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), Ansi(migratedTwo)), log.end()) << wts::ReadFileBytes(g_logFile);
}

// The pieces come from the writer's thread: a batch that gets ahead waits for
// its drawing's pieces, and one that cannot be written stops the run by name.
TEST_F(BatchRun, PiecesAreWaitedForAndOneNotWrittenIsReportedByName)
{
    MakeFolders(m_dir + L"\\Pl\u00e4ne");
    theApp.m_drawings = {m_dir + L"\\Pl\u00e4ne\\\u00dcbersicht 1.dwg", m_dir + L"\\Pl\u00e4ne\\Plan 2.dwg"};
    for (const std::wstring& drawing : theApp.m_drawings)
        WriteDrawing(drawing, "DX1015");
    theApp.PrepareRun();
    theApp.m_pieceWriter.Hold(true);
    ASSERT_TRUE(theApp.StartMigrateRun());
    auto progressIs = [](const char* number) {
        for (int i = 0; i < 600 && wts::ReadFileBytes(theApp.m_progressFile) != number; ++i)
            Sleep(50);
        return wts::ReadFileBytes(theApp.m_progressFile) == number;
    };
    ASSERT_TRUE(progressIs("1 \r\n"));
    // Two rounds of the wait script: the batch is still on its first drawing, no host started.
    EXPECT_EQ(wts::WaitForWindow(L"Draxil R26.0 - [\u00dcbersicht 1.dwg]", 2500), nullptr);
    EXPECT_EQ(wts::ReadFileBytes(g_logFile).find("bersicht 1.dwg"), std::string::npos);
    theApp.m_pieceWriter.Hold(false);
    ASSERT_TRUE(WaitForBatch(60000));
    EndBatchLikeTheDialog();
    std::vector<std::wstring> migrated;
    ReadLines(MigratedListPath(), migrated);
    EXPECT_EQ(migrated, theApp.m_drawings);

    // A new run whose first piece cannot be written (a folder holds its name).
    theApp.PrepareRun();
    theApp.m_pieceWriter.Hold(true);
    ASSERT_TRUE(theApp.StartMigrateRun());
    const std::wstring folder = theApp.m_pieceFolders[theApp.m_migrateBatch];
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\1.msg~").c_str(), nullptr));
    theApp.m_pieceWriter.Hold(false);
    EXPECT_FALSE(theApp.m_pieceWriter.WaitWritten(10000));
    const std::wstring piece = theApp.UnwrittenPiece();
    EXPECT_EQ(piece, folder + L"\\1.msg");
    // What the progress dialog does then: the run stops as after Stop, the user reads the file's name.
    theApp.AbortMigrateRun();
    BoxAnswerer answerer;
    theApp.ReportUnwrittenPiece(piece, nullptr);
    answerer.Finish();
    ASSERT_EQ(answerer.m_texts.size(), 1u);
    EXPECT_NE(answerer.m_texts[0].find(piece), std::wstring::npos);
    EXPECT_TRUE(theApp.UnwrittenPiece().empty());
    Lines log = FileLines(g_logFile);
    EXPECT_NE(log.back().find(Ansi(piece)), std::string::npos);
    EXPECT_EQ(Magic(theApp.m_drawings[0]), "DX1032") << "migrated once, by the first run only";
    RemoveDirectoryW((folder + L"\\1.msg~").c_str());
}

// Last: it ends with the clean-up of the application object.
TEST_F(BatchRun, TwoHundredDrawingsEndToEnd)
{
    wchar_t tempBuffer[MAX_PATH];
    GetTempPathW(MAX_PATH, tempBuffer);
    std::vector<std::wstring> before = [&] {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((std::wstring(tempBuffer) + L"*").c_str(), &found);
        while (search != INVALID_HANDLE_VALUE) {
            names.push_back(found.cFileName);
            if (!FindNextFileW(search, &found))
                break;
        }
        FindClose(search);
        return names;
    }();

    // Nested folders with blanks and letters outside ASCII; a few hosts do not save.
    std::vector<std::wstring> drawings;
    std::vector<std::wstring> saved;
    for (int i = 0; i < 200; ++i) {
        std::wstring folder = m_dir + L"\\Projekt \u00c4" + std::to_wstring(i % 4) + L"\\Ebene \u00f6 " +
                              std::to_wstring(i % 7);
        if (i % 3 == 0)
            folder += L"\\Detail & M\u00fcller";
        MakeFolders(folder);
        std::wstring name = folder + L"\\Zeichnung \u00e9 " + std::to_wstring(i) + (i % 50 == 9 ? L" 100%" : L"") +
                            L".dwg";
        bool noSave = i % 40 == 17;
        WriteDrawing(name, i % 2 ? "DX1015" : "DX1018", noSave ? "KESTFAULT=nosave\n" : "");
        drawings.push_back(name);
        if (!noSave)
            saved.push_back(name);
    }
    ASSERT_NO_FATAL_FAILURE(UseListFile(drawings));

    DeleteFileW(g_logFile.c_str());
    theApp.PrepareRun();
    ASSERT_TRUE(theApp.StartMigrateRun());
    ASSERT_TRUE(WaitForBatch(900000));
    EndBatchLikeTheDialog();
    theApp.WriteRunSummary();

    std::vector<std::wstring> migrated;
    ReadLines(MigratedListPath(), migrated);
    EXPECT_EQ(migrated, saved);
    for (size_t i = 0; i < drawings.size(); ++i)
        EXPECT_EQ(Magic(drawings[i]), std::find(saved.begin(), saved.end(), drawings[i]) != saved.end()
                                          ? "DX1032" : (i % 2 ? "DX1015" : "DX1018")) << i;

    std::string log = wts::ReadFileBytes(g_logFile);
    EXPECT_NE(log.find(Ansi(Text(IDS_BATCH_MIGRATE_TITLE))), std::string::npos);
    const int missing = static_cast<int>(drawings.size() - saved.size());
    EXPECT_NE(log.find(Ansi(wts::Format(IDS_SUMMARY_TOTAL, 200)) + "\r\n"), std::string::npos);
    EXPECT_NE(log.find(Ansi(wts::Format(IDS_SUMMARY_MIGRATED, static_cast<int>(saved.size()))) + "\r\n"),
              std::string::npos);
    EXPECT_NE(log.find(Ansi(wts::Format(IDS_SUMMARY_MISSING, missing)) + "\r\n"), std::string::npos);
    EXPECT_NE(log.find("Migrating drawing zeichnung \xe9 9 100%.dwg \r\n"), std::string::npos);

    std::vector<std::wstring> toDo = DrawingsToDo();
    std::vector<std::wstring> notSaved;
    for (const std::wstring& drawing : drawings)
        if (std::find(saved.begin(), saved.end(), drawing) == saved.end())
            notSaved.push_back(drawing);
    EXPECT_EQ(toDo, notSaved);

    theApp.ExitInstance();
    std::vector<std::wstring> after;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((std::wstring(tempBuffer) + L"*").c_str(), &found);
    while (search != INVALID_HANDLE_VALUE) {
        std::wstring name = found.cFileName;
        bool run = name == L"MIGRATE.TXT" || name == L"MIGRATED.TXT";
        if (!run && std::find(before.begin(), before.end(), name) == before.end())
            after.push_back(name);
        if (!FindNextFileW(search, &found))
            break;
    }
    FindClose(search);
    for (const std::wstring& name : after)
        ADD_FAILURE() << "left in the temporary folder: " << Ansi(name);
    for (const std::wstring& file : theApp.m_tempFiles)
        EXPECT_FALSE(wts::FileExists(file)) << Ansi(file);
}
