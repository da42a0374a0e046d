// The host profile's values as they were before the run; written back at exit.
#pragma once
#include "KestRegSnapshot.h"

#include <array>
#include <string>

// The saved values, in the order they are read.
enum class ProfileValue {
    DRXL, NoStartUpDialog, FileDialog, CommandDialogs, ShowProxyDialog, SDIMode, EmergencyFont, ShowPlotSetup,
    LogFileOpen, LogFilePath, KEXASSEMBLE_VERIFIED, RepeatCount, ShowDialog, XrefLazyLoadMode, Count
};

struct KestSavedProfile {
    std::wstring DRXL;                // support path
    int NoStartUpDialog = 0;
    int FileDialog = 1;
    int CommandDialogs = 1;
    int ShowProxyDialog = 1;
    int SDIMode = 0;
    std::wstring EmergencyFont;
    int ShowPlotSetup = 1;
    int LogFileOpen = 0;
    std::wstring LogFilePath;
    int KEXASSEMBLE_VERIFIED = 0;
    int RepeatCount = 0;
    int ShowDialog = 1;
    int XrefLazyLoadMode = 2;

    // Every value exactly as found (missing, or type and bytes), so that the
    // restore brings back what was there, also values of an unexpected type.
    std::array<KestRegSnapshot, static_cast<size_t>(ProfileValue::Count)> m_raw;
};
