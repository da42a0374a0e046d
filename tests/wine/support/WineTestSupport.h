// Helpers for the Wine suites.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace wts {
// Windows path of the build's bin folder (KEST_BIN is a Unix path; Z: maps "/").
std::wstring BinDir();
// Windows form of a Unix path.
std::wstring FromUnix(const std::string& unixPath);
// The English language resource module of the build.
std::wstring ResourceModulePath();
// Installs the simulated host of that language into folder with the build's HostSetup.exe; its exit code.
int InstallHost(const std::wstring& folder, const std::wstring& language = L"en-US");
// A fresh empty folder under the prefix's temporary folder.
std::wstring FreshDir(const std::wstring& name);

// Starts a program with our environment, in which the given "NAME=value;..." entries are added or replace
// ours; returns the process handle (caller closes) or null.
HANDLE Start(const std::wstring& commandLine, const std::wstring& env = L"");
// Runs a program to its end; returns its exit code, or -999 on time-out.
int Run(const std::wstring& commandLine, DWORD timeoutMs = 60000);

// Visible top-level windows of the process (0: this one, kAnyProcess: any) that the filter keeps (every one
// without a filter).
const DWORD kAnyProcess = 0xFFFFFFFF;
std::vector<HWND> WindowsOf(DWORD processId, const std::function<bool(HWND)>& keep = nullptr);
// The class name of a window.
std::wstring ClassOf(HWND window);
// The exit code once the process has ended within waitMs; STILL_ACTIVE while it runs on.
DWORD ExitCode(HANDLE process, DWORD waitMs = 0);
// Ends the process now unless it has ended, waits for it and closes the handle; null is let be.
void EndProcess(HANDLE process, UINT exitCode = 1);
// Ends the process and then every process it started that outlives it by the grace time; the number of
// those that did. The handle stays open.
int EndTree(HANDLE process, DWORD graceMs = 10000);

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

// Screenshot of the suite's own X display cut to the area (clipped to the screen), as a PNG file at the Unix
// path. Taken only once the windows have painted everything: each is redrawn and updated, and the display is
// grabbed until two grabs in a row are the same. False when no picture could be taken.
bool Screenshot(const std::string& unixPath, const RECT& area, std::initializer_list<HWND> windows = {});
// The same, cut to the rectangle around the windows.
bool Screenshot(const std::string& unixPath, std::initializer_list<HWND> windows);
// Text in the system's ANSI code page, as the run's files hold it (or in another code page, such as CP_UTF8
// for failure messages).
std::string Narrow(const std::wstring& text, UINT codePage = CP_ACP);
// Text in double quotes, as a command line takes a path.
std::wstring Quoted(const std::wstring& text);
// Lowercase, for comparisons that ignore case; of narrow text only the ASCII letters (a lead byte's partner
// in a multibyte code page stays as it is).
std::wstring Lower(std::wstring text);
std::string Lower(std::string text);
// Polls until the condition holds; false after the time-out (long: the machine may be busy).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

// A text of the build's language module (en-US unless named), empty when it has none of that id.
std::wstring Text(UINT id, const std::wstring& language = L"en-US");
// A resource format filled with one number or one text.
std::wstring Format(UINT id, int number, const std::wstring& language = L"en-US");
std::wstring Format(UINT id, const std::wstring& argument, const std::wstring& language = L"en-US");
// The format filled with one number or text, narrowed as the log holds it.
std::string Line(UINT id, int number);
std::string Line(UINT id, const std::wstring& argument);
// How often part stands in text, without overlaps.
size_t Count(const std::string& text, const std::string& part);

bool FileExists(const std::wstring& path);
// Names of the files and folders that match the pattern (such as "C:\\dir\\*"), "." and ".." left out; sorted.
std::vector<std::wstring> Entries(const std::wstring& pattern);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

// A thumbnail that looks like a part drawing: a frame, a title block and a few shapes varied by seed.
// A packed bitmap (header and 24-bit pixels), as drawings embed it.
std::vector<uint8_t> PartThumbnail(unsigned seed);
// A process's creation time; 0 when it cannot be read.
ULONGLONG CreatedAt(DWORD pid);
// The process and those started under it (id, lowercase program name), parents first. Ids are used again
// soon under Wine: a process counts as a child only when it started after its parent, so that the children
// of an earlier process with the same id are not taken in.
std::vector<std::pair<DWORD, std::wstring>> ProcessTree(DWORD root);
}
