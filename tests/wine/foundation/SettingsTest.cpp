// Job settings in the registry, the host extension's log name and clean-up.
#include "Afx.h"
#include "CKestNoluApp.h"
#include "HostKeys.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <cwchar>

CKestNoluApp theApp;

namespace {
class SettingsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static HMODULE module = LoadLibraryW(wts::ResourceModulePath().c_str());
        ASSERT_NE(module, nullptr);
        AfxSetResourceHandle(module);
    }
    void SetUp() override
    {
        key = MigrationSettingsKey();
        wts::RegDeleteTree(HKEY_CURRENT_USER, key);
        g_logFile = L"DrxlMMigr.log";
    }
    std::wstring key;
};

std::wstring TempFolderLower()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = temp;
    CharLowerBuffW(&folder[0], static_cast<DWORD>(folder.size()));
    return folder;
}
}

TEST_F(SettingsTest, EmptyKeyGivesTheDefaults)
{
    theApp.ReadSettings();
    EXPECT_EQ(theApp.m_Operation, 1);
    EXPECT_EQ(theApp.m_UpdateFlags, 27);
    EXPECT_EQ(theApp.m_DrxlmFlags, 8);
    EXPECT_EQ(theApp.m_OptionFlags, 4);
    EXPECT_EQ(theApp.m_Timeout, 120);
    EXPECT_EQ(theApp.m_QuenbarFlags, 0);
    EXPECT_EQ(theApp.m_SymbolStd, 0);
    EXPECT_EQ(theApp.m_LogFlags, 15);
    EXPECT_EQ(g_logFile, L"DrxlMMigr.log");   // relative: the current folder exists
    // The progress file is a fresh temporary name that clean-up deletes.
    ASSERT_FALSE(theApp.m_tempFiles.empty());
    EXPECT_EQ(theApp.m_tempFiles.back(), theApp.m_progressFile);
    EXPECT_EQ(theApp.m_progressFile.substr(theApp.m_progressFile.size() - 4), L".tmp");
}

TEST_F(SettingsTest, StoredValuesReadBackAndOddOnesFallBack)
{
    wts::RegSetDword(HKEY_CURRENT_USER, key, L"Operation", 2);
    wts::RegSetDword(HKEY_CURRENT_USER, key, L"DrxlmFlags", 0x3FF);
    wts::RegSetString(HKEY_CURRENT_USER, key, L"Timeout", L"30");   // text, not a number
    wts::RegSetDword(HKEY_CURRENT_USER, key, L"LogFlags", 3);
    wts::RegSetDword(HKEY_CURRENT_USER, key, L"QuenbarFlags", 2);
    for (DWORD stored : {6u, 7u, 0xFFFFFFFFu, 1u}) {
        wts::RegSetDword(HKEY_CURRENT_USER, key, L"SymbolStd", stored);
        theApp.ReadSettings();
        EXPECT_EQ(theApp.m_SymbolStd, stored <= 6 ? static_cast<int>(stored) : 0) << stored;
    }
    EXPECT_EQ(theApp.m_Operation, 2);
    EXPECT_EQ(theApp.m_DrxlmFlags, 0x3FF);
    EXPECT_EQ(theApp.m_Timeout, 120);
    EXPECT_EQ(theApp.m_LogFlags, 3);
    EXPECT_EQ(theApp.m_QuenbarFlags, 2);
}

TEST_F(SettingsTest, LogFileInAMissingFolderMovesToTheTemporaryFolder)
{
    wts::RegSetString(HKEY_CURRENT_USER, key, L"Logfile", L"c:\\nowhere\\x.log");
    theApp.ReadSettings();
    EXPECT_EQ(g_logFile, TempFolderLower() + L"drxlmmigr.log");

    std::wstring dir = wts::FreshDir(L"Logs Folder");
    wts::RegSetString(HKEY_CURRENT_USER, key, L"Logfile", dir + L"\\My.LOG");
    theApp.ReadSettings();
    EXPECT_EQ(g_logFile, dir + L"\\My.LOG");   // kept as stored

    // A drive root holds whatever entries it holds; the folder still exists.
    wts::RegSetString(HKEY_CURRENT_USER, key, L"Logfile", L"C:\\root.log");
    theApp.ReadSettings();
    EXPECT_EQ(g_logFile, L"C:\\root.log");

    // A stored path too long for the 512-character buffer keeps the default name.
    g_logFile = L"DrxlMMigr.log";
    wts::RegSetString(HKEY_CURRENT_USER, key, L"Logfile", L"c:\\" + std::wstring(600, L'l') + L".log");
    theApp.ReadSettings();
    EXPECT_EQ(g_logFile, L"DrxlMMigr.log");
}

TEST_F(SettingsTest, WriteStoresExactlyTheNineValues)
{
    theApp.ReadSettings();
    theApp.m_Operation = 1;
    theApp.m_Timeout = 5;
    theApp.m_SymbolStd = 4;
    g_logFile = L"C:\\logs\\run.log";
    wts::RegSetDword(HKEY_CURRENT_USER, key, L"X", 10);
    theApp.WriteSettings();
    auto names = wts::RegValueNames(HKEY_CURRENT_USER, key);
    std::sort(names.begin(), names.end());
    std::vector<std::wstring> expected = {L"DrxlmFlags", L"LogFlags",  L"Logfile",  L"Operation",   L"OptionFlags",
                                          L"QuenbarFlags", L"SymbolStd", L"Timeout", L"UpdateFlags", L"X"};
    EXPECT_EQ(names, expected);
    std::wstring log;
    ASSERT_TRUE(wts::RegGetString(HKEY_CURRENT_USER, key, L"Logfile", log));
    EXPECT_EQ(log, L"C:\\logs\\run.log");
    DWORD timeout = 0;
    ASSERT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, key, L"Timeout", timeout));
    EXPECT_EQ(timeout, 5u);
}

TEST_F(SettingsTest, EveryValueTravelsUnderItsOwnName)
{
    // Distinct values, so a value written or read under another setting's name shows.
    struct Setting {
        const wchar_t* name;
        int CKestNoluApp::*member;
        int value;
    } settings[] = {
        {L"Operation", &CKestNoluApp::m_Operation, 11},      {L"UpdateFlags", &CKestNoluApp::m_UpdateFlags, 22},
        {L"DrxlmFlags", &CKestNoluApp::m_DrxlmFlags, 0x2A5}, {L"OptionFlags", &CKestNoluApp::m_OptionFlags, 44},
        {L"Timeout", &CKestNoluApp::m_Timeout, 55},          {L"QuenbarFlags", &CKestNoluApp::m_QuenbarFlags, 3},
        {L"SymbolStd", &CKestNoluApp::m_SymbolStd, 5},       {L"LogFlags", &CKestNoluApp::m_LogFlags, 77},
    };
    const std::wstring log = wts::FreshDir(L"all settings") + L"\\Run.log";
    for (const Setting& setting : settings)
        theApp.*setting.member = setting.value;
    g_logFile = log;
    theApp.WriteSettings();

    for (const Setting& setting : settings)
        theApp.*setting.member = -1;
    g_logFile.clear();
    theApp.ReadSettings();

    for (const Setting& setting : settings) {
        std::string name(setting.name, setting.name + wcslen(setting.name));
        DWORD stored = 0;
        EXPECT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, key, setting.name, stored)) << name;
        EXPECT_EQ(stored, static_cast<DWORD>(setting.value)) << name;
        EXPECT_EQ(theApp.*setting.member, setting.value) << name;
    }
    std::wstring stored;
    EXPECT_TRUE(wts::RegGetString(HKEY_CURRENT_USER, key, L"Logfile", stored));
    EXPECT_EQ(stored, log);
    EXPECT_EQ(g_logFile, log);
}

TEST_F(SettingsTest, RemoveHostLogFile)
{
    std::wstring dir = wts::FreshDir(L"hostlog");
    std::wstring other = dir + L"\\other.txt";
    wts::WriteFileBytes(other, "x");
    wts::RegSetDword(HKEY_CURRENT_USER, key, L"Timeout", 9);
    RemoveHostLogFile();   // no value: nothing deleted, the rest untouched
    EXPECT_TRUE(wts::FileExists(other));
    EXPECT_TRUE(wts::RegValueExists(HKEY_CURRENT_USER, key, L"Timeout"));

    std::wstring log = dir + L"\\kemigr.log";
    wts::WriteFileBytes(log, "line\r\n");
    wts::RegSetString(HKEY_CURRENT_USER, key, L"LOGFILENAME", log);
    RemoveHostLogFile();
    EXPECT_FALSE(wts::FileExists(log));
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, key, L"LOGFILENAME"));

    // An empty name deletes nothing but still removes the value.
    wts::RegSetString(HKEY_CURRENT_USER, key, L"LOGFILENAME", L"");
    RemoveHostLogFile();
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, key, L"LOGFILENAME"));
}

TEST_F(SettingsTest, ExitInstanceDeletesTemporaryFilesAndTheHostLog)
{
    std::wstring dir = wts::FreshDir(L"exit");
    std::vector<std::wstring> files = {dir + L"\\a.scr", dir + L"\\b.bat", dir + L"\\never-made.tmp"};
    wts::WriteFileBytes(files[0], "a");
    wts::WriteFileBytes(files[1], "b");
    std::wstring log = dir + L"\\ext.log";
    wts::WriteFileBytes(log, "l");
    wts::RegSetString(HKEY_CURRENT_USER, key, L"LOGFILENAME", log);
    std::wstring kept = dir + L"\\kept.txt";
    wts::WriteFileBytes(kept, "k");

    theApp.m_tempFiles = files;
    theApp.ExitInstance();
    for (const auto& f : files)
        EXPECT_FALSE(wts::FileExists(f)) << std::string(f.begin(), f.end());
    EXPECT_FALSE(wts::FileExists(log));
    EXPECT_TRUE(wts::FileExists(kept));
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, key, L"LOGFILENAME"));
    theApp.m_tempFiles.clear();
}
