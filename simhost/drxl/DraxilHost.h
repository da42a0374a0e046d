// The simulated host's work: follows a drawing script line by line as far as
// the host contract fixes it (load the extension, take the log and its flags,
// open the drawing, save, quit) and acts out the drawing's fault markers.
#pragma once
#include "ExtensionLog.h"
#include "FaultMarkers.h"
#include "HostStrings.h"

#include <windows.h>
#include <deque>
#include <string>
#include <vector>

class DraxilHost {
public:
    static constexpr UINT kStepMessage = WM_APP + 1;
    static constexpr UINT_PTR kResumeTimer = 1;
    static constexpr UINT_PTR kReassertTimer = 2;

    DraxilHost(HWND window, const HostStrings& strings) : m_window(window), m_strings(strings) {}
    // Reads the script (text in the system code page); false when it cannot be read.
    bool LoadScript(const std::wstring& path);
    // Runs lines until the script must wait, hangs, quits or runs out.
    void Step();
    void OnTimer(UINT_PTR id);
    // A crash marker was met; the message loop crashes the process.
    bool CrashPending() const { return m_crashPending; }

private:
    std::wstring NextLine();
    void Execute(const std::wstring& command);
    void RunFault(const Fault& fault);
    void Open(const std::wstring& path);
    void Save();
    void WaitThenStep(DWORD ms);
    void AddMigrationLogLine(const std::wstring& line);

    HWND m_window;
    const HostStrings& m_strings;
    std::vector<std::wstring> m_lines;
    size_t m_next = 0;
    bool m_inStep = false;
    bool m_waiting = false;
    bool m_stopped = false;
    bool m_crashPending = false;

    bool m_extension = false;
    ExtensionLog m_log;
    std::wstring m_migrationLog;
    int m_logFlags = 0;

    std::wstring m_drawing;
    bool m_open = false;
    bool m_migrate = false;
    bool m_noSave = false;
    int m_delaySeconds = 0;
    bool m_listed = false;
    std::deque<Fault> m_pending;
};
