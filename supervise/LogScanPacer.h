// Runs the scan of the extension's log in slices, so that no timer message
// keeps the progress dialog from painting and answering for long: a slice
// that runs out of time asks for a quick follow-up timer, whose message runs
// the next slice, until the scan reaches the end of the log.
#pragma once
#include <windows.h>

class LogScanPacer {
public:
    static constexpr UINT_PTR kFollowUpTimerId = 36;
    // Time one slice may read, and the pause before the next.
    static constexpr unsigned kSliceMs = 25;
    static constexpr unsigned kFollowUpMs = 10;

    bool IsFollowUp(UINT_PTR timerId) const { return m_pending && timerId == kFollowUpTimerId; }
    // Scans one slice for the window's timers; true when it found (and logged) an error line.
    bool Slice(HWND window);
    // No follow-up any more (the run stopped or ended).
    void Cancel(HWND window);

private:
    bool m_pending = false;
};
