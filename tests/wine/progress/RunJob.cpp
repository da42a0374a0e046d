// RunJob: a whole run without the wizard, for developers and the Wine tests.
// It fills the job from its command line as the wizard would, then does
// exactly what Transmora does after Finish: stores the settings, prepares the
// run, shows the progress dialog and opens the log in notepad after OK.
// Exit code: the dialog's result (1 OK, 2 Cancel), or 3 for a bad command line.
#include "CKestNoluApp.h"
#include "CProgressDlg.h"
#include "KestDmlFile.h"
#include "KestFilenm.h"
#include "KestResourceModule.h"
#include "ResourceIds.h"
#include "RunLog.h"
#include "TextLocale.h"

#include <clocale>
#include <cstdio>
#include <cwchar>
#include <mbctype.h>
#include <string>
#include <vector>

CKestNoluApp theApp;

namespace {
const wchar_t kUsage[] =
    L"Usage: RunJob [options] LIST\n"
    L"Runs the drawings of LIST (a drawing list file, or a plain list with one path a line)\n"
    L"through the progress dialog, as Transmora does after the wizard's Finish.\n"
    L"\n"
    L"  --operation N     1 migrate run (default from the registry), any other value an analysis run\n"
    L"  --timeout MIN     minutes allowed per drawing\n"
    L"  --log PATH        the migration log\n"
    L"  --log-flags N     LogFlags\n"
    L"  --drxlm-flags N   DrxlmFlags (update steps)\n"
    L"  --quenbar-flags N QuenbarFlags\n"
    L"  --template PATH   drawing template of the set-up step\n"
    L"  --search FOLDER   a search folder (repeat for more; replaces the host profile's list)\n"
    L"  --timer-second MS length of one second of the dialog's timers (default 1000; tests only)\n"
    L"  --no-nested-jobs  a batch inside a job joins no other (as on Windows 7; tests only)\n";

bool ParseInt(const wchar_t* text, int& value)
{
    wchar_t* end = nullptr;
    long parsed = wcstol(text, &end, 10);
    if (!*text || *end || parsed < -2147483647L - 1 || parsed > 2147483647L)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH * 2] = {0};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

// In the build tree the language module lies in ..\bin beside Transmora.exe.
void FindLanguageModule()
{
    if (GetEnvironmentVariableW(L"USTORA_FOLDER", nullptr, 0) > 0)
        return;
    std::wstring bin = ProgramFolder() + L"..\\bin\\";
    if (GetFileAttributesW((bin + L"drxlm\\en-US\\keNoluRes.dll").c_str()) != INVALID_FILE_ATTRIBUTES)
        SetEnvironmentVariableW(L"USTORA_FOLDER", bin.c_str());
}

// The job's drawings: a drawing list brings its drawings still to do and
// becomes the list file that the run marks; a plain list gives full paths.
void ReadDrawings(const std::wstring& list)
{
    KestDmlFile dml(list);
    dml.m_showErrors = false;
    std::vector<std::wstring> entries;
    if (dml.Open(false) && dml.ReadList(entries, true)) {
        theApp.m_drawings = entries;
        theApp.m_listFile = KestFilenm(list, false).m_path;
        return;
    }
    dml.Close();
    std::vector<std::wstring> lines;
    ReadLines(list, lines);
    for (const std::wstring& line : lines)
        if (!line.empty())
            theApp.m_drawings.push_back(KestFilenm(line, false).m_path);
}
}

int wmain(int argc, wchar_t** argv)
{
    std::wstring list;
    struct {
        bool operation = false, timeout = false, logFlags = false, drxlmFlags = false, quenbarFlags = false;
    } given;
    int operation = 0, timeout = 0, logFlags = 0, drxlmFlags = 0, quenbarFlags = 0, timerSecond = 0;
    std::wstring log, templatePath;
    std::vector<std::wstring> search;
    bool searchGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        bool hasValue = i + 1 < argc;
        bool ok = true;
        if (a == L"--operation" && hasValue)
            ok = given.operation = ParseInt(argv[++i], operation);
        else if (a == L"--timeout" && hasValue)
            ok = given.timeout = ParseInt(argv[++i], timeout);
        else if (a == L"--log-flags" && hasValue)
            ok = given.logFlags = ParseInt(argv[++i], logFlags);
        else if (a == L"--drxlm-flags" && hasValue)
            ok = given.drxlmFlags = ParseInt(argv[++i], drxlmFlags);
        else if (a == L"--quenbar-flags" && hasValue)
            ok = given.quenbarFlags = ParseInt(argv[++i], quenbarFlags);
        else if (a == L"--timer-second" && hasValue)
            ok = ParseInt(argv[++i], timerSecond) && timerSecond > 0;
        else if (a == L"--no-nested-jobs")
            KestBatchProcess::s_noNestedJobsForTest = true;
        else if (a == L"--log" && hasValue)
            log = argv[++i];
        else if (a == L"--template" && hasValue)
            templatePath = argv[++i];
        else if (a == L"--search" && hasValue) {
            search.push_back(argv[++i]);
            searchGiven = true;
        } else if (a.size() > 2 && a.compare(0, 2, L"--") != 0 && list.empty())
            list = a;
        else
            ok = false;
        if (!ok) {
            fwprintf(stderr, L"%ls", kUsage);
            return 3;
        }
    }
    if (list.empty()) {
        fwprintf(stderr, L"%ls", kUsage);
        return 3;
    }

    // The process locale as the start-up sets it.
    std::string localeName = SystemLocaleName();
    if (!setlocale(LC_ALL, localeName.c_str()))
        _wsetlocale(LC_ALL, L"C");
    _wsetlocale(LC_NUMERIC, L"C");
    _wsetlocale(LC_TIME, L"");
    _setmbcp(_MB_CP_ANSI);

    FindLanguageModule();
    KestResourceModule resources;
    theApp.m_appName.LoadString(IDS_CAPTION);

    theApp.ReadSettings();
    // The Begin page saves the host profile; the run prepares it from that.
    PrepareHostProfile(ProfileStep::Save);

    if (given.operation)
        theApp.m_Operation = operation;
    if (given.timeout)
        theApp.m_Timeout = timeout;
    if (given.logFlags)
        theApp.m_LogFlags = logFlags;
    if (given.drxlmFlags)
        theApp.m_DrxlmFlags = drxlmFlags;
    if (given.quenbarFlags)
        theApp.m_QuenbarFlags = quenbarFlags;
    if (!log.empty())
        g_logFile = log;
    if (!templatePath.empty())
        theApp.m_templatePath = templatePath;
    if (searchGiven)
        theApp.m_searchFolders = search;
    // The Options page always clears these two.
    theApp.m_UpdateFlags = 0;
    theApp.m_OptionFlags = 0;
    if (timerSecond > 0)
        CProgressDlg::s_timerSecondMs = static_cast<UINT>(timerSecond);
    ReadDrawings(list);

    INT_PTR result = theApp.RunFinishedJob();
    theApp.ExitInstance();
    return static_cast<int>(result);
}
