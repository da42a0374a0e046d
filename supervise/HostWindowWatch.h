// Watching the host's windows while a run is supervised: its main window and
// the dialogs it shows (ended or answered with keys). Everything done is
// recorded in the migration log as indented lines. All of it runs on the
// user-interface thread; the extension's log is read by HostLogWatch.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

// The host's main window (and its title when asked for), or null: of any
// process, as a host open for other work matters too before a run starts.
HWND FindHostMainWindow(std::wstring* title = nullptr);
// The same, but only a window of the run's own processes.
HWND FindRunHostMainWindow(std::wstring* title = nullptr);
// The run's host processes (the job's, by the host's program name), hung
// before their main window showed or showing another title included.
std::vector<DWORD> RunHostProcessIds();
// Logs the child texts of every top-level window of the process.
void LogProcessChildTexts(DWORD processId);
// Ends or answers at most one host window per call (the Enter key that a
// window of row 2102 gets does not count). Only windows of the run's own
// processes are looked at; every other window is left alone, unlogged.
void WatchHostWindows();

// Whether a process is the run's: a batch or a process it started. The run's
// batch process (its job, or its tree) decides, unless a test put its own
// filter in its place; every question about the run's processes goes there.
bool IsRunProcess(DWORD processId);
// The run's process opened with the rights asked for, else null: the handle
// that was checked is the one to end it through.
HANDLE OpenRunProcess(DWORD processId, DWORD access);
// Test seam: an empty filter restores the job's decision.
void SetRunProcessFilterForTest(std::function<bool(DWORD)> filter);
// Logs every non-empty text of the window's child windows.
void LogChildTexts(HWND window);
// Appends a tab, the text and a line end to the migration log.
void AddIndentedLogLine(const std::wstring& text);
void AddIndentedLogString(UINT id);

// Test hook: forget the remembered key of row 2132, the last key-sequence
// window and where the last log scan ended.
void ResetHostWatchForTest();
