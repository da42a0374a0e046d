// Reading the host extension's log while a run is supervised: an error line
// in it ends the drawing's host like a fatal window does. Each scan reads only
// what the log gained since the previous one, and starts over when the log is
// another file or was rewritten. All of it runs on the user-interface thread.
#pragma once
#include "HostLogScanner.h"

class HostLogWatch {
public:
    // True when the log shows an error line, which is then logged.
    static bool Scan();
    // The same scan in slices: one call reads for about budgetMs at most and says
    // Unfinished when the log holds more; the next call goes on where it stopped.
    static HostLogScanner::Slice ScanSlice(unsigned budgetMs);
    // Test hook: forget where the last scan ended.
    static void ResetForTest();
};
