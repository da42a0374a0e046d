// Transmora.exe driven from the Begin page into a run of a drawing list, and
// ended there the hard way; then the registry, files and windows of the next start.
#pragma once
#include <windows.h>

#include "TransmoraDriver.h"
#include "WineTestSupport.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace rb {
using wts::Line;
using wts::Text;

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

// A running Transmora.exe, ended at the end of the scope with what it started.
using Transmora = TransmoraDriver;

// Until the run's record (or, without one, the dialog) names this drawing.
bool WaitForDrawing(HWND progress, int number, bool recorded);
}
