#include "KestBatchProcess.h"

void KestBatchProcess::Adopt(const PROCESS_INFORMATION& info)
{
    Clear();
    m_info = info;
    if (m_info.hThread) {
        CloseHandle(m_info.hThread);
        m_info.hThread = nullptr;
    }
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

// minimal; the job-object version replaces it
void KestBatchProcess::EndRun()
{
    Terminate(0, 2000);
    Clear();
}
