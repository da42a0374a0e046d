#include "WineTestSupport.h"

#include <cstdlib>
#include <fstream>

namespace wts {

std::wstring FromUnix(const std::string& unixPath)
{
    std::wstring out = L"Z:";
    for (char c : unixPath)
        out += (c == '/') ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return out;
}

std::wstring BinDir()
{
    const char* bin = std::getenv("KEST_BIN");
    return bin ? FromUnix(bin) : std::wstring(L".");
}

std::wstring ResourceModulePath() { return BinDir() + L"\\drxlm\\en-US\\keNoluRes.dll"; }

int InstallHost(const std::wstring& folder)
{
    return Run(L"\"" + BinDir() + L"\\HostSetup.exe\" \"" + folder + L"\"");
}

std::wstring FreshDir(const std::wstring& name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + L"kest-" + name;
    std::wstring command = L"cmd /c rmdir /s /q \"" + dir + L"\" 2>nul";
    Run(command);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

HANDLE Start(const std::wstring& commandLine, const std::wstring& env)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::wstring line = commandLine;
    std::wstring block;
    if (!env.empty()) {
        // Inherit ours and add the given "NAME=value;NAME=value" entries.
        wchar_t* current = GetEnvironmentStringsW();
        for (wchar_t* p = current; *p; p += wcslen(p) + 1)
            block.append(p).push_back(L'\0');
        FreeEnvironmentStringsW(current);
        size_t start = 0;
        while (start < env.size()) {
            size_t end = env.find(L';', start);
            if (end == std::wstring::npos) end = env.size();
            block.append(env, start, end - start).push_back(L'\0');
            start = end + 1;
        }
        block.push_back(L'\0');
    }
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        block.empty() ? nullptr : &block[0], nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int Run(const std::wstring& commandLine, DWORD timeoutMs)
{
    HANDLE process = Start(commandLine);
    if (!process)
        return -998;
    DWORD code = static_cast<DWORD>(-999);
    if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    else
        TerminateProcess(process, 1);
    CloseHandle(process);
    return static_cast<int>(code);
}

namespace {
struct FindTitle {
    const std::wstring* title;
    HWND found;
};
BOOL CALLBACK FindTitleProc(HWND window, LPARAM lParam)
{
    auto* find = reinterpret_cast<FindTitle*>(lParam);
    if (IsWindowVisible(window) && WindowText(window) == *find->title) {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}
BOOL CALLBACK ChildProc(HWND window, LPARAM lParam)
{
    reinterpret_cast<std::vector<std::wstring>*>(lParam)->push_back(WindowText(window));
    return TRUE;
}
}

HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        FindTitle find = {&title, nullptr};
        EnumWindows(FindTitleProc, reinterpret_cast<LPARAM>(&find));
        if (find.found)
            return find.found;
        if (GetTickCount() - start > timeoutMs)
            return nullptr;
        Pump(100);
    }
}

std::wstring WindowText(HWND window)
{
    wchar_t buffer[1024] = {0};
    // WM_GETTEXT across processes works for our purposes under Wine and Windows.
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

std::vector<std::wstring> ChildTexts(HWND window)
{
    std::vector<std::wstring> texts;
    EnumChildWindows(window, ChildProc, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

void RegSetString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value)
{
    HKEY k;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * 2));
        RegCloseKey(k);
    }
}

void RegSetDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD value)
{
    HKEY k;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(k, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
        RegCloseKey(k);
    }
}

bool RegGetString(HKEY root, const std::wstring& key, const std::wstring& name, std::wstring& value)
{
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 0;
    bool ok = RegQueryValueExW(k, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ;
    if (ok) {
        std::wstring data(size / 2 + 1, L'\0');
        ok = RegQueryValueExW(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) ==
             ERROR_SUCCESS;
        data.resize(wcslen(data.c_str()));
        value = data;
    }
    RegCloseKey(k);
    return ok;
}

bool RegGetDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD& value)
{
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 4, data = 0;
    bool ok = RegQueryValueExW(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) ==
                  ERROR_SUCCESS && type == REG_DWORD;
    if (ok)
        value = data;
    RegCloseKey(k);
    return ok;
}

bool RegValueExists(HKEY root, const std::wstring& key, const std::wstring& name)
{
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    bool ok = RegQueryValueExW(k, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(k);
    return ok;
}

void RegDeleteTree(HKEY root, const std::wstring& key) { RegDeleteTreeW(root, key.c_str()); }

std::vector<std::wstring> RegValueNames(HKEY root, const std::wstring& key)
{
    std::vector<std::wstring> names;
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD length = 512;
        if (RegEnumValueW(k, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(k);
    return names;
}

std::string Narrow(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileBytes(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}
}
