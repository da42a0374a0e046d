// One RunJob process and its progress dialog, driven from the test process
// with messages as a user would: clicks are posted commands, and what the
// dialog shows is read back from its controls.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class JobRun {
public:
    struct Options {
        std::wstring list;
        std::wstring log;
        int operation = 1;
        int timeout = 120;
        // One timer second of the dialog in milliseconds; 1000 is the shipped timing.
        int timerSecondMs = 200;
        std::vector<std::wstring> extra;
        // A job that the program starts in, as under a scheduler or a launcher.
        HANDLE job = nullptr;
    };

    explicit JobRun(const Options& options);
    // Ends the program when a test left it running.
    ~JobRun();
    JobRun(const JobRun&) = delete;
    JobRun& operator=(const JobRun&) = delete;

    // The progress dialog, once it shows.
    bool WaitForDialog(DWORD ms = 60000);
    HWND Dialog() const { return m_dialog; }
    DWORD ProcessId() const { return m_processId; }

    std::wstring Text(int id) const;
    bool Visible(int id) const;
    bool Enabled(int id) const;
    bool HasDefaultStyle(int id) const;
    int DefaultButton() const;
    int BarPosition() const;
    bool Topmost() const;
    RECT Frame() const;
    bool DialogOpen() const;

    // A button click as the dialog receives it.
    void Click(int id) const;
    void Post(UINT msg, WPARAM w, LPARAM l) const;

    // A message box of this program other than the dialog, once it shows.
    HWND WaitForMessageBox(DWORD ms = 30000) const;
    static std::wstring BoxText(HWND box);
    static void Answer(HWND box, int id);

    // The program's exit code, or STILL_ACTIVE when it runs on after ms.
    DWORD WaitForExit(DWORD ms = 30000) const;

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    HWND m_dialog = nullptr;
};
