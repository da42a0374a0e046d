#include "RunBed.h"
#include "CKestNoluApp.h"
#include "HostKeys.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

// The suites link the program's core, which needs its application object.
CKestNoluApp theApp;

namespace {
std::wstring g_host;
HMODULE g_language = nullptr;

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[1024] = {0};
    DWORD n = GetEnvironmentVariableW(name, value, 1024);
    return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

struct NotepadSearch {
    std::wstring fileName;
    std::vector<HWND> found;
};

BOOL CALLBACK FindNotepad(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<NotepadSearch*>(lParam);
    if (!IsWindowVisible(window))
        return TRUE;
    wchar_t title[512] = {0};
    GetWindowTextW(window, title, 512);
    std::wstring text = title;
    if (text.find(search->fileName) != std::wstring::npos && text.find(L"Notepad") != std::wstring::npos)
        search->found.push_back(window);
    return TRUE;
}

struct MainSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMain(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<MainSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}

void RunBed::SetUpHost()
{
    g_host = wts::FreshDir(L"progress-host");
    ASSERT_EQ(wts::InstallHost(g_host), 0);
    ResetHostKeysForTest();
    if (!g_language)
        g_language = LoadLibraryW(wts::ResourceModulePath().c_str());
    ASSERT_NE(g_language, nullptr);
}

std::wstring RunBed::HostFolder() { return g_host; }

std::wstring RunBed::FreshFolder(const std::wstring& name) { return wts::FreshDir(name); }

std::wstring RunBed::Drawing(const std::wstring& folder, const std::wstring& name, const std::wstring& fault)
{
    std::wstring path = folder + L"\\" + name;
    std::wstring line = Quoted(wts::BinDir() + L"\\MakeDrawing.exe");
    if (!fault.empty())
        line += L" --fault " + Quoted(fault);
    EXPECT_EQ(wts::Run(line + L" " + Quoted(path)), 0) << Narrow(path);
    return path;
}

std::wstring RunBed::PlainList(const std::wstring& folder, const std::vector<std::wstring>& drawings)
{
    std::string text;
    for (const std::wstring& drawing : drawings)
        text += Narrow(drawing) + "\r\n";
    std::wstring path = folder + L"\\drawings.txt";
    wts::WriteFileBytes(path, text);
    return path;
}

std::wstring RunBed::DmlList(const std::wstring& folder, const std::vector<std::wstring>& drawings)
{
    std::string text = Narrow(Text(2024)) + "\r\n";
    for (const std::wstring& drawing : drawings)
        text += "[ ]" + Narrow(drawing) + "\r\n";
    std::wstring path = folder + L"\\drawings.dml";
    wts::WriteFileBytes(path, text);
    return path;
}

std::wstring RunBed::Text(UINT id)
{
    const wchar_t* text = nullptr;
    int length = g_language ? LoadStringW(g_language, id, reinterpret_cast<wchar_t*>(&text), 0) : 0;
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::string RunBed::Narrow(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::string RunBed::ReadText(const std::wstring& path)
{
    std::string bytes = wts::ReadFileBytes(path), text;
    for (char c : bytes)
        if (c != '\r')
            text += c;
    return text;
}

std::vector<std::string> RunBed::Lines(const std::wstring& path)
{
    std::string text = ReadText(path);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

size_t RunBed::Count(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

std::wstring RunBed::MigratedListPath() { return Environment(L"TEMP") + L"\\MIGRATED.TXT"; }
std::wstring RunBed::MigrateListPath() { return Environment(L"TEMP") + L"\\MIGRATE.TXT"; }

std::wstring RunBed::SettingsKey() { return MigrationSettingsKey(); }

void RunBed::ForgetWindowPosition()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey().c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"X");
        RegDeleteValueW(key, L"Y");
        RegCloseKey(key);
    }
}

void RunBed::StoreWindowPosition(DWORD x, DWORD y)
{
    wts::RegSetDword(HKEY_CURRENT_USER, SettingsKey(), L"X", x);
    wts::RegSetDword(HKEY_CURRENT_USER, SettingsKey(), L"Y", y);
}

std::vector<HWND> RunBed::NotepadWindows(const std::wstring& fileName)
{
    NotepadSearch search = {fileName, {}};
    EnumWindows(FindNotepad, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void RunBed::CloseNotepads(const std::wstring& fileName)
{
    for (HWND window : NotepadWindows(fileName)) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId)) {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
}

HANDLE RunBed::StartIdleHost()
{
    HANDLE process = wts::Start(Quoted(g_host + L"\\drxl.exe"));
    if (!process)
        return nullptr;
    MainSearch search = {GetProcessId(process), nullptr};
    for (int i = 0; i < 300 && !search.found; ++i) {
        EnumWindows(FindMain, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(100);
    }
    return process;
}

void RunBed::EndProcess(HANDLE process)
{
    if (!process)
        return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
}

