// Transmora.exe driven from the Begin page into a run of a drawing list, and
// ended there the hard way; then the registry, files and windows of the next start.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace rb {
std::wstring Text(UINT id);
// A resource format filled with one number, narrowed as the log holds it.
std::string Line(UINT id, int number);

// Every value under HKEY_CURRENT_USER\Software\Korvane but the migration settings key and the
// standard that the Standards page stores: "key\name" -> type, bytes.
using Export = std::map<std::wstring, std::pair<DWORD, std::string>>;
Export ExportProfile();
// The differences, readable; empty when none.
std::string Diff(const Export& before, const Export& after);
// The export after a run: the same, with the run counted once in "Repeat Count".
Export Counted(Export before);
// Kept in a file across the end of the whole prefix.
void SaveExport(const Export& values, const std::wstring& path);
Export LoadExport(const std::wstring& path);

// The simulated host in a fresh folder, its keys found, and a user's own
// profile: some values missing, one of a foreign type, a run count of 4.
// The settings of earlier jobs are gone; the log goes to logFile.
void PrepareUser(const std::wstring& hostFolder, const std::wstring& logFile, DWORD operation);
std::wstring MigrationKey();
std::wstring ProfileKey();

// count drawings "part NN.dwg" in root; drawing slowNumber carries the fault. The list file lists them all.
std::vector<std::wstring> MakeDrawings(const std::wstring& root, int count, int slowNumber, const char* fault);
void WriteList(const std::wstring& path, const std::vector<std::wstring>& drawings);

// The temporary files of Transmora ("lorn*") in the temporary folder.
std::vector<std::wstring> TempFiles();

bool IsRunning(DWORD pid);

// A running Transmora.exe, ended at the end of the scope if still running.
struct Transmora {
    // With arguments after the program's name, as a scheduled task starts it.
    explicit Transmora(const std::wstring& arguments = std::wstring());
    ~Transmora();
    // Ends it as the task manager would; the number of processes it started
    // that outlived it by 10 s (ended then too).
    int Kill();
    // Lets it run on past the test (the prefix's end takes it).
    void Detach();
    HANDLE process = nullptr;
    DWORD pid = 0;
};

// The wizard's Begin page, ready for Next.
HWND WaitForBeginPage(DWORD pid, DWORD timeoutMs = 60000);
// Begin page, safety notice, Files page: the save step has run.
bool ToFilesPage(HWND sheet, DWORD pid);
// Files page: the list loaded; then every page on to Finish. The progress dialog, or null.
HWND StartRun(HWND sheet, DWORD pid, const std::wstring& list);
// From the Begin page to the running job: the progress dialog, or null.
HWND OpenRun(const Transmora& app, const std::wstring& list);
// Until the run's record (or, without one, the dialog) names this drawing.
bool WaitForDrawing(HWND progress, int number, bool recorded);
// A message box of the process (any owner), or null after the time-out.
HWND WaitForBox(DWORD pid, DWORD timeoutMs = 60000);
std::wstring BoxText(HWND box);
// Waits for the finished migrate run, presses OK, closes notepad on the log and waits for the end.
bool FinishAndExit(HWND progress, const Transmora& app, const std::wstring& logFile, std::string* why);
}
