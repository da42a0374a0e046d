// Helpers for the Wine suites.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace wts {
// Windows path of the build's bin folder (KEST_BIN is a Unix path; Z: maps "/").
std::wstring BinDir();
// Windows form of a Unix path.
std::wstring FromUnix(const std::string& unixPath);
// The English language resource module of the build.
std::wstring ResourceModulePath();
// Installs the simulated host into folder with the build's HostSetup.exe; its exit code.
int InstallHost(const std::wstring& folder);
// A fresh empty folder under the prefix's temporary folder.
std::wstring FreshDir(const std::wstring& name);

// Starts a program; returns the process handle (caller closes) or null.
HANDLE Start(const std::wstring& commandLine, const std::wstring& env = L"");
// Runs a program to its end; returns its exit code, or -999 on time-out.
int Run(const std::wstring& commandLine, DWORD timeoutMs = 60000);

// Top-level visible window of any process with this exact title, waiting up to timeoutMs.
HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs);
std::wstring WindowText(HWND window);
// Texts of all child windows.
std::vector<std::wstring> ChildTexts(HWND window);
// Pumps this thread's messages for a while so events settle.
void Pump(DWORD ms);

// Registry helpers that bypass the code under test.
void RegSetString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value);
void RegSetDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD value);
bool RegGetString(HKEY root, const std::wstring& key, const std::wstring& name, std::wstring& value);
bool RegGetDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD& value);
bool RegValueExists(HKEY root, const std::wstring& key, const std::wstring& name);
void RegDeleteTree(HKEY root, const std::wstring& key);
// Value names under a key.
std::vector<std::wstring> RegValueNames(HKEY root, const std::wstring& key);

// Text in the system's ANSI code page, as the run's files hold it.
std::string Narrow(const std::wstring& text);
// How often part stands in text, without overlaps.
size_t Count(const std::string& text, const std::string& part);

bool FileExists(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
}
