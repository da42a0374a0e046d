// Window watching and log scanning against puppet hosts: separate processes
// that show windows with the titles and child texts a host would.
#include "CKestNoluApp.h"
#include "HostKeys.h"
#include "HostLogWatch.h"
#include "HostWindowWatch.h"
#include "KestRegKey.h"
#include "KeySequencePlayer.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include "Afx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

CKestNoluApp theApp;

namespace {
HMODULE g_languageModule = nullptr;

std::vector<std::string> LogLines()
{
    std::string bytes = wts::ReadFileBytes(g_logFile);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
            end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string LogText()
{
    std::string all;
    for (const std::string& line : LogLines())
        all += line + "\n";
    return all;
}

// The window with this title of this process, once it shows.
HWND WaitForWindowOf(HANDLE process, const std::wstring& title, DWORD ms)
{
    HWND found = nullptr;
    wts::WaitUntil([&] {
        found = wiz::FindTitled(GetProcessId(process), title);
        if (!found)
            wts::Pump(100);   // the watcher of this thread answers meanwhile
        return found != nullptr;
    }, ms);
    return found;
}
}

class WatchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::wstring host = wts::FreshDir(L"watch-host");
        ASSERT_EQ(wts::InstallHost(host), 0);
        ResetHostKeysForTest();
        UseBatchProfile();
        theApp.m_hostFolder = host;
        std::wstring language = wts::ResourceModulePath();
        g_languageModule = LoadLibraryW(language.c_str());
        ASSERT_NE(g_languageModule, nullptr);
    }

    void SetUp() override
    {
        AfxSetResourceHandle(g_languageModule);
        m_dir = wts::FreshDir(L"watch");
        g_logFile = m_dir + L"\\migration.log";
        ResetHostWatchForTest();
        KeySequencePlayer::SetInstallerForTest(nullptr);
        KestRegKey(MigrationSettingsKey(), HKEY_CURRENT_USER).DeleteValue(L"LOGFILENAME");
        // The puppets stand in for the run's hosts, unless started as foreign ones.
        SetRunProcessFilterForTest([this](DWORD processId) {
            for (HANDLE process : m_puppets)
                if (GetProcessId(process) == processId)
                    return m_foreign.count(processId) == 0;
            return false;
        });
    }

    void TearDown() override
    {
        for (HANDLE process : m_puppets)
            wts::EndProcess(process);
        KeySequencePlayer::Stop();
        KeySequencePlayer::SetInstallerForTest(nullptr);
        SetRunProcessFilterForTest(nullptr);
    }

    // Starts a puppet and waits until its window shows.
    HANDLE Puppet(const std::wstring& mode, const std::wstring& title, const std::vector<std::wstring>& children = {})
    {
        std::wstring line = L"\"" + wts::BinDir() + L"\\..\\tests\\Puppet.exe\" " + mode + L" \"" + title + L"\"";
        for (const std::wstring& child : children)
            line += L" \"" + child + L"\"";
        HANDLE process = wts::Start(line);
        EXPECT_NE(process, nullptr);
        if (process)
            m_puppets.push_back(process);
        m_window = process ? WaitForWindowOf(process, title, 15000) : nullptr;
        EXPECT_NE(m_window, nullptr) << wts::Narrow(title);
        return process;
    }

    // A puppet that the run did not start: the user's own program.
    HANDLE ForeignPuppet(const std::wstring& mode, const std::wstring& title,
                         const std::vector<std::wstring>& children = {})
    {
        HANDLE process = Puppet(mode, title, children);
        if (process)
            m_foreign.insert(GetProcessId(process));
        return process;
    }

    std::wstring m_dir;
    std::vector<HANDLE> m_puppets;
    std::set<DWORD> m_foreign;
    HWND m_window = nullptr;
};

TEST_F(WatchTest, FatalWindowEndsTheHostAndLogsItsTitle)
{
    HANDLE host = Puppet(L"dialog", L"Draxil Error", {L"Something went wrong"});
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(host, 5000), 0u);
    EXPECT_EQ(LogText(), "\tThe host program was ended because it showed the window \"Draxil Error\".\n");
}

TEST_F(WatchTest, FatalPatternIgnoresCase)
{
    HANDLE host = Puppet(L"dialog", L"CANNOT OPEN gear.dwg");
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(host, 5000), 0u);
}

TEST_F(WatchTest, FatalRowWithChildTextsLogsThemBeforeTheEnd)
{
    HANDLE host = Puppet(L"dialog", L"Migration Error", {L"Drawing gear.dwg", L"Block table damaged"});
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(host, 5000), 0u);
    std::vector<std::string> lines = LogLines();
    ASSERT_GE(lines.size(), 4u) << LogText();
    EXPECT_EQ(lines.front(), "\tTexts of the window that ended the host program:");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "\tDrawing gear.dwg"), lines.end()) << LogText();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "\tBlock table damaged"), lines.end()) << LogText();
    EXPECT_EQ(lines.back(), "\tThe host program was ended because it showed the window \"Migration Error\".");
}

TEST_F(WatchTest, AnswerWindowsGetTheirKeyAndTheHostGoesOn)
{
    HANDLE host = Puppet(L"dialog", L"Drawing Properties");
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(host, 5000), 100u + IDCANCEL);   // Escape

    host = Puppet(L"dialog", L"Drawing From a Newer Release");
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(host, 5000), 100u + IDOK);       // Enter, with the extra note
    EXPECT_EQ(LogText(), "\tThe host window \"Drawing Properties\" was answered.\n"
                         "\tThe host window \"Drawing From a Newer Release\" was answered.\n"
                         "\tThe notice about a drawing from a newer release was confirmed.\n");
}

TEST_F(WatchTest, KeyZeroRowsAreLoggedButLeaveTheWindow)
{
    HANDLE host = Puppet(L"dialog", L"Migration Progress");
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(host, 1500), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(LogText(), "\tThe host window \"Migration Progress\" was answered.\n");
}

TEST_F(WatchTest, AtMostOneWindowIsHandledPerCall)
{
    HANDLE first = Puppet(L"dialog", L"Draxil Error");
    HANDLE second = Puppet(L"dialog", L"Fatal Error");
    WatchHostWindows();
    Sleep(1000);
    int ended = (WaitForSingleObject(first, 0) == WAIT_OBJECT_0) + (WaitForSingleObject(second, 0) == WAIT_OBJECT_0);
    EXPECT_EQ(ended, 1);
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(first, 5000), 0u);
    EXPECT_EQ(wts::ExitCode(second, 5000), 0u);
}

TEST_F(WatchTest, WarningWithTheReadOnlyNoteIsLeftAlone)
{
    HANDLE kept = Puppet(L"dialog", L"Draxil Warning", {L"THE DRAWING WILL BE OPENED READ-ONLY."});
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(kept, 1500), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(LogText(), "");

    HANDLE ended = Puppet(L"dialog", L"Draxil Warning", {L"Something else"});
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(ended, 5000), 0u);
    EXPECT_EQ(wts::ExitCode(kept, 0), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(WatchTest, MessageWithTheHostsContinueTextGetsEnterAndTheWatchGoesOn)
{
    // The newest window is on top and is looked at first.
    HANDLE fatal = Puppet(L"dialog", L"Fatal Error");
    HANDLE message = Puppet(L"dialog", L"Draxil Message", {L"Drawing gear.dwg", L"Press ENTER to continue."});
    BringWindowToTop(m_window);
    WatchHostWindows();
    // The Enter key does not count: the same call still ends the other host.
    EXPECT_EQ(wts::ExitCode(message, 5000), 100u + IDOK);
    EXPECT_EQ(wts::ExitCode(fatal, 5000), 0u);
    EXPECT_EQ(LogText(), "\tThe host program was ended because it showed the window \"Fatal Error\".\n");
}

TEST_F(WatchTest, MessageIsEndedWithoutTheTextOrWithoutTheHostsModule)
{
    HANDLE plain = Puppet(L"dialog", L"Draxil Message", {L"Something else"});
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(plain, 5000), 0u);

    std::wstring folder = theApp.m_hostFolder;
    theApp.m_hostFolder = m_dir;   // no drxlm\drxlmres.dll there
    HANDLE orphan = Puppet(L"dialog", L"Draxil Message", {L"Press ENTER to continue."});
    WatchHostWindows();
    theApp.m_hostFolder = folder;
    EXPECT_EQ(wts::ExitCode(orphan, 5000), 0u);
}

TEST_F(WatchTest, KeySequenceWindowIsBroughtUpLoggedAndEndedWhenThePlayDidNothing)
{
    HANDLE host = Puppet(L"dialog", L"Migrate Assembly Options");
    HWND window = m_window;
    WatchHostWindows();
    wts::Pump(1000);
    EXPECT_TRUE(GetForegroundWindow() == window || GetTopWindow(nullptr) == window);
    EXPECT_EQ(LogText(), "\tThe host window \"Migrate Assembly Options\" was answered.\n");
    if (wts::ExitCode(host, 2000) == STILL_ACTIVE) {
        // The platform never played the keys: the next call ends the host.
        WatchHostWindows();
        EXPECT_EQ(wts::ExitCode(host, 5000), 0u);
        EXPECT_NE(LogText().find("ended because it showed the window \"Migrate Assembly Options\""), std::string::npos);
    }
    EXPECT_FALSE(KeySequencePlayer::Running());
}

TEST_F(WatchTest, KeySequenceWindowIsEndedWhenNoHookCanBeInstalled)
{
    KeySequencePlayer::SetInstallerForTest([](HOOKPROC) -> HHOOK { return nullptr; });
    HANDLE host = Puppet(L"dialog", L"Migrate Assembly Options");
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(host, 5000), 0u);
    EXPECT_EQ(LogText(), "\tThe host program was ended because it showed the window \"Migrate Assembly Options\".\n");
}

TEST_F(WatchTest, SwitchedOffRowsAreSkippedAndFatalComesFirst)
{
    AfxSetResourceHandle(GetModuleHandleW(nullptr));   // the test's own strings
    HANDLE both = Puppet(L"dialog", L"Both Kinds");
    HANDLE off = Puppet(L"dialog", L"Draxil Error");      // its row reads "?Draxil Error"
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(both, 5000), 0u);
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(off, 1500), static_cast<DWORD>(STILL_ACTIVE));
    // Row 2132 answers with the first character of string 2136: C, the Cancel button's mnemonic.
    HANDLE save = Puppet(L"dialog", L"Save Changes");
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(save, 5000), 100u + IDCANCEL);
    EXPECT_EQ(LogText(), "\tended for \"Both Kinds\"\n\tanswered \"Save Changes\"\n");
}

TEST_F(WatchTest, MainWindowIsFoundByTitleOrTitleWithDrawing)
{
    Puppet(L"main", L"Draxil R26.0 [gear.dwg]");
    EXPECT_EQ(FindHostMainWindow(), nullptr);
    Puppet(L"main", L"Draxil R26.0 - [gear.dwg]");
    std::wstring title;
    EXPECT_EQ(FindHostMainWindow(&title), m_window);
    EXPECT_EQ(title, L"Draxil R26.0 - [gear.dwg]");
    // A main window is neither ended nor answered.
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(m_puppets.back(), 1000), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(WatchTest, OwnWindowsAreNeverEnded)
{
    HWND own = CreateWindowW(L"STATIC", L"Draxil Error", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(own, nullptr);
    WatchHostWindows();
    EXPECT_TRUE(IsWindow(own));
    EXPECT_EQ(LogText(), "");
    DestroyWindow(own);
}

TEST_F(WatchTest, WindowsOfProcessesOutsideTheRunAreLeftAloneAndUnlogged)
{
    std::vector<HANDLE> foreign = {
        ForeignPuppet(L"dialog", L"Draxil Error"),
        ForeignPuppet(L"dialog", L"Migration Error", {L"Block table damaged"}),
        ForeignPuppet(L"dialog", L"Drawing Properties"),
        ForeignPuppet(L"dialog", L"Draxil Message", {L"Press ENTER to continue."}),
        ForeignPuppet(L"dialog", L"Migrate Assembly Options"),
        ForeignPuppet(L"main", L"Draxil R26.0 - [other.dwg]"),
    };
    HWND foreignMain = m_window;
    for (int i = 0; i < 3; ++i)
        WatchHostWindows();
    EXPECT_EQ(FindRunHostMainWindow(), nullptr);
    // Before a run any host counts (the Finish page refuses while one is open).
    EXPECT_EQ(FindHostMainWindow(), foreignMain);

    // The run's own windows beside them are handled as before.
    HANDLE own = Puppet(L"dialog", L"Draxil Error");
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(own, 5000), 0u);
    Puppet(L"main", L"Draxil R26.0 - [gear.dwg]");
    EXPECT_EQ(FindRunHostMainWindow(), m_window);
    for (HANDLE process : foreign)
        EXPECT_EQ(wts::ExitCode(process, 500), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(LogText(), "\tThe host program was ended because it showed the window \"Draxil Error\".\n");
}

TEST_F(WatchTest, ABatchTheRunsJobCannotTakeIsNeitherResumedNorHeld)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    SetRunProcessFilterForTest(nullptr);   // the job decides
    PROCESS_INFORMATION info = {}, refused = {};
    std::wstring line = L"\"" + wts::BinDir() + L"\\..\\tests\\Puppet.exe\" main Outside";
    ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                               &startup, &info));
    m_puppets.push_back(info.hProcess);
    // A handle without the rights the job needs stands in for a process it refuses.
    HANDLE self = GetCurrentProcess();
    ASSERT_TRUE(DuplicateHandle(self, info.hProcess, self, &refused.hProcess, SYNCHRONIZE, FALSE, 0));
    ASSERT_TRUE(DuplicateHandle(self, info.hThread, self, &refused.hThread, 0, FALSE, DUPLICATE_SAME_ACCESS));
    EXPECT_FALSE(theApp.m_batch.Adopt(refused));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));   // kept for the launch's message
    EXPECT_FALSE(theApp.m_batch.Held());
    EXPECT_FALSE(theApp.m_batch.OwnsProcess(info.dwProcessId));
    EXPECT_EQ(WaitForWindowOf(info.hProcess, L"Outside", 1500), nullptr);   // never resumed
    CloseHandle(info.hThread);
}

// Where no job can take the batch (a program inside a job on Windows 7), the
// run goes on confined by the batch's process tree, and ends with it.
TEST_F(WatchTest, ABatchNoJobCanTakeRunsConfinedByItsTree)
{
    SetRunProcessFilterForTest(nullptr);
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION info = {}, confined = {};
    std::wstring line = L"\"" + wts::BinDir() + L"\\..\\tests\\Puppet.exe\" main Confined";
    ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                               &startup, &info));
    m_puppets.push_back(info.hProcess);
    confined = info;   // with rights to follow the process, none to put it into a job
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), info.hProcess, GetCurrentProcess(), &confined.hProcess,
                                SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0));
    ASSERT_TRUE(theApp.m_batch.Adopt(confined));
    EXPECT_TRUE(theApp.m_batch.ConfinedByTree());
    EXPECT_NE(WaitForWindowOf(info.hProcess, L"Confined", 15000), nullptr) << "not resumed";
    EXPECT_EQ(theApp.m_batch.ProcessIds(), std::vector<DWORD>{info.dwProcessId});   // not this process, its parent
    theApp.m_batch.EndRun();
    EXPECT_EQ(wts::ExitCode(info.hProcess, 5000), 0u);
    theApp.m_batch.Clear();
}

// A key typed while another program has the focus would go to that program:
// the sequence stops before it, says so once, and the host is left to its budget.
TEST_F(WatchTest, KeySequenceStopsWhenTheFocusLeavesTheRun)
{
    KeySequencePlayer::SetInstallerForTest([](HOOKPROC) { return reinterpret_cast<HHOOK>(1); });
    HANDLE host = Puppet(L"dialog", L"Migrate Assembly Options");
    WatchHostWindows();
    ForeignPuppet(L"main", L"User's Editor");
    SetForegroundWindow(m_window);
    for (DWORD start = GetTickCount(); GetForegroundWindow() != m_window && GetTickCount() - start < 5000;)
        wts::Pump(50);
    ASSERT_EQ(GetForegroundWindow(), m_window);
    EVENTMSG event = {};
    if (KeySequencePlayer::Running())
        KeySequencePlayer::Play(HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&event));
    EXPECT_EQ(event.paramL, 0u) << "a key went to the user's program";
    EXPECT_FALSE(KeySequencePlayer::Running());
    const std::string log = LogText();
    EXPECT_NE(log.find("\tThe keys for the host window \"Migrate Assembly Options\" were not typed"),
              std::string::npos) << log;
    WatchHostWindows();
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(host, 500), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(LogText(), log);
}

// The player is driven the way the platform does: get-next (possibly asked
// again for the same event) and skip to move on, starting with either kind.
class KeySequencePlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KeySequencePlayer::SetInstallerForTest([](HOOKPROC) { return reinterpret_cast<HHOOK>(1); });
    }
    void TearDown() override { KeySequencePlayer::SetInstallerForTest(nullptr); }

    static std::vector<std::pair<UINT, UINT>> PlayAll(bool skipFirst)
    {
        const uint16_t keys[] = {9, 9, 40, 13};
        EXPECT_TRUE(KeySequencePlayer::Start(keys, 4));
        if (skipFirst)
            KeySequencePlayer::Play(HC_SKIP, 0, 0);
        std::vector<std::pair<UINT, UINT>> events;
        for (int guard = 0; guard < 40 && KeySequencePlayer::Running(); ++guard) {
            EVENTMSG event = {};
            EVENTMSG again = {};
            EXPECT_EQ(KeySequencePlayer::Play(HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&event)), 0);
            KeySequencePlayer::Play(HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&again));
            EXPECT_EQ(again.message, event.message);
            EXPECT_EQ(again.paramL, event.paramL);
            EXPECT_EQ(event.paramH, MapVirtualKeyW(event.paramL, 0));
            events.emplace_back(event.message, event.paramL);
            KeySequencePlayer::Play(HC_SKIP, 0, 0);
        }
        return events;
    }
};

TEST_F(KeySequencePlayerTest, PlaysDownAndUpOfEachKeyThenRemovesItself)
{
    std::vector<std::pair<UINT, UINT>> expected = {
        {WM_KEYDOWN, 9}, {WM_KEYUP, 9}, {WM_KEYDOWN, 9}, {WM_KEYUP, 9},
        {WM_KEYDOWN, 40}, {WM_KEYUP, 40}, {WM_KEYDOWN, 13}, {WM_KEYUP, 13}};
    EXPECT_EQ(PlayAll(false), expected);
    EXPECT_FALSE(KeySequencePlayer::Running());
    EXPECT_EQ(PlayAll(true), expected);
    EXPECT_FALSE(KeySequencePlayer::Running());
}

TEST_F(KeySequencePlayerTest, OtherRequestsAreIgnoredAndANewSequenceStartsAfresh)
{
    const uint16_t keys[] = {9, 9, 40, 13};
    ASSERT_TRUE(KeySequencePlayer::Start(keys, 4));
    EVENTMSG event = {};
    KeySequencePlayer::Play(HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&event));
    KeySequencePlayer::Play(HC_SKIP, 0, 0);
    KeySequencePlayer::Play(HC_SYSMODALON, 0, 0);
    KeySequencePlayer::Play(HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&event));
    EXPECT_EQ(event.message, static_cast<UINT>(WM_KEYUP));
    const uint16_t enter[] = {13};
    ASSERT_TRUE(KeySequencePlayer::Start(enter, 1));
    KeySequencePlayer::Play(HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&event));
    EXPECT_EQ(event.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(event.paramL, 13u);
    KeySequencePlayer::Stop();
}

// The simulated host, when it is built: one drawing whose markers make it show
// a window or log an error, run by a script as the batch file would.
class SimulatedHostTest : public WatchTest {
protected:
    void SetUp() override
    {
        WatchTest::SetUp();
        m_drxl = theApp.m_hostFolder + L"\\drxl.exe";
        if (!wts::FileExists(m_drxl))
            GTEST_SKIP() << "no simulated host in this build";
    }

    // Starts the host on a drawing holding the marker; waits for the window titled `waitFor`.
    HANDLE Host(const std::string& marker, const std::wstring& waitFor)
    {
        m_drawing = m_dir + L"\\gear.dwg";
        wts::WriteFileBytes(m_drawing, "DX1018 drawing\r\nKESTFAULT=" + marker + "\n");
        std::wstring script = m_dir + L"\\run.scr";
        std::string host(theApp.m_hostFolder.begin(), theApp.m_hostFolder.end());
        std::string drawing(m_drawing.begin(), m_drawing.end());
        wts::WriteFileBytes(script, "_krx\r\n_load\r\n\"" + host + "\\drxlm\\migration\\kemigr.krx\"\r\n_.OPEN\r\n\"" +
                                        drawing + "\"\r\n_.QSAVE\r\n_.QUIT\r\n");
        HANDLE process = wts::Start(L"\"" + m_drxl + L"\" /b \"" + script + L"\" /p \"<<DRXLMPP>>\" /nologo");
        EXPECT_NE(process, nullptr);
        if (process)
            m_puppets.push_back(process);
        m_window = process ? WaitForWindowOf(process, waitFor, 20000) : nullptr;
        EXPECT_NE(m_window, nullptr) << wts::Narrow(waitFor);
        return process;
    }

    bool Saved() { return wts::ReadFileBytes(m_drawing).compare(0, 6, "DX1032") == 0; }

    std::wstring m_drxl, m_drawing;
};

TEST_F(SimulatedHostTest, MainWindowCarriesTheDrawingName)
{
    Host("dialog:Drawing Properties|x", L"Drawing Properties");
    std::wstring title;
    EXPECT_NE(FindHostMainWindow(&title), nullptr);
    EXPECT_EQ(title, L"Draxil R26.0 - [gear.dwg]");
}

TEST_F(SimulatedHostTest, FatalDialogEndsTheHostBeforeItSaves)
{
    HANDLE host = Host("dialog:Migration Error|Block table damaged", L"Migration Error");
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(host, 5000), 0u);
    EXPECT_FALSE(Saved());
    std::string log = LogText();
    EXPECT_NE(log.find("\tBlock table damaged\n"), std::string::npos) << log;
    EXPECT_NE(log.find("showed the window \"Migration Error\""), std::string::npos) << log;
}

TEST_F(SimulatedHostTest, AnsweredDialogsLetTheHostSaveAndQuit)
{
    HANDLE host = Host("dialog:Drawing Properties|x", L"Drawing Properties");
    WatchHostWindows();
    EXPECT_NE(wts::ExitCode(host, 10000), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_TRUE(Saved());

    host = Host("dialog:Draxil Message|Press ENTER to continue.", L"Draxil Message");
    WatchHostWindows();
    EXPECT_NE(wts::ExitCode(host, 10000), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_TRUE(Saved());
    EXPECT_EQ(LogText(), "\tThe host window \"Drawing Properties\" was answered.\n");
}

TEST_F(SimulatedHostTest, ReadOnlyWarningIsLeftToTheUser)
{
    HANDLE host = Host("dialog:Draxil Warning|The drawing will be opened read-only.", L"Draxil Warning");
    WatchHostWindows();
    EXPECT_EQ(wts::ExitCode(host, 1500), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(LogText(), "");
}

TEST_F(SimulatedHostTest, KeySequenceDialogIsBroughtUpAndHandledAgainIfStillThere)
{
    HANDLE host = Host("dialog:Migrate Assembly Options|Assemblies: 3", L"Migrate Assembly Options");
    HWND window = m_window;
    WatchHostWindows();
    wts::Pump(500);
    EXPECT_TRUE(GetForegroundWindow() == window || GetTopWindow(nullptr) == window);
    EXPECT_EQ(LogLines().front(), "\tThe host window \"Migrate Assembly Options\" was answered.");
    if (wts::ExitCode(host, 3000) == STILL_ACTIVE) {
        WatchHostWindows();
        EXPECT_EQ(wts::ExitCode(host, 5000), 0u);
    }
}

TEST_F(SimulatedHostTest, ErrorInTheExtensionLogIsFoundAndLogged)
{
    Host("logerror:ERROR: cannot open external reference", L"Draxil R26.0 - [gear.dwg]");
    bool found = false;
    for (int i = 0; i < 50 && !found; ++i) {
        found = HostLogWatch::Scan();
        if (!found)
            wts::Pump(200);
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(LogText(), "\t\t** \"ERROR: cannot open external reference\"\n");
    EXPECT_NE(FindHostMainWindow(), nullptr);
}
