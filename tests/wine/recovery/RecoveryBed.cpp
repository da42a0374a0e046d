#include "RecoveryBed.h"
#include "HostKeys.h"
#include "ProgressIds.h"
#include "RunIds.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>


namespace rb {
namespace {
void ExportKey(HKEY root, const std::wstring& path, const std::wstring& skip, Export& out)
{
    if (wts::Lower(path) == wts::Lower(skip))
        return;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::string data(size, '\0');
        nameLength = 16384;
        RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
        data.resize(size);
        // The standard chosen on the Standards page is stored for the host on purpose.
        if (lstrcmpW(name, L"Last Recently Used Standard") != 0 && lstrcmpW(name, L"Original name") != 0)
            out[path + L"\\" + name] = {type, data};
    }
    std::vector<std::wstring> subKeys;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subKeys.push_back(name);
    }
    RegCloseKey(key);
    for (const std::wstring& sub : subKeys)
        ExportKey(root, path + L"\\" + sub, skip, out);
}

}

std::wstring MigrationKey() { return GetProductKeyPath() + L"\\Migration"; }
std::wstring ProfileKey() { return GetProfileKeyPath(); }

Export ExportProfile()
{
    Export out;
    ExportKey(HKEY_CURRENT_USER, L"Software\\Korvane", MigrationKey(), out);
    return out;
}

std::string Diff(const Export& before, const Export& after)
{
    std::string out;
    for (const auto& b : before) {
        auto a = after.find(b.first);
        if (a == after.end())
            out += "missing now: " + wts::Narrow(b.first) + "\n";
        else if (a->second != b.second)
            out += "changed: " + wts::Narrow(b.first) + " type " + std::to_string(b.second.first) + " -> " +
                   std::to_string(a->second.first) + "\n";
    }
    for (const auto& a : after)
        if (!before.count(a.first))
            out += "new: " + wts::Narrow(a.first) + "\n";
    return out;
}

Export Counted(Export before)
{
    DWORD five = 5;
    before[GetProductKeyPath() + L"\\BOM Migration\\Repeat Count"] = {REG_DWORD,
                                                                        std::string(reinterpret_cast<char*>(&five), 4)};
    return before;
}

void SaveExport(const Export& values, const std::wstring& path)
{
    std::string text;
    for (const auto& v : values) {
        std::string key = wts::Narrow(v.first);
        text += std::to_string(key.size()) + " " + key + std::to_string(v.second.first) + " " +
                std::to_string(v.second.second.size()) + " " + v.second.second;
    }
    wts::WriteFileBytes(path, text);
}

Export LoadExport(const std::wstring& path)
{
    Export values;
    std::string text = wts::ReadFileBytes(path);
    size_t at = 0;
    auto number = [&]() {
        size_t end = text.find(' ', at);
        size_t n = std::stoul(text.substr(at, end - at));
        at = end + 1;
        return n;
    };
    while (at < text.size()) {
        size_t n = number();
        std::string key = text.substr(at, n);
        at += n;
        DWORD type = static_cast<DWORD>(number());
        n = number();
        std::wstring wide(key.begin(), key.end());
        values[wide] = {type, text.substr(at, n)};
        at += n;
    }
    return values;
}

void PrepareUser(const std::wstring& hostFolder, const std::wstring& logFile, DWORD operation)
{
    ASSERT_EQ(wts::InstallHost(hostFolder), 0);
    ResetHostKeysForTest();
    UseBatchProfile();
    // Window frames drawn by Wine itself: the suite's display has no window manager.
    wts::RegSetString(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Decorated", L"N");
    const std::wstring profile = GetProfileKeyPath(), product = GetProductKeyPath();
    wts::RegDeleteTree(HKEY_CURRENT_USER, MigrationKey());
    wts::RegSetString(HKEY_CURRENT_USER, profile + L"\\General", L"DRXL", L"c:\\draxil\\support;c:\\draxil\\fonts");
    wts::RegSetDword(HKEY_CURRENT_USER, profile + L"\\Drawing Window", L"SDIMode", 0);
    // A switch stored as text by some other tool: it must come back as text.
    wts::RegSetString(HKEY_CURRENT_USER, GetReleaseKeyPath() + L"\\FixedProfile\\General Configuration",
                      L"FileDialog", L"1");
    wts::RegSetString(HKEY_CURRENT_USER, profile + L"\\Editor Configuration", L"LogFilePath", L"d:\\logs\\");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, (profile + L"\\Editor Configuration").c_str(), L"XrefLazyLoadMode");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, (profile + L"\\Editor Configuration").c_str(), L"EmergencyFont");
    wts::RegSetDword(HKEY_CURRENT_USER, product + L"\\BOM Migration", L"Repeat Count", 4);
    wts::RegSetString(HKEY_CURRENT_USER, MigrationKey(), L"Logfile", logFile);
    wts::RegSetDword(HKEY_CURRENT_USER, MigrationKey(), L"Operation", operation);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    DeleteFileW((std::wstring(temp) + L"MIGRATED.TXT").c_str());
}

std::vector<std::wstring> MakeDrawings(const std::wstring& root, int count, int slowNumber, const char* fault)
{
    std::wstring maker = wts::Quoted(wts::BinDir() + L"\\MakeDrawing.exe");
    std::wstring plain = root + L"\\plain.tmpl", slow = root + L"\\slow.tmpl";
    EXPECT_EQ(wts::Run(maker + L" --magic DX1021 " + wts::Quoted(plain)), 0);
    EXPECT_EQ(wts::Run(maker + L" --magic DX1021 --fault " + wts::Quoted(std::wstring(fault, fault + strlen(fault))) +
                       L" " + wts::Quoted(slow)),
              0);
    std::vector<std::wstring> drawings;
    for (int i = 1; i <= count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\part %02d.dwg", i);
        drawings.push_back(root + name);
        EXPECT_TRUE(CopyFileW((i == slowNumber ? slow : plain).c_str(), drawings.back().c_str(), FALSE));
    }
    DeleteFileW(plain.c_str());
    DeleteFileW(slow.c_str());
    return drawings;
}

void WriteList(const std::wstring& path, const std::vector<std::wstring>& drawings)
{
    std::string text = wts::Narrow(Text(IDS_DML_HEADER)) + "\r\n";
    for (const std::wstring& d : drawings)
        text += "[ ]" + wts::Narrow(d) + "\r\n";
    wts::WriteFileBytes(path, text);
}

std::vector<std::wstring> TempFiles()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return wts::Entries(std::wstring(temp) + L"lorn*");
}

bool IsRunning(DWORD pid)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process)
        return false;
    bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

bool WaitForDrawing(HWND progress, int number, bool recorded)
{
    return wiz::WaitUntil([&] {
        if (!recorded)
            return wts::WindowText(GetDlgItem(progress, IDC_PROGRESS_CURRENT)) == std::to_wstring(number);
        DWORD drawing = 0;
        return wts::RegGetDword(HKEY_CURRENT_USER, MigrationKey(), L"RunDrawing", drawing) &&
               drawing == static_cast<DWORD>(number);
    }, 180000);
}
}
