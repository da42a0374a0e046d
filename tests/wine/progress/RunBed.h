// The test bed of the run suites: a simulated host, generated drawings and
// their lists, and what a run leaves behind (the log, MIGRATED.TXT, the marks
// of a drawing list, notepad windows).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class RunBed {
public:
    // Installs the simulated host into a fresh folder. Once per suite.
    static void SetUpHost();
    static std::wstring HostFolder();

    // A fresh folder for one test; its name may hold blanks.
    static std::wstring FreshFolder(const std::wstring& name);
    // A drawing in folder; a fault gives it the marker "KESTFAULT=<fault>".
    static std::wstring Drawing(const std::wstring& folder, const std::wstring& name, const std::wstring& fault = L"");
    static std::wstring PlainList(const std::wstring& folder, const std::vector<std::wstring>& drawings);
    static std::wstring DmlList(const std::wstring& folder, const std::vector<std::wstring>& drawings);

    // The log with line ends as "\n"; lines split.
    static std::string ReadText(const std::wstring& path);
    static std::vector<std::string> Lines(const std::wstring& path);
    static std::wstring MigratedListPath();
    static std::wstring MigrateListPath();

    // The dialog's stored position under the migration settings key.
    static std::wstring SettingsKey();
    static void ForgetWindowPosition();
    static void StoreWindowPosition(DWORD x, DWORD y);

    // Ends every notepad that shows it.
    static void CloseNotepads(const std::wstring& fileName);

    // A host main window of a host started without a script.
    static HANDLE StartIdleHost();
};
