// The host profile's values as they were before the run; written back at exit.
#pragma once
#include <string>

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
};
