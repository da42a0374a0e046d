#include "LogScanPacer.h"
#include "HostLogWatch.h"

bool LogScanPacer::Slice(HWND window)
{
    HostLogScanner::Slice result = HostLogWatch::ScanSlice(kSliceMs);
    if (result == HostLogScanner::Slice::Unfinished) {
        m_pending = ::SetTimer(window, kFollowUpTimerId, kFollowUpMs, nullptr) != 0;
        return false;
    }
    Cancel(window);
    return result == HostLogScanner::Slice::ErrorLine;
}

void LogScanPacer::Cancel(HWND window)
{
    if (m_pending)
        ::KillTimer(window, kFollowUpTimerId);
    m_pending = false;
}
