// The running batch process. The application object holds the one instance
// and is the only owner of its handle; the progress dialog borrows it through
// a pointer to this object (never a copy of the handle), so once either side
// clears it, nobody can use the closed handle.
#pragma once
#include <windows.h>

class KestBatchProcess {
public:
    KestBatchProcess() = default;
    ~KestBatchProcess() { Clear(); }
    KestBatchProcess(const KestBatchProcess&) = delete;
    KestBatchProcess& operator=(const KestBatchProcess&) = delete;

    // Takes over a started process; its thread handle is closed at once.
    void Adopt(const PROCESS_INFORMATION& info);
    // Closes the process handle (the process goes on) and zeroes the information.
    void Clear();
    bool Held() const { return m_info.hProcess != nullptr; }
    // True while the held process runs; false when none is held, it has
    // ended or its state cannot be read.
    bool IsRunning() const;
    // Ends the held process and waits up to waitMs for it to be gone, so its
    // files are closed when this returns. False when none is held or it fails.
    bool Terminate(UINT exitCode, DWORD waitMs) const;
    // Ends the run now (the session ends): the held batch process, waited for briefly.
    // minimal; the job-object version replaces it
    void EndRun();

    PROCESS_INFORMATION m_info = {};
};
