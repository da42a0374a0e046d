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
#include "../drawings/KestSharedList.h"
#include "../host/HostKeys.h"
#include "../supervise/HostWindowWatch.h"
#include "../supervise/ProgressIds.h"

#include <shellapi.h>

#include <algorithm>

namespace {
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

// Few drawings per claim, so that a fast workstation takes more of the list.
constexpr size_t kBatchSize = 3;

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
    m_unattendedList = FullPath(line.list);
    // Several workstations may run one list: each logs beside it under its own name.
    const std::wstring computer = ClaimFolderWin::ComputerName();
    g_logFile = line.log.empty() ? KestListClaims::WorkstationFile(m_unattendedList, computer, L"log")
                                 : FullPath(line.log);
    RunMessages::SetLogReady(true);
    RunMessages::Log(L"");
    RunMessages::Log(FormatText(IDS_UNATTENDED_START, m_unattendedList));

    // Another migration: its message is the reason.
    if (!ClaimSingleInstance())
        return Refuse(std::wstring());

    // An interrupted run goes on without a question: not under an open Draxil,
    // which would take the run's profile values or write its own over them.
    if (FindHostMainWindow())
        return Refuse(LoadText(IDS_HOST_RUNNING));

    m_claimFolder.reset(new ClaimFolderWin(KestListClaims::FolderFor(m_unattendedList)));
    ClaimFolderWin* folder = m_claimFolder.get();
    // A claim whose heartbeat stopped for three drawing budgets belongs to a stopped workstation.
    m_claims.reset(new KestListClaims(*folder, computer, GetCurrentProcessId(), int64_t(m_Timeout) * 3 * 60,
                                      KestSharedList::MarkReaderFor(m_unattendedList),
                                      [folder] { return folder->ServerNow(); }));

    KestRunRecord record;
    int restartIndex = 0;
    if (RecoverInterruptedRun(record, restartIndex)) {
        // The continued run appends to the log that holds its first part.
        RunMessages::RunLogBegun();
        if (ContinueRun(record, restartIndex) != IDOK)
            return Refuse(std::wstring());
        if (m_listFile.empty())
            return Ending(m_runComplete ? 0 : 1);
        // Its claim went with the stopped process; the list's other batches follow, in the same log.
        m_unattendedList = m_listFile;
        m_logBegun = true;
        return RunClaimedBatches(true);
    }

    const DWORD attributes = GetFileAttributesW(m_unattendedList.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Refuse(FormatText(IDS_NO_SUCH_LIST, m_unattendedList));
    {
        std::vector<std::wstring> entries;
        KestDmlFile list(m_unattendedList);
        if (!list.Open(false))
            return Refuse(FormatText(IDS_NOT_A_LIST, m_unattendedList));
        if (!list.ReadList(entries, false))
            return Refuse(FormatText(IDS_NOT_A_LIST, m_unattendedList));
    }
    if (!HostInstalled(m_hostFolder))
        return Refuse(LoadText(IDS_NO_HOST));
    if (FindHostMainWindow())
        return Refuse(LoadText(IDS_HOST_RUNNING));
    return RunClaimedBatches(false);
}

int CKestNoluApp::RunClaimedBatches(bool profileSaved)
{
    // The options of the last finished wizard; this run's log is not stored.
    m_Operation = 1;
    m_listFile = m_unattendedList;
    bool ran = profileSaved, complete = !profileSaved || m_runComplete;
    for (;;) {
        size_t batch = 0;
        std::vector<size_t> indexes;
        int64_t waitSeconds = 0;
        const KestListClaims::Next next = m_claims->NextBatch(kBatchSize, batch, indexes, &waitSeconds);
        if (next == KestListClaims::Next::Finished)
            break;
        if (next == KestListClaims::Next::Wait) {
            // A workstation that got nothing leaves the list to the others; one
            // that ran stays to take over what a stopped one leaves.
            if (!ran)
                break;
            Sleep(static_cast<DWORD>(std::min<int64_t>(std::max<int64_t>(waitSeconds, 1), 10)) * 1000);
            continue;
        }
        if (next == KestListClaims::Next::Unreadable)
            return Refuse(FormatText(IDS_NOT_A_LIST, m_unattendedList));
        if (next != KestListClaims::Next::Batch)
            return Refuse(FormatText(next == KestListClaims::Next::OtherList ? IDS_CLAIMS_OTHER_LIST
                                                                           : IDS_CLAIMS_FAILED,
                                     KestListClaims::FolderFor(m_unattendedList)));
        std::vector<std::wstring> entries;
        std::vector<bool> done;
        KestSharedList list(m_unattendedList);
        list.m_showErrors = false;
        if (!list.ReadMarks(entries, done)) {
            m_claims->Release(batch);
            return Refuse(FormatText(IDS_NOT_A_LIST, m_unattendedList));
        }
        m_drawings.clear();
        for (size_t index : indexes)
            if (index < entries.size() && !done[index])
                m_drawings.push_back(entries[index]);
        if (!m_claims->StillMine(batch))
            continue;
        if (!profileSaved)
            PrepareHostProfile(ProfileStep::Save);
        profileSaved = true;
        ran = true;
        m_report.Clear();
        CheckRunDrawings();
        if (m_drawings.empty()) {
            // Only drawings that cannot be run: the report and the log name them.
            if (!m_logBegun)
                DeleteFileW(g_logFile.c_str());
            m_logBegun = true;
            LogRunStart();
            WriteRunReport({});
        } else {
            if (!PrepareRun()) {
                m_claims->Release(batch);
                return Refuse(LoadText(IDS_JOURNAL_NOT_WRITTEN));
            }
            m_logBegun = true;
            // A run that did not start (its reason is logged) still reports the drawings it left out.
            if (RunProgressDialog(-1) != IDOK) {
                if (!m_report.Empty())
                    WriteRunReport({});
                m_claims->Release(batch);
                return Refuse(std::wstring());
            }
        }
        complete = complete && m_runComplete;
        m_claims->Done(batch);
    }
    if (!ran) {
        RunMessages::Log(LoadText(IDS_LIST_ALL_TAKEN));
        return Ending(0);
    }
    if (m_claims->ClaimLast()) {
        WriteListSummary();
        m_claims->RemoveAll();
    }
    return Ending(complete ? 0 : 1);
}
