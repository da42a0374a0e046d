#include "HostKeys.h"
#include "KestRegKey.h"

#include <cstdio>
#include <cwchar>

namespace {
const wchar_t kDraxilKey[] = L"SOFTWARE\\Korvane\\Draxil\\";
const wchar_t kRelease[] = L"R26.0";
const wchar_t kProductFormat[] = L"Software\\Korvane\\Korvane Torvik\\Desktop\\17\\DRXLM-%d:%x";

std::wstring g_releaseKey, g_profileKey, g_productKey;
struct ProfileDescriptor {
    const wchar_t* name;
    const wchar_t* argFile;
};
ProfileDescriptor g_profile = {L"<<DRXLM>>", L"drxlm.arg"};
}

std::wstring GetReleaseKeyPath()
{
    if (g_releaseKey.empty()) {
        KestRegKey key(kDraxilKey, HKEY_CURRENT_USER);
        wchar_t release[256];
        wcscpy(release, kRelease);
        std::wstring path = std::wstring(kDraxilKey) + release;
        key.SetSubKey(path);
        wchar_t curVer[256] = L"";
        key.ReadString(L"CurVer", curVer, 256);
        g_releaseKey = path + L"\\" + curVer;
    }
    return g_releaseKey;
}

std::wstring GetProfileKeyPath()
{
    if (g_profileKey.empty())
        g_profileKey = GetReleaseKeyPath() + L"\\Profiles\\" + g_profile.name;
    return g_profileKey;
}

std::wstring GetProductKeyPath()
{
    if (g_productKey.empty()) {
        KestRegKey key(GetReleaseKeyPath(), HKEY_LOCAL_MACHINE);
        wchar_t text[256] = L"";
        key.ReadString(L"ProductId", text, 256);
        int product = static_cast<int>(wcstol(text, nullptr, 10));
        text[0] = L'\0';
        key.ReadString(L"LocaleId", text, 256);
        unsigned locale = 0;
        if (swscanf(text, L"%x", &locale) != 1)
            locale = 0;
        wchar_t buffer[160];
        swprintf(buffer, 160, kProductFormat, product, locale);
        g_productKey = buffer;
    }
    return g_productKey;
}

std::wstring MigrationSettingsKey() { return GetProductKeyPath() + L"\\Migration"; }

std::wstring GetHostProfileName() { return g_profile.name; }

void UseBatchProfile() { g_profile = {L"<<DRXLMPP>>", L"drxlmpp.arg"}; }

std::wstring MigrationFolderOf(const std::wstring& hostFolder)
{
    std::wstring folder = hostFolder;
    if (folder.empty() || (folder.back() != L'\\' && folder.back() != L'/'))
        folder += L'\\';
    return folder + L"drxlm\\migration";
}

void LookupHostFolder(std::wstring& hostFolder, std::wstring& migrationFolder)
{
    KestRegKey key(GetReleaseKeyPath(), HKEY_LOCAL_MACHINE);
    wchar_t location[1024] = L"";
    key.ReadString(L"DrxlLocation", location, 1024);
    hostFolder = location;
    migrationFolder = MigrationFolderOf(hostFolder);
}

void ResetHostKeysForTest()
{
    g_releaseKey.clear();
    g_profileKey.clear();
    g_productKey.clear();
    g_profile = {L"<<DRXLM>>", L"drxlm.arg"};
}
