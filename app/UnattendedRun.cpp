// Transmora's command line: the usage box, and the unattended run that a
// scheduled task starts. Nothing in an unattended run waits for a person.
#include "CKestNoluApp.h"
#include "BatchText.h"
#include "ResourceIds.h"
#include "RunMessages.h"
#include "RunSafetyIds.h"
#include "UnattendedIds.h"
#include "../drawings/FormatCheck.h"
#include "../drawings/KestDmlFile.h"
#include "../host/HostKeys.h"
#include "../supervise/HostWindowWatch.h"
#include "../supervise/ProgressIds.h"

#include <shellapi.h>

namespace {
std::wstring LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text.Str();
}

std::wstring FormatText(UINT id, const std::wstring& argument)
{
    std::wstring format = LoadText(id);
    CString text;
    if (FormatTakes(format, "s"))
        text.Format(format.c_str(), argument.c_str());
    else
        text.Format(L"%s %s", format.c_str(), argument.c_str());
    return text.Str();
}

std::wstring FullPath(const std::wstring& path)
{
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
    full.resize(n < full.size() ? n : 0);
    return full.empty() ? path : full;
}

// The exit code, named in the log.
int Ending(int code)
{
    CString text;
    std::wstring format = LoadText(IDS_UNATTENDED_EXIT);
    if (FormatTakes(format, "d"))
        text.Format(format.c_str(), code);
    else
        text.Format(L"%s %d", format.c_str(), code);
    RunMessages::Log(text.Str());
    return code;
}

// The reason an unattended run could not run (when not logged already), and its exit code 2.
int Refuse(const std::wstring& reason)
{
    if (!reason.empty())
        RunMessages::Log(reason);
    return Ending(2);
}

bool HostInstalled(const std::wstring& hostFolder)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, GetProfileKeyPath().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    DWORD attributes = GetFileAttributesW((BatchText::WithTrailingSeparator(hostFolder) + L"drxl.exe").c_str());
    return !hostFolder.empty() && attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}

KestCommandLine ProgramCommandLine()
{
    std::vector<std::wstring> arguments;
    int count = 0;
    if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            arguments.push_back(argv[i]);
        LocalFree(argv);
    }
    return KestCommandLine::Parse(arguments);
}

bool CKestNoluApp::RunCommandLine(const KestCommandLine& line)
{
    if (line.RunsUnattended() && !line.help) {
        m_exitCode = RunUnattended(line);
        return true;
    }
    const bool nothing = line.unknown.empty() && !line.unattended && line.list.empty() && line.log.empty();
    if (!line.help && nothing)
        return false;
    // Nothing ran: whatever another Transmora keeps (the host's log value) stays.
    m_otherInstance = true;
    std::wstring text = LoadText(IDS_USAGE);
    if (!line.unknown.empty())
        text = FormatText(IDS_UNKNOWN_ARGUMENT, line.unknown.front()) + L"\n\n" + text;
    // Only a plain "/?" is no mistake; "/list" without "/unattended" is one.
    m_exitCode = line.help && nothing ? 0 : 2;
    if (!line.unattended) {
        RunMessages::Show(nullptr, text, MB_ICONINFORMATION | MB_OK);
        return true;
    }
    // An unattended start never shows a box: the stored log, or the one asked for, gets the reason.
    ReadSettings();
    if (!line.log.empty())
        g_logFile = FullPath(line.log);
    RunMessages::SetLogReady(true);
    Refuse(text);
    return true;
}

int CKestNoluApp::RunUnattended(const KestCommandLine& line)
{
    ReadSettings();
    if (!line.log.empty())
        g_logFile = FullPath(line.log);
    RunMessages::SetLogReady(true);
    m_unattendedList = FullPath(line.list);
    RunMessages::Log(L"");
    RunMessages::Log(FormatText(IDS_UNATTENDED_START, m_unattendedList));

    // Another migration: its message is the reason.
    if (!ClaimSingleInstance())
        return Refuse(std::wstring());

    // An interrupted run goes on without a question: not under an open Draxil,
    // which would take the run's profile values or write its own over them.
    if (FindHostMainWindow())
        return Refuse(LoadText(IDS_HOST_RUNNING));

    KestRunRecord record;
    int restartIndex = 0;
    if (RecoverInterruptedRun(record, restartIndex)) {
        // The continued run appends to the log that holds its first part.
        RunMessages::RunLogBegun();
        if (ContinueRun(record, restartIndex) != IDOK)
            return Refuse(std::wstring());
        return Ending(m_runComplete ? 0 : 1);
    }

    const DWORD attributes = GetFileAttributesW(m_unattendedList.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Refuse(FormatText(IDS_NO_SUCH_LIST, m_unattendedList));
    std::vector<std::wstring> entries;
    {
        KestDmlFile list(m_unattendedList);
        if (!list.Open(false))
            return Refuse(FormatText(IDS_NOT_A_LIST, m_unattendedList));
        if (!list.ReadList(entries, true))
            return Refuse(FormatText(IDS_NOT_A_LIST, m_unattendedList));
    }
    if (!HostInstalled(m_hostFolder))
        return Refuse(LoadText(IDS_NO_HOST));
    if (FindHostMainWindow())
        return Refuse(LoadText(IDS_HOST_RUNNING));

    // The options of the last finished wizard; this run's log is not stored.
    m_Operation = 1;
    m_listFile = m_unattendedList;
    m_drawings = entries;
    m_report.Clear();
    PrepareHostProfile(ProfileStep::Save);
    CheckRunDrawings();
    if (!PrepareRun())
        return Refuse(LoadText(IDS_JOURNAL_NOT_WRITTEN));
    // A run that did not start (its reason is logged) still reports the drawings it left out.
    if (RunProgressDialog(-1) != IDOK) {
        if (!m_report.Empty())
            WriteRunReport({});
        return Refuse(std::wstring());
    }
    return Ending(m_runComplete ? 0 : 1);
}
