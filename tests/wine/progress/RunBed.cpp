#include "RunBed.h"
#include "CKestNoluApp.h"
#include "HostKeys.h"
#include "RunIds.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

// The suites link the program's core, which needs its application object.
CKestNoluApp theApp;

namespace {
std::wstring g_host;

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[1024] = {0};
    DWORD n = GetEnvironmentVariableW(name, value, 1024);
    return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}
}

void RunBed::SetUpHost()
{
    g_host = wts::FreshDir(L"progress-host");
    ASSERT_EQ(wts::InstallHost(g_host), 0);
    ResetHostKeysForTest();
    ASSERT_FALSE(wts::Text(IDS_DML_HEADER).empty()) << "no resource module in the bin folder";
}

std::wstring RunBed::HostFolder() { return g_host; }

std::wstring RunBed::FreshFolder(const std::wstring& name) { return wts::FreshDir(name); }

std::wstring RunBed::Drawing(const std::wstring& folder, const std::wstring& name, const std::wstring& fault)
{
    std::wstring path = folder + L"\\" + name;
    std::wstring line = wts::Quoted(wts::BinDir() + L"\\MakeDrawing.exe");
    if (!fault.empty())
        line += L" --fault " + wts::Quoted(fault);
    EXPECT_EQ(wts::Run(line + L" " + wts::Quoted(path)), 0) << wts::Narrow(path);
    return path;
}

std::wstring RunBed::PlainList(const std::wstring& folder, const std::vector<std::wstring>& drawings)
{
    std::string text;
    for (const std::wstring& drawing : drawings)
        text += wts::Narrow(drawing) + "\r\n";
    std::wstring path = folder + L"\\drawings.txt";
    wts::WriteFileBytes(path, text);
    return path;
}

std::wstring RunBed::DmlList(const std::wstring& folder, const std::vector<std::wstring>& drawings)
{
    std::string text = wts::Narrow(wts::Text(IDS_DML_HEADER)) + "\r\n";
    for (const std::wstring& drawing : drawings)
        text += "[ ]" + wts::Narrow(drawing) + "\r\n";
    std::wstring path = folder + L"\\drawings.dml";
    wts::WriteFileBytes(path, text);
    return path;
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

void RunBed::CloseNotepads(const std::wstring& fileName)
{
    for (HWND window : wiz::Notepads(fileName)) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        wts::EndProcess(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId), 0);
    }
}

HANDLE RunBed::StartIdleHost()
{
    HANDLE process = wts::Start(wts::Quoted(g_host + L"\\drxl.exe"));
    if (process)
        wts::WaitUntil([&] { return !wts::WindowsOf(GetProcessId(process)).empty(); }, 30000);
    return process;
}
