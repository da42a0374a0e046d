#include "KestBatchProcess.h"

namespace {
// How long EndRun waits for the ended processes to be gone.
const DWORD kEndRunWaitMs = 5000;
}

KestBatchProcess::~KestBatchProcess()
{
    Clear();
    if (m_job)
        CloseHandle(m_job);
}

bool KestBatchProcess::Adopt(const PROCESS_INFORMATION& info)
{
    Clear();
    if (!m_job) {
        m_job = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (m_job && !SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
            CloseHandle(m_job);
            m_job = nullptr;
        }
    }
    if (!m_job || !AssignProcessToJobObject(m_job, info.hProcess)) {
        // A batch outside the job could start hosts that nothing may end.
        DWORD error = GetLastError();
        TerminateProcess(info.hProcess, 0);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        SetLastError(error);
        return false;
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

bool KestBatchProcess::OwnsProcess(DWORD processId) const
{
    if (!m_job || processId == 0)
        return false;
    // The limited query right is not enough for the job test.
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process)
        return false;
    BOOL inJob = FALSE;
    bool owned = IsProcessInJob(process, m_job, &inJob) && inJob;
    CloseHandle(process);
    return owned;
}

std::vector<DWORD> KestBatchProcess::ProcessIds() const
{
    std::vector<DWORD> ids;
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
