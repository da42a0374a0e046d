#include "ExtensionLog.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {
std::wstring ReadString(HKEY root, const std::wstring& key, const wchar_t* name)
{
    wchar_t buffer[512] = {0};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return std::wstring();
    LONG rc = RegQueryValueExW(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) ? std::wstring(buffer) : std::wstring();
}

std::wstring TempFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {0};
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    return n > 0 && n <= MAX_PATH ? std::wstring(buffer, n) : std::wstring(L".\\");
}

std::string Ansi(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}
}

std::wstring ExtensionLog::SettingsKey()
{
    const std::wstring draxil = L"SOFTWARE\\Korvane\\Draxil\\R26.0";
    std::wstring release = draxil + L"\\" + ReadString(HKEY_CURRENT_USER, draxil, L"CurVer");
    int product = static_cast<int>(wcstol(ReadString(HKEY_LOCAL_MACHINE, release, L"ProductId").c_str(), nullptr, 10));
    unsigned locale = 0;
    if (swscanf(ReadString(HKEY_LOCAL_MACHINE, release, L"LocaleId").c_str(), L"%x", &locale) != 1)
        locale = 0;
    wchar_t key[200];
    swprintf(key, 200, L"Software\\Korvane\\Korvane Torvik\\Desktop\\17\\DRXLM-%d:%x\\Migration", product, locale);
    return key;
}

void ExtensionLog::Start()
{
    m_path = TempFolder() + L"kemigr.log";
    m_lines.clear();
    Flush();
}

void ExtensionLog::Add(const std::wstring& line)
{
    if (!Started())
        return;
    m_lines.push_back(line);
    Flush();
}

void ExtensionLog::Reassert()
{
    if (!Started())
        return;
    std::wstring stored = ReadString(HKEY_CURRENT_USER, SettingsKey(), L"LOGFILENAME");
    if (stored != m_path || GetFileAttributesW(m_path.c_str()) == INVALID_FILE_ATTRIBUTES)
        Flush();
}

void ExtensionLog::Flush()
{
    std::string bytes;
    for (const std::wstring& line : m_lines)
        bytes += Ansi(line) + "\r\n";
    HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(key, L"LOGFILENAME", 0, REG_SZ, reinterpret_cast<const BYTE*>(m_path.c_str()),
                       static_cast<DWORD>((m_path.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}
