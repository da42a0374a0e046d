#include "KestBatchProcess.h"

#include <tlhelp32.h>

#include <algorithm>
#include <map>

namespace {
// How long EndRun waits for the ended processes to be gone.
const DWORD kEndRunWaitMs = 5000;
// Deeper than any batch and host chain; ends a walk through a damaged list.
const int kMaxTreeDepth = 64;

using ParentMap = std::map<DWORD, DWORD>;

ParentMap Parents()
{
    ParentMap parents;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return parents;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        parents[entry.th32ProcessID] = entry.th32ParentProcessID;
    CloseHandle(snapshot);
    return parents;
}

bool CreationTime(HANDLE process, ULONGLONG& created)
{
    FILETIME creation, exit, kernel, user;
    if (!process || !GetProcessTimes(process, &creation, &exit, &kernel, &user))
        return false;
    created = (static_cast<ULONGLONG>(creation.dwHighDateTime) << 32) | creation.dwLowDateTime;
    return true;
}

bool CreationTimeOf(DWORD processId, ULONGLONG& created)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    bool known = CreationTime(process, created);
    if (process)
        CloseHandle(process);
    return known;
}

// Children may leave the job silently, or break away where the job allows it;
// the job's limits as some systems report them are not to be trusted, the
// system's answer to the attempt is.
bool MayBreakAway()
{
    BOOL inJob = FALSE;
    if (!IsProcessInJob(GetCurrentProcess(), nullptr, &inJob) || !inJob)
        return false;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    if (QueryInformationJobObject(nullptr, JobObjectExtendedLimitInformation, &limits, sizeof(limits), nullptr) &&
        (limits.BasicLimitInformation.LimitFlags & JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK))
        return false;
    return true;
}
}

bool KestBatchProcess::s_noNestedJobsForTest = false;

KestBatchProcess::~KestBatchProcess()
{
    Clear();
    if (m_job)
        CloseHandle(m_job);
}

bool KestBatchProcess::Start(wchar_t* commandLine, DWORD flags, void* environment, STARTUPINFOW& startup)
{
    PROCESS_INFORMATION info = {};
    flags |= CREATE_SUSPENDED;   // in the run's job before it can start a host
    bool started = MayBreakAway() && CreateProcessW(nullptr, commandLine, nullptr, nullptr, TRUE,
                                                    flags | CREATE_BREAKAWAY_FROM_JOB, environment, nullptr,
                                                    &startup, &info);
    if (!started)
        started = CreateProcessW(nullptr, commandLine, nullptr, nullptr, TRUE, flags, environment, nullptr, &startup,
                                 &info) != 0;
    return started && Adopt(info);
}

bool KestBatchProcess::Adopt(const PROCESS_INFORMATION& info)
{
    Clear();
    m_treeRoot = 0;
    if (!m_job) {
        m_job = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (m_job && !SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
            CloseHandle(m_job);
            m_job = nullptr;
        }
    }
    BOOL inJob = FALSE;
    const bool nestingRefused = s_noNestedJobsForTest && IsProcessInJob(info.hProcess, nullptr, &inJob) && inJob;
    if (nestingRefused)
        SetLastError(ERROR_ACCESS_DENIED);
    if (!m_job || nestingRefused || !AssignProcessToJobObject(m_job, info.hProcess)) {
        DWORD error = GetLastError();
        ULONGLONG created = 0;
        if (!CreationTime(info.hProcess, created)) {
            // Neither a job nor a known tree: a batch that nothing could follow.
            TerminateProcess(info.hProcess, 0);
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
            SetLastError(error);
            return false;
        }
        m_treeRoot = info.dwProcessId;
        m_treeRootCreated = created;
    }
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    m_info = info;
    m_info.hThread = nullptr;
    return true;
}

void KestBatchProcess::Clear()
{
    if (m_info.hThread)
        CloseHandle(m_info.hThread);
    if (m_info.hProcess)
        CloseHandle(m_info.hProcess);
    m_info = PROCESS_INFORMATION{};
}

bool KestBatchProcess::IsRunning() const
{
    DWORD code = 0;
    return m_info.hProcess && GetExitCodeProcess(m_info.hProcess, &code) && code == STILL_ACTIVE;
}

bool KestBatchProcess::Terminate(UINT exitCode, DWORD waitMs) const
{
    if (!m_info.hProcess || !TerminateProcess(m_info.hProcess, exitCode))
        return false;
    WaitForSingleObject(m_info.hProcess, waitMs);
    return true;
}

// Parent by parent up to the batch, each made no later than its child: a
// parent id now held by a younger process was reused after the parent ended.
bool KestBatchProcess::InTree(DWORD processId, HANDLE process) const
{
    ULONGLONG time = 0;
    if (!m_treeRoot || !CreationTime(process, time))
        return false;
    if (processId == m_treeRoot)
        return time == m_treeRootCreated;
    const ParentMap parents = Parents();
    DWORD id = processId;
    for (int depth = 0; depth < kMaxTreeDepth; ++depth) {
        auto entry = parents.find(id);
        if (entry == parents.end() || entry->second == 0 || entry->second == id)
            return false;
        const DWORD parent = entry->second;
        ULONGLONG parentCreated = 0;
        const bool alive = CreationTimeOf(parent, parentCreated) && parentCreated <= time;
        if (parent == m_treeRoot)   // the batch itself, or, when it is gone, a child of the batch
            return alive ? parentCreated == m_treeRootCreated : time >= m_treeRootCreated;
        if (!alive)
            return false;
        id = parent;
        time = parentCreated;
    }
    return false;
}

HANDLE KestBatchProcess::OpenOwned(DWORD processId, DWORD access) const
{
    if (processId == 0)
        return nullptr;
    if (m_ownerFilter)
        return m_ownerFilter(processId) ? OpenProcess(access, FALSE, processId) : nullptr;
    if (!m_job && !m_treeRoot)
        return nullptr;
    // The limited query right is not enough for the job test.
    HANDLE process = OpenProcess(access | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process)
        return nullptr;
    BOOL inJob = FALSE;
    if (m_treeRoot ? InTree(processId, process) : IsProcessInJob(process, m_job, &inJob) && inJob)
        return process;
    CloseHandle(process);
    return nullptr;
}

bool KestBatchProcess::OwnsProcess(DWORD processId) const
{
    HANDLE process = OpenOwned(processId, SYNCHRONIZE);
    if (process)
        CloseHandle(process);
    return process != nullptr;
}

std::vector<DWORD> KestBatchProcess::ProcessIds() const
{
    std::vector<DWORD> ids;
    if (m_ownerFilter || m_treeRoot) {
        for (const auto& entry : Parents())
            if (OwnsProcess(entry.first))
                ids.push_back(entry.first);
        return ids;
    }
    if (!m_job)
        return ids;
    // Asked again with more room while the list does not fit.
    for (DWORD room = 16; room <= 65536; room *= 4) {
        std::vector<ULONG_PTR> buffer(2 + room);   // with room for the two counts
        auto* list = reinterpret_cast<JOBOBJECT_BASIC_PROCESS_ID_LIST*>(buffer.data());
        if (QueryInformationJobObject(m_job, JobObjectBasicProcessIdList, list,
                                      static_cast<DWORD>(buffer.size() * sizeof(ULONG_PTR)), nullptr)) {
            for (DWORD i = 0; i < list->NumberOfProcessIdsInList && i < room; ++i)
                ids.push_back(static_cast<DWORD>(list->ProcessIdList[i]));
            return ids;
        }
        if (GetLastError() != ERROR_MORE_DATA)
            return ids;
    }
    return ids;
}

void KestBatchProcess::EndRun()
{
    if (m_treeRoot) {
        // The batch first, so that it starts no host after the end of its
        // current one; a second pass takes what started meanwhile.
        std::vector<HANDLE> ended;
        for (int pass = 0; pass < 2; ++pass) {
            std::vector<DWORD> ids = ProcessIds();
            std::stable_partition(ids.begin(), ids.end(), [this](DWORD id) { return id == m_treeRoot; });
            for (DWORD processId : ids)
                if (HANDLE process = OpenOwned(processId, PROCESS_TERMINATE | SYNCHRONIZE)) {
                    TerminateProcess(process, 0);
                    ended.push_back(process);
                }
        }
        const ULONGLONG start = GetTickCount64();
        for (HANDLE process : ended) {
            const ULONGLONG spent = GetTickCount64() - start;
            WaitForSingleObject(process, spent < kEndRunWaitMs ? static_cast<DWORD>(kEndRunWaitMs - spent) : 0);
            CloseHandle(process);
        }
        return;
    }
    if (!m_job)
        return;
    TerminateJobObject(m_job, 0);
    // Ended processes close their files only once they are gone.
    ULONGLONG start = GetTickCount64();
    for (;;) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
        if (!QueryInformationJobObject(m_job, JobObjectBasicAccountingInformation, &accounting, sizeof(accounting),
                                       nullptr) ||
            accounting.ActiveProcesses == 0 || GetTickCount64() - start >= kEndRunWaitMs)
            break;
        Sleep(20);
    }
}
