// HostSetup: installs a simulated host into the current Windows (or Wine
// prefix): the release and profile keys the wizard reads, and a host folder
// with drxlm\migration, the simulated drxl.exe and its resource module.
//
//   HostSetup.exe <host folder> [--language NAME] [--curver NAME] [--product N] [--locale HEX] [--no-profile]
//
// The language (en-US, de-DE or ja-JP; en-US when not given) picks the host's
// resource module, whose window titles and log texts the host shows and
// writes, and the LocaleId of the installation. Every value can be overridden
// so test beds can build odd installations.
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

struct HostLanguage {
    const wchar_t* name;
    const wchar_t* localeId;
    const wchar_t* module;   // the host's resource module, below the program folder
    const wchar_t* notes;    // the host's migration notes, below the program folder
};

const HostLanguage kLanguages[] = {
    {L"en-US", L"409", L"drxlm\\drxlmres.dll", L"dwgmigr.txt"},
    {L"de-DE", L"407", L"hostres\\de-DE\\drxlmres.dll", L"hostres\\de-DE\\dwgmigr.txt"},
    {L"ja-JP", L"411", L"hostres\\ja-JP\\drxlmres.dll", L"hostres\\ja-JP\\dwgmigr.txt"},
};

const HostLanguage* FindLanguage(const std::wstring& name)
{
    for (const HostLanguage& language : kLanguages)
        if (_wcsicmp(language.name, name.c_str()) == 0)
            return &language;
    return nullptr;
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
    const wchar_t usage[] = L"usage: HostSetup <host folder> [--language en-US|de-DE|ja-JP] [--curver NAME] "
                            L"[--product N] [--locale HEX] [--no-profile]\n";
    if (argc < 2 || std::wstring(argv[1]) == L"--help") {
        fwprintf(stderr, usage);
        return 2;
    }
    std::wstring folder = argv[1];
    std::wstring curVer = L"DRXL-A105", product = L"1", locale;
    const HostLanguage* language = &kLanguages[0];
    bool profile = true;
    for (int i = 2; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a == L"--curver" && i + 1 < argc) curVer = argv[++i];
        else if (a == L"--product" && i + 1 < argc) product = argv[++i];
        else if (a == L"--locale" && i + 1 < argc) locale = argv[++i];
        else if (a == L"--no-profile") profile = false;
        else if (a == L"--language" && i + 1 < argc) {
            language = FindLanguage(argv[++i]);
            if (!language) {
                fwprintf(stderr, L"HostSetup: no host language %ls\n%ls", argv[i], usage);
                return 2;
            }
        }
    }
    if (locale.empty())
        locale = language->localeId;
    std::wstring bin = ProgramFolder();
    std::wstring module = bin + language->module;
    // Only the English host may lack its module: the texts of another language must be there.
    if (language != &kLanguages[0] && GetFileAttributesW(module.c_str()) == INVALID_FILE_ATTRIBUTES) {
        fwprintf(stderr, L"HostSetup: the host resource module %ls is missing\n", module.c_str());
        return 1;
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
    CopyIfThere(bin + L"drxl.exe", folder + L"\\drxl.exe");
    if (!CopyFileW(module.c_str(), (folder + L"\\drxlm\\drxlmres.dll").c_str(), FALSE) &&
        language != &kLanguages[0]) {
        fwprintf(stderr, L"HostSetup: could not install the host resource module %ls\n", module.c_str());
        return 1;
    }
    CopyIfThere(bin + language->notes, folder + L"\\drxlm\\migration\\dwgmigr.txt");
    // The wizard's help window reads the notes from <host folder>\migration.
    MakeFolders(folder + L"\\migration");
    CopyIfThere(bin + language->notes, folder + L"\\migration\\dwgmigr.txt");
    CopyIfThere(bin + L"kemigr.krx", folder + L"\\drxlm\\migration\\kemigr.krx");

    if (!ok) {
        fwprintf(stderr, L"HostSetup: could not write every registry value\n");
        return 1;
    }
    wprintf(L"simulated host (%ls) installed in %ls\n", language->name, folder.c_str());
    return 0;
}
