// HostSetup: installs a simulated host into the current Windows (or Wine
// prefix): the release and profile keys the wizard reads, and a host folder
// with drxlm\migration, the simulated drxl.exe and its resource module.
//
//   HostSetup.exe <host folder> [--curver NAME] [--product N] [--locale HEX] [--no-profile]
//
// Every value can be overridden so test beds can build odd installations.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
const wchar_t kDraxil[] = L"SOFTWARE\\Korvane\\Draxil\\R26.0";

bool SetString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    HKEY k;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
    return rc == ERROR_SUCCESS;
}

bool CreateKey(HKEY root, const std::wstring& key)
{
    HKEY k;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

void MakeFolders(const std::wstring& path)
{
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == L'\\')
            CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

void CopyIfThere(const std::wstring& from, const std::wstring& to)
{
    if (GetFileAttributesW(from.c_str()) != INVALID_FILE_ATTRIBUTES)
        CopyFileW(from.c_str(), to.c_str(), FALSE);
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2 || std::wstring(argv[1]) == L"--help") {
        fwprintf(stderr, L"usage: HostSetup <host folder> [--curver NAME] [--product N] [--locale HEX] [--no-profile]\n");
        return 2;
    }
    std::wstring folder = argv[1];
    std::wstring curVer = L"DRXL-A105", product = L"1", locale = L"409";
    bool profile = true;
    for (int i = 2; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a == L"--curver" && i + 1 < argc) curVer = argv[++i];
        else if (a == L"--product" && i + 1 < argc) product = argv[++i];
        else if (a == L"--locale" && i + 1 < argc) locale = argv[++i];
        else if (a == L"--no-profile") profile = false;
    }
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();

    std::wstring release = std::wstring(kDraxil) + L"\\" + curVer;
    bool ok = SetString(HKEY_CURRENT_USER, kDraxil, L"CurVer", curVer);
    ok &= SetString(HKEY_LOCAL_MACHINE, kDraxil, L"CurVer", curVer);
    ok &= SetString(HKEY_LOCAL_MACHINE, release, L"ProductId", product);
    ok &= SetString(HKEY_LOCAL_MACHINE, release, L"LocaleId", locale);
    ok &= SetString(HKEY_LOCAL_MACHINE, release, L"DrxlLocation", folder);
    if (profile) {
        ok &= CreateKey(HKEY_CURRENT_USER, release + L"\\Profiles\\<<DRXLMPP>>\\General");
        ok &= CreateKey(HKEY_CURRENT_USER, release + L"\\Profiles\\<<DRXLM>>\\General");
    }

    MakeFolders(folder + L"\\drxlm\\migration");
    MakeFolders(folder + L"\\support");
    std::wstring bin = ProgramFolder();
    CopyIfThere(bin + L"drxl.exe", folder + L"\\drxl.exe");
    CopyIfThere(bin + L"drxlm\\drxlmres.dll", folder + L"\\drxlm\\drxlmres.dll");
    CopyIfThere(bin + L"dwgmigr.txt", folder + L"\\drxlm\\migration\\dwgmigr.txt");
    // The wizard's help window reads the notes from <host folder>\migration.
    MakeFolders(folder + L"\\migration");
    CopyIfThere(bin + L"dwgmigr.txt", folder + L"\\migration\\dwgmigr.txt");
    CopyIfThere(bin + L"kemigr.krx", folder + L"\\drxlm\\migration\\kemigr.krx");

    if (!ok) {
        fwprintf(stderr, L"HostSetup: could not write every registry value\n");
        return 1;
    }
    wprintf(L"simulated host installed in %ls\n", folder.c_str());
    return 0;
}
