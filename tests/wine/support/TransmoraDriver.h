// Transmora.exe started by a suite and driven as a user would, with window messages from the suite's process:
// the Begin page, the safety notice, a drawing list on the Files page, the pages on to Finish, the progress
// dialog and the end of the program. The driver owns the process: what still runs at scope end is ended, and
// with it what the program started.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

class TransmoraDriver {
public:
    struct Options {
        // After the program's name, as a scheduled task or a user's shortcut gives them.
        std::wstring arguments;
        // More "NAME=value;..." variables for the program.
        std::wstring environment;
        // The language the program is started in and whose texts the driver looks for; empty: the
        // program's own choice, with the English texts.
        std::wstring language;
    };

    explicit TransmoraDriver(const std::wstring& arguments = std::wstring());
    explicit TransmoraDriver(const Options& options);
    ~TransmoraDriver();
    TransmoraDriver(const TransmoraDriver&) = delete;
    TransmoraDriver& operator=(const TransmoraDriver&) = delete;

    // Ends it as the task manager would; the number of processes it started that outlived it by 10 s (ended
    // then too).
    int Kill();
    // Lets it run on past the test (the prefix's end takes it).
    void Detach();

    // A text of the language module the program runs with.
    std::wstring Text(UINT id) const;

    // The wizard's Begin page, ready for Next; null after the time-out.
    HWND WaitForBeginPage(DWORD timeoutMs = 60000);
    // Next, and OK on the safety notice (after atSafetyNotice had it): true on the Files page.
    bool ToFilesPage(const std::function<void(HWND)>& atSafetyNotice = nullptr);
    // Load list on the Files page; true once the list shows that many rows (any, for 0).
    bool LoadList(const std::wstring& list, int rows = 0);
    // The first drawing of the loaded list selected, so that the preview shows it.
    bool SelectFirstDrawing();
    // Next; true once the page of that index shows.
    bool Next(int pageIndex, DWORD timeoutMs = 30000);
    // Finish; the progress dialog, or null. meanwhile runs while it waits (to answer a question).
    HWND Finish(const std::function<void()>& meanwhile = nullptr, DWORD timeoutMs = 60000);
    // The progress dialog once it shows, or null; meanwhile runs while it waits.
    HWND WaitForProgress(DWORD timeoutMs = 60000, const std::function<void()>& meanwhile = nullptr);
    // From the Begin page to the running job with the list: the progress dialog, or null and Failure() tells
    // the step that failed.
    HWND OpenRun(const std::wstring& list);
    const std::string& Failure() const { return m_failure; }
    // Until the progress dialog shows the migrate run finished with OK enabled; false after the time-out.
    bool WaitForFinished(DWORD timeoutMs, const std::function<void()>& meanwhile = nullptr);
    // Waits for the finished run, presses OK, waits for notepad on the log and the end, and closes notepad.
    bool FinishAndExit(const std::wstring& logFile, std::string* why);
    // Cancel, and Yes to the question; true once the program has ended.
    bool Cancel();

    // A message box of the program (any owner) while no progress dialog or wizard page shows it, or null.
    HWND WaitForBox(DWORD timeoutMs = 60000) const;
    bool WaitForExit(DWORD timeoutMs = 60000) const;
    // The exit code, or STILL_ACTIVE.
    DWORD ExitCode() const;

    HWND Sheet() const { return m_sheet; }
    HWND Progress() const { return m_progress; }

    HANDLE process = nullptr;
    DWORD pid = 0;

private:
    std::wstring m_language;
    HWND m_sheet = nullptr;
    HWND m_progress = nullptr;
    std::string m_failure;
};
