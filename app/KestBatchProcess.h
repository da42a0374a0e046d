// The running batch process. The application object holds the one instance
// and is the only owner of its handle; the progress dialog borrows it through
// a pointer to this object (never a copy of the handle), so once either side
// clears it, nobody can use the closed handle.
//
// Every batch runs in the run's job object, and so does every process it
// starts (the hosts). The supervision ends and answers only windows of the
// job's processes. The job lives as long as the program: it is made with
// kill-on-close, so when the program ends for any reason, the system ends
// whatever of the run still lives.
#pragma once
#include <windows.h>

#include <vector>

class KestBatchProcess {
public:
    KestBatchProcess() = default;
    ~KestBatchProcess();
    KestBatchProcess(const KestBatchProcess&) = delete;
    KestBatchProcess& operator=(const KestBatchProcess&) = delete;

    // Takes over a process started suspended: puts it into the run's job (made
    // at the first call), lets it run and closes its thread handle. When the
    // job cannot take it, the process is ended unstarted, nothing is held and
    // the result is false, with the system's error code in GetLastError.
    bool Adopt(const PROCESS_INFORMATION& info);
    // Closes the process handle (the process goes on) and zeroes the
    // information. The job stays, with every process still in it.
    void Clear();
    bool Held() const { return m_info.hProcess != nullptr; }
    // True while the held process runs; false when none is held, it has
    // ended or its state cannot be read.
    bool IsRunning() const;
    // Ends the held process and waits up to waitMs for it to be gone, so its
    // files are closed when this returns. False when none is held or it fails.
    bool Terminate(UINT exitCode, DWORD waitMs) const;
    // Whether the process is one of the run's: a batch or anything it started.
    bool OwnsProcess(DWORD processId) const;
    // The ids of the run's processes that still live.
    std::vector<DWORD> ProcessIds() const;
    // Ends every batch and host process of the run now, and waits briefly
    // until they are gone. The held handle stays, so its holders see the
    // batch ended as after any other end.
    void EndRun();

    PROCESS_INFORMATION m_info = {};

private:
    HANDLE m_job = nullptr;
};
