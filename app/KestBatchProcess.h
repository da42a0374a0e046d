// The running batch process. The application object holds the one instance
// and is the only owner of its handle; the progress dialog borrows it through
// a pointer to this object (never a copy of the handle), so once either side
// clears it, nobody can use the closed handle.
//
// Every batch runs in the run's job object, and so does every process it
// starts (the hosts). The supervision ends and answers only windows of the
// run's processes, and reaches them only through this object. The job lives
// as long as the program: it is made with kill-on-close, so when the program
// ends for any reason, the system ends whatever of the run still lives.
//
// A program started inside a job that lets nothing out and takes no nested
// job (Windows 7) cannot have a job of its own. Its run goes on confined by
// the process tree that the batch starts: the batch, known by its id and
// creation time, and every process descended from it.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

class KestBatchProcess {
public:
    KestBatchProcess() = default;
    ~KestBatchProcess();
    KestBatchProcess(const KestBatchProcess&) = delete;
    KestBatchProcess& operator=(const KestBatchProcess&) = delete;

    // Starts the command line suspended and adopts it. Inside a job, it first
    // tries to start it out of that job, so that the run's job is a job of
    // its own. False with the system's error in GetLastError.
    bool Start(wchar_t* commandLine, DWORD flags, void* environment, STARTUPINFOW& startup);
    // Takes over a process started suspended: puts it into the run's job (made
    // at the first call), or, where no job can take it, confines the run to
    // its process tree; then lets it run and closes its thread handle. When
    // neither is possible, the process is ended unstarted, nothing is held and
    // the result is false, with the system's error code in GetLastError.
    bool Adopt(const PROCESS_INFORMATION& info);
    // Closes the process handle (the process goes on) and zeroes the
    // information. The job stays, with every process still in it.
    void Clear();
    bool Held() const { return m_info.hProcess != nullptr; }
    // The held batch runs without a job of its own.
    bool ConfinedByTree() const { return m_treeRoot != 0; }
    // True while the held process runs; false when none is held, it has
    // ended or its state cannot be read.
    bool IsRunning() const;
    // Ends the held process and waits up to waitMs for it to be gone, so its
    // files are closed when this returns. False when none is held or it fails.
    bool Terminate(UINT exitCode, DWORD waitMs) const;
    // The process opened with the rights asked for, when it is one of the
    // run's (a batch or anything it started), else null. The same handle that
    // was checked is the one to act on: an id may be reused meanwhile.
    HANDLE OpenOwned(DWORD processId, DWORD access) const;
    bool OwnsProcess(DWORD processId) const;
    // The ids of the run's processes that still live.
    std::vector<DWORD> ProcessIds() const;
    // Ends every batch and host process of the run now, and waits briefly
    // until they are gone. The held handle stays, so its holders see the
    // batch ended as after any other end.
    void EndRun();

    // Test seam: a system that nests no jobs (Windows 7), where a batch inside
    // another job cannot join the run's.
    static bool s_noNestedJobsForTest;
    // Test seam: decides by id which processes are the run's; empty restores the job.
    void SetOwnerFilterForTest(std::function<bool(DWORD)> filter) { m_ownerFilter = std::move(filter); }

    PROCESS_INFORMATION m_info = {};

private:
    bool InTree(DWORD processId, HANDLE process) const;

    HANDLE m_job = nullptr;
    DWORD m_treeRoot = 0;           // the batch's id when confined by its tree
    ULONGLONG m_treeRootCreated = 0;
    std::function<bool(DWORD)> m_ownerFilter;
};
