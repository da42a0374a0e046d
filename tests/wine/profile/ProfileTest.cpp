// Saving, preparing and restoring the host profile against a real registry.
#include "CKestNoluApp.h"
#include "HostKeys.h"
#include "HostProfile.h"
#include "ProfileJournal.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <map>
#include <tuple>

namespace {
struct Value {
    DWORD type;
    std::string data;
    bool operator==(const Value& o) const { return type == o.type && data == o.data; }
};
using Dump = std::map<std::wstring, Value>;   // "key|name" -> value

std::wstring Profile() { return GetProfileKeyPath(); }
std::wstring Product() { return GetProductKeyPath(); }

std::vector<std::wstring> WatchedKeys()
{
    return {Profile() + L"\\General", Profile() + L"\\Drawing Window", Profile() + L"\\Editor Configuration",
            GetReleaseKeyPath() + L"\\FixedProfile\\General Configuration", Product() + L"\\Assembly",
            Product() + L"\\BOM Migration"};
}

Dump DumpValues()
{
    Dump dump;
    for (const std::wstring& path : WatchedKeys()) {
        HKEY key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        for (DWORD i = 0;; ++i) {
            wchar_t name[512];
            DWORD nameLength = 512, type = 0, size = 0;
            if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                break;
            std::string data(size, '\0');
            nameLength = 512;
            RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
            dump[path + L"|" + name] = {type, data.substr(0, size)};
        }
        RegCloseKey(key);
    }
    return dump;
}

void SetRaw(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void SetText(const std::wstring& path, const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ)
{
    SetRaw(path, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
}

std::string DwordBytes(DWORD v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

std::wstring General() { return Profile() + L"\\General"; }
std::wstring Editor() { return Profile() + L"\\Editor Configuration"; }
std::wstring Drawing() { return Profile() + L"\\Drawing Window"; }
std::wstring GeneralConfig() { return GetReleaseKeyPath() + L"\\FixedProfile\\General Configuration"; }
std::wstring Bom() { return Product() + L"\\BOM Migration"; }
std::wstring Assembly() { return Product() + L"\\Assembly"; }

DWORD Dword(const std::wstring& path, const wchar_t* name)
{
    DWORD v = 0xDEAD;
    wts::RegGetDword(HKEY_CURRENT_USER, path, name, v);
    return v;
}

std::wstring Text(const std::wstring& path, const wchar_t* name)
{
    std::wstring v = L"<missing>";
    wts::RegGetString(HKEY_CURRENT_USER, path, name, v);
    return v;
}

// Restored exactly, apart from the run counter, which keeps the prepared count.
void ExpectRestored(const Dump& before, const Dump& after, DWORD repeatCount)
{
    Dump expected = before;
    expected[Bom() + L"|Repeat Count"] = {REG_DWORD, DwordBytes(repeatCount)};
    for (const auto& entry : expected) {
        auto it = after.find(entry.first);
        if (it == after.end())
            ADD_FAILURE() << "missing after restore: " << std::string(entry.first.begin(), entry.first.end());
        else
            EXPECT_TRUE(it->second == entry.second)
                << "changed: " << std::string(entry.first.begin(), entry.first.end()) << " type " << it->second.type;
    }
    for (const auto& entry : after)
        if (!expected.count(entry.first))
            ADD_FAILURE() << "left behind: " << std::string(entry.first.begin(), entry.first.end());
}

bool KeyExists(const std::wstring& path)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void RunAll()
{
    PrepareHostProfile(ProfileStep::Save);
    BuildSearchFolderList();
    PrepareHostProfile(ProfileStep::Prepare);
}
}

CKestNoluApp theApp;

class HostProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wts::RegDeleteTree(HKEY_CURRENT_USER, L"SOFTWARE\\Korvane");
        wts::RegDeleteTree(HKEY_CURRENT_USER, L"Software\\Korvane");
        wts::RegSetString(HKEY_CURRENT_USER, L"SOFTWARE\\Korvane\\Draxil\\R26.0", L"CurVer", L"DRXL-A105");
        ResetHostKeysForTest();
        UseBatchProfile();
        ResetHostProfileForTest();
        theApp.m_hostFolder = L"C:\\Draxil";
        theApp.m_searchFolders.clear();
        HKEY key;
        RegCreateKeyExW(HKEY_CURRENT_USER, Profile().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCloseKey(key);
    }

    void Populate()
    {
        SetText(General(), L"DRXL", L"c:\\mine;;d:\\support;");
        wts::RegSetDword(HKEY_CURRENT_USER, General(), L"NoStartUpDialog", 0);
        wts::RegSetDword(HKEY_CURRENT_USER, GeneralConfig(), L"FileDialog", 1);
        wts::RegSetDword(HKEY_CURRENT_USER, GeneralConfig(), L"CommandDialogs", 0);
        wts::RegSetDword(HKEY_CURRENT_USER, General(), L"ShowProxyDialog", 1);
        wts::RegSetDword(HKEY_CURRENT_USER, Drawing(), L"SDIMode", 0);
        SetText(Editor(), L"EmergencyFont", L"romans.shx");
        wts::RegSetDword(HKEY_CURRENT_USER, Drawing(), L"ShowPlotSetup", 1);
        wts::RegSetDword(HKEY_CURRENT_USER, General(), L"LogFileOpen", 1);
        SetText(Editor(), L"LogFilePath", L"d:\\logs\\");
        wts::RegSetDword(HKEY_CURRENT_USER, Assembly(), L"KEXASSEMBLE_VERIFIED", 0);
        wts::RegSetDword(HKEY_CURRENT_USER, Bom(), L"Repeat Count", 4);
        wts::RegSetDword(HKEY_CURRENT_USER, Bom(), L"Show Dialog", 1);
        wts::RegSetDword(HKEY_CURRENT_USER, Editor(), L"XrefLazyLoadMode", 3);
        // Values of the same keys that the profile step never touches.
        SetText(General(), L"ACADish", L"keep me");
        wts::RegSetDword(HKEY_CURRENT_USER, Bom(), L"Other", 9);
    }
};

TEST_F(HostProfileTest, EmptyProfileGetsTheBatchValuesAndIsEmptyAgainAfterTheRun)
{
    Dump before = DumpValues();
    RunAll();
    // During the run.
    EXPECT_EQ(Text(General(), L"DRXL").substr(0, 17), L"C:\\Draxil\\desktop");
    EXPECT_EQ(theApp.m_searchFolders.size(), 8u);
    EXPECT_EQ(Dword(General(), L"NoStartUpDialog"), 1u);
    EXPECT_EQ(Dword(GeneralConfig(), L"FileDialog"), 0u);
    EXPECT_EQ(Dword(GeneralConfig(), L"CommandDialogs"), 1u);
    EXPECT_EQ(Dword(General(), L"ShowProxyDialog"), 0u);
    EXPECT_EQ(Dword(Drawing(), L"SDIMode"), 1u);
    EXPECT_EQ(Text(Editor(), L"EmergencyFont"), L"simplex.shx");
    EXPECT_EQ(Dword(Drawing(), L"ShowPlotSetup"), 0u);
    EXPECT_EQ(Dword(General(), L"LogFileOpen"), 0u);
    wchar_t temp[260];
    GetTempPathW(260, temp);
    EXPECT_EQ(Text(Editor(), L"LogFilePath"), temp);
    EXPECT_EQ(Dword(Assembly(), L"KEXASSEMBLE_VERIFIED"), 1u);
    EXPECT_EQ(Dword(Bom(), L"Repeat Count"), 1u);
    EXPECT_EQ(Dword(Bom(), L"Show Dialog"), 0u);
    EXPECT_EQ(Dword(Editor(), L"XrefLazyLoadMode"), 1u);
    EXPECT_TRUE(KeyExists(Profile() + L"\\Dialogs\\Appload\\Startup"));

    PrepareHostProfile(ProfileStep::Restore);
    // Missing values are missing again (no defaults written), the counter stays 1.
    ExpectRestored(before, DumpValues(), 1);
}

TEST_F(HostProfileTest, PopulatedProfileComesBackExactly)
{
    Populate();
    Dump before = DumpValues();
    RunAll();
    EXPECT_EQ(theApp.m_searchFolders, (std::vector<std::wstring>{L"c:\\mine", L"", L"d:\\support"}));
    EXPECT_EQ(Text(General(), L"DRXL"), L"c:\\mine;;d:\\support");
    EXPECT_EQ(Text(Editor(), L"EmergencyFont"), L"romans.shx");
    EXPECT_EQ(Dword(Bom(), L"Repeat Count"), 5u);
    PrepareHostProfile(ProfileStep::Restore);
    ExpectRestored(before, DumpValues(), 5);
}

TEST_F(HostProfileTest, ValuesOfUnexpectedTypesComeBackWithTheirTypes)
{
    DWORD number = 77;
    SetRaw(General(), L"DRXL", REG_DWORD, &number, 4);
    SetText(General(), L"NoStartUpDialog", L"yes");
    SetText(Editor(), L"XrefLazyLoadMode", L"2");
    SetRaw(Editor(), L"EmergencyFont", REG_DWORD, &number, 4);
    SetText(Editor(), L"LogFilePath", L"%TEMP%\\host", REG_EXPAND_SZ);
    const char blob[] = {1, 2, 3};
    SetRaw(Bom(), L"Show Dialog", REG_BINARY, blob, 3);
    SetText(Bom(), L"Repeat Count", L"4");
    SetRaw(Drawing(), L"SDIMode", REG_DWORD, "\x01\x00", 2);   // too short for a number
    SetText(General(), L"ShowProxyDialog", L"");
    Dump before = DumpValues();
    RunAll();
    EXPECT_EQ(Dword(General(), L"NoStartUpDialog"), 1u);
    EXPECT_EQ(Text(Editor(), L"EmergencyFont"), L"simplex.shx");
    EXPECT_EQ(Dword(Bom(), L"Repeat Count"), 1u);
    PrepareHostProfile(ProfileStep::Restore);
    Dump after = DumpValues();
    // A counter that was no number goes back as it was, like every other value.
    EXPECT_TRUE(after[Bom() + L"|Repeat Count"] == before[Bom() + L"|Repeat Count"]);
    before.erase(Bom() + L"|Repeat Count");
    after.erase(Bom() + L"|Repeat Count");
    EXPECT_TRUE(before == after);
}

TEST_F(HostProfileTest, OverlongSupportPathUsesTheDefaultListAndComesBackWhole)
{
    std::wstring longPath;
    while (longPath.size() < 5000)
        longPath += L"c:\\some\\rather\\deep\\support\\folder;";
    SetText(General(), L"DRXL", longPath);
    Dump before = DumpValues();
    RunAll();
    EXPECT_EQ(theApp.m_searchFolders.front(), L"C:\\Draxil\\desktop");
    PrepareHostProfile(ProfileStep::Restore);
    ExpectRestored(before, DumpValues(), 1);
}

TEST_F(HostProfileTest, NothingHappensBeforeASaveAndASecondSaveReadsNothing)
{
    PrepareHostProfile(ProfileStep::Prepare);
    PrepareHostProfile(ProfileStep::Restore);
    EXPECT_FALSE(KeyExists(General()));

    wts::RegSetDword(HKEY_CURRENT_USER, Editor(), L"XrefLazyLoadMode", 3);
    PrepareHostProfile(ProfileStep::Save);
    Dump before = DumpValues();
    // Every call creates the keys, the empty Appload one included.
    EXPECT_TRUE(KeyExists(Profile() + L"\\Dialogs\\Appload\\Startup"));
    wts::RegSetDword(HKEY_CURRENT_USER, Editor(), L"XrefLazyLoadMode", 0);
    PrepareHostProfile(ProfileStep::Save);   // the user went back to the first page
    PrepareHostProfile(ProfileStep::Prepare);
    PrepareHostProfile(ProfileStep::Restore);
    EXPECT_EQ(Dword(Editor(), L"XrefLazyLoadMode"), 3u);
    ExpectRestored(before, DumpValues(), 1);
}

TEST_F(HostProfileTest, CancelAfterTheSaveLeavesTheProfileAsItWas)
{
    Populate();
    Dump before = DumpValues();
    PrepareHostProfile(ProfileStep::Save);
    PrepareHostProfile(ProfileStep::Restore);
    ExpectRestored(before, DumpValues(), 4);
}

// A journal that an earlier Transmora could not fully put back holds the
// user's values while the profile holds a run's: it is what the next save
// takes, unchanged, and what every restore brings back; a session end that
// lets the run go on restores the profile and keeps the journal whole.
TEST_F(HostProfileTest, AJournalLeftBehindIsTheSaveAndOutlivesARestoreThatKeepsIt)
{
    Populate();
    const Dump before = DumpValues();
    RunAll();   // an earlier Transmora, ended during its run
    std::vector<uint8_t> journal, now;
    ASSERT_EQ(ReadBinarySetting(kProfileJournalValue, journal), JournalRead::Found);
    ResetHostProfileForTest();
    RunAll();
    EXPECT_EQ(theApp.m_searchFolders, (std::vector<std::wstring>{L"c:\\mine", L"", L"d:\\support"}));
    PrepareHostProfile(ProfileStep::RestoreKeepingJournal);
    ExpectRestored(before, DumpValues(), 5);
    ASSERT_EQ(ReadBinarySetting(kProfileJournalValue, now), JournalRead::Found);
    EXPECT_TRUE(now == journal) << "the journal was written again";
    PrepareHostProfile(ProfileStep::Restore);
    ExpectRestored(before, DumpValues(), 5);
    EXPECT_EQ(ReadBinarySetting(kProfileJournalValue, now), JournalRead::None);
}

// Without its journal a run could leave its values as the user's: nothing is
// prepared until the journal is written.
TEST_F(HostProfileTest, AJournalThatCannotBeWrittenLetsNothingBePrepared)
{
    Populate();
    const Dump before = DumpValues();
    auto keySecurity = [](const wchar_t* sddl) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        HKEY key = nullptr;
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr);
        RegCreateKeyExW(HKEY_CURRENT_USER, MigrationSettingsKey().c_str(), 0, nullptr, 0, WRITE_DAC, nullptr, &key,
                        nullptr);
        EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
        RegCloseKey(key);
        LocalFree(descriptor);
    };
    keySecurity(L"D:(D;;0x2;;;WD)(A;;GA;;;WD)");   // no value may be set
    PrepareHostProfile(ProfileStep::Save);
    EXPECT_FALSE(PrepareHostProfile(ProfileStep::Prepare));
    EXPECT_TRUE(DumpValues() == before) << "prepared without a journal";
    keySecurity(L"D:(A;;GA;;;WD)");
    EXPECT_TRUE(PrepareHostProfile(ProfileStep::Prepare));
    EXPECT_EQ(Dword(Drawing(), L"SDIMode"), 1u);
    PrepareHostProfile(ProfileStep::Restore);
    ExpectRestored(before, DumpValues(), 5);
}
