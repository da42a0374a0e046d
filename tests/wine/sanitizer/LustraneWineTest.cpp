// Lustrane under Wine, against the real registry: each test sets
// values under the install key, runs Lustrane.exe with CreateProcessW (its
// own temporary folder through TMP and TEMP in the environment block), and
// checks the values, the bytes of Lustrane.log and the exit code.
#include "WineTestSupport.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace {

const wchar_t kKey[] = L"SOFTWARE\\Korvane\\Draxil\\R26.0\\DRXL-A105\\Install";
const std::string kHeader = "Sanitizing under HKLM\\SOFTWARE\\Korvane\\Draxil\\R26.0\\DRXL-A105\\Install";
const std::string kCannotOpen5 =
    "  cannot open HKLM\\SOFTWARE\\Korvane\\Draxil\\R26.0\\DRXL-A105\\Install for write; error 5";
const std::string kUsage = "No value names given. Usage: Lustrane.exe <valueName> [<valueName> ...]";
const REGSAM k64 = KEY_WOW64_64KEY;
const REGSAM k32 = KEY_WOW64_32KEY;

// The log as Lustrane writes it: UTF-8 lines, each ended by CR LF.
std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::wstring LustranePath() { return wts::BinDir() + L"\\Lustrane.exe"; }

// ---- registry, bypassing the program -----------------------------------------

HKEY CreateInstallKey(REGSAM view)
{
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                                  nullptr);
    EXPECT_EQ(result, ERROR_SUCCESS);
    return key;
}

void SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD bytes, REGSAM view = k64)
{
    HKEY key = CreateInstallKey(view);
    ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
    RegCloseKey(key);
}

void SetSz(const std::wstring& name, const std::wstring& text, REGSAM view = k64)
{
    SetRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), view);
}

struct Raw {
    bool exists = false;
    DWORD type = 0;
    std::vector<BYTE> data;
    bool operator==(const Raw& other) const
    {
        return exists == other.exists && type == other.type && data == other.data;
    }
};

Raw GetRaw(const std::wstring& name, REGSAM view = k64)
{
    Raw raw;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return raw;
    DWORD size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, nullptr, &size) == ERROR_SUCCESS) {
        raw.data.resize(size);
        raw.exists = RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, raw.data.data(), &size) ==
                     ERROR_SUCCESS;
        raw.data.resize(size);
    }
    RegCloseKey(key);
    return raw;
}

// The text of a REG_SZ value with its stored terminator checked; otherwise a
// description of what is there.
std::wstring Sz(const std::wstring& name, REGSAM view = k64)
{
    Raw raw = GetRaw(name, view);
    if (!raw.exists)
        return L"<missing>";
    if (raw.type != REG_SZ)
        return L"<type " + std::to_wstring(raw.type) + L">";
    std::wstring text(raw.data.size() / 2, L'\0');
    std::copy(raw.data.begin(), raw.data.begin() + text.size() * 2, reinterpret_cast<BYTE*>(&text[0]));
    if (text.empty() || text.back() != L'\0')
        return L"<unterminated>";
    text.pop_back();
    return text;
}

FILETIME LastWrite()
{
    FILETIME time = {};
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE | k64, &key) == ERROR_SUCCESS) {
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, &time);
        RegCloseKey(key);
    }
    return time;
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

void DeleteKorvane()
{
    for (REGSAM view : {k64, k32}) {
        HKEY software = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_ALL_ACCESS | view, &software) == ERROR_SUCCESS) {
            RegDeleteTreeW(software, L"Korvane");
            RegCloseKey(software);
        }
    }
}

// What an unelevated caller meets: opening the key for KEY_SET_VALUE is
// denied (error 5); reading stays allowed.
void DenySetValue()
{
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x2;;;WD)(A;;KA;;;WD)",
                                                                     SDDL_REVISION_1, &sd, nullptr));
    HKEY key = CreateInstallKey(k64);
    ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
    RegCloseKey(key);
    LocalFree(sd);
    HKEY probe = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE | k64, &probe), ERROR_ACCESS_DENIED);
}

// ---- processes -----------------------------------------------------------------

// Our environment with TMP and TEMP replaced by the given folder.
std::wstring EnvironmentWithTemp(const std::wstring& temp)
{
    std::wstring block;
    wchar_t* current = GetEnvironmentStringsW();
    for (wchar_t* p = current; *p; p += wcslen(p) + 1) {
        if (_wcsnicmp(p, L"TMP=", 4) == 0 || _wcsnicmp(p, L"TEMP=", 5) == 0)
            continue;
        block.append(p).push_back(L'\0');
    }
    FreeEnvironmentStringsW(current);
    block.append(L"TEMP=" + temp).push_back(L'\0');
    block.append(L"TMP=" + temp).push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

HANDLE StartLustrane(const std::wstring& arguments, const std::wstring& temp)
{
    std::wstring line = L"\"" + LustranePath() + L"\"" + arguments;
    std::wstring environment = EnvironmentWithTemp(temp);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, &environment[0],
                        nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int WaitExit(HANDLE process)
{
    if (!process)
        return -998;
    DWORD code = wts::ExitCode(process, 60000);
    wts::EndProcess(process);
    return code == STILL_ACTIVE ? -999 : static_cast<int>(code);
}

// ---- files ---------------------------------------------------------------------

std::wstring Long(const std::wstring& path) { return L"\\\\?\\" + path; }

std::string ReadAll(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<no file>";
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

// Every Lustrane.log at or below a folder (long paths allowed).
void FindLogs(const std::wstring& folder, std::vector<std::wstring>& found)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Long(folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            FindLogs(folder + L"\\" + name, found);
        else if (_wcsicmp(name.c_str(), L"Lustrane.log") == 0)
            found.push_back(folder + L"\\" + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

// A folder below base whose full path has exactly length characters (no
// trailing backslash), made with long-path names where needed.
std::wstring DeepFolder(const std::wstring& base, std::size_t length)
{
    std::wstring path = base;
    EXPECT_LT(path.size() + 2, length);
    int n = 0;
    while (length - path.size() > 60) {
        path += L"\\s" + std::to_wstring(n++ % 10) + std::wstring(48, L'x');
        CreateDirectoryW(Long(path).c_str(), nullptr);
    }
    path += L"\\" + std::wstring(length - path.size() - 1, L'e');
    CreateDirectoryW(Long(path).c_str(), nullptr);
    EXPECT_EQ(path.size(), length);
    EXPECT_NE(GetFileAttributesW(Long(path).c_str()), INVALID_FILE_ATTRIBUTES);
    return path;
}

std::wstring TestName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    std::replace(name.begin(), name.end(), '/', '-');
    return std::wstring(name.begin(), name.end());
}

// ---- fixture -------------------------------------------------------------------

class Lustrane : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteKorvane();
        RegCloseKey(CreateInstallKey(k64));
        temp_ = wts::FreshDir(L"lustrane-" + TestName());
        ASSERT_NE(GetFileAttributesW(temp_.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    void TearDown() override { DeleteKorvane(); }

    // Runs Lustrane.exe; arguments are appended to the quoted program path as given.
    int Run(const std::wstring& arguments) { return WaitExit(StartLustrane(arguments, temp_)); }
    int RunIn(const std::wstring& arguments, const std::wstring& temp)
    {
        return WaitExit(StartLustrane(arguments, temp));
    }
    std::wstring LogPath() const { return temp_ + L"\\Lustrane.log"; }
    std::string Log() const { return ReadAll(LogPath()); }

    std::wstring temp_;
};

// ---- the worked example and the outcome table ------------------------------------------

TEST_F(Lustrane, WorkedExample)
{
    SetSz(L"A", L"D:\\Apps\\Host\\");
    SetSz(L"C", L"\\");
    EXPECT_EQ(Run(L" A B C"), 1);
    EXPECT_EQ(Log(), Lines({
                         kHeader,
                         "A: [D:\\Apps\\Host\\] -> [D:\\Apps\\Host].",
                         "B: not set; nothing to sanitize.",
                         "C: [\\] normalizes to nothing; left as is.",
                         "Done; 1 value(s) left dirty.",
                     }));
    EXPECT_EQ(Sz(L"A"), L"D:\\Apps\\Host");
    EXPECT_EQ(GetRaw(L"A").data.size(), 26u); // REG_SZ, 2 x (12 + 1) bytes
    EXPECT_EQ(Sz(L"B"), L"<missing>");
    EXPECT_EQ(Sz(L"C"), L"\\");
}

TEST_F(Lustrane, EveryRowOfTheOutcomeTable)
{
    const DWORD number = 42;
    const BYTE binary[] = {'D', 0, ':', 0, '\\', 0};
    const wchar_t multi[] = L"D:\\x\\\0E:\\y\\\0";
    const wchar_t expand[] = L"%SystemDrive%\\Host\\";
    const wchar_t odd[] = L"D:\\x\\";
    SetRaw(L"Number", REG_DWORD, &number, sizeof(number));
    SetRaw(L"Expand", REG_EXPAND_SZ, expand, sizeof(expand));
    SetRaw(L"Odd", REG_SZ, odd, 9); // an odd byte count: unreadable as UTF-16
    SetSz(L"Empty", L"");
    SetRaw(L"Binary", REG_BINARY, binary, sizeof(binary));
    SetRaw(L"Multi", REG_MULTI_SZ, multi, sizeof(multi));
    SetSz(L"Nothing", L"\"\\\"\\");
    SetSz(L"Clean", L"D:\\Apps\\Host");
    SetSz(L"Dirty", L"D:\\Apps\\Host\\\"");
    std::map<std::wstring, Raw> before;
    for (const wchar_t* name : {L"Number", L"Expand", L"Odd", L"Empty", L"Binary", L"Multi", L"Nothing", L"Clean"})
        before[name] = GetRaw(name);

    EXPECT_EQ(Run(L" Missing Number Expand Odd Empty Binary Multi Nothing Clean Dirty"), 1);
    EXPECT_EQ(Log(), Lines({
                         kHeader,
                         "Missing: not set; nothing to sanitize.",
                         "Number: not set; nothing to sanitize.",
                         "Expand: not set; nothing to sanitize.",
                         "Odd: not set; nothing to sanitize.",
                         "Empty: not set; nothing to sanitize.",
                         "Binary: not set; nothing to sanitize.",
                         "Multi: not set; nothing to sanitize.",
                         "Nothing: [\"\\\"\\] normalizes to nothing; left as is.",
                         "Clean: already clean [D:\\Apps\\Host].",
                         "Dirty: [D:\\Apps\\Host\\\"] -> [D:\\Apps\\Host].",
                         "Done; 1 value(s) left dirty.",
                     }));
    for (const auto& entry : before)
        EXPECT_TRUE(GetRaw(entry.first) == entry.second) << std::string(entry.first.begin(), entry.first.end());
    EXPECT_EQ(Sz(L"Dirty"), L"D:\\Apps\\Host");
    EXPECT_EQ(Sz(L"Missing"), L"<missing>");

    // The row "rewrite failed", with the real access check: open for write denied.
    SetSz(L"Failing", L"E:\\x\\");
    DenySetValue();
    DeleteFileW(LogPath().c_str());
    EXPECT_EQ(Run(L" Failing"), 1);
    EXPECT_EQ(Log(), Lines({kHeader, kCannotOpen5, "Failing: [E:\\x\\] -> [E:\\x] FAILED.",
                            "Done; 1 value(s) left dirty."}));
    EXPECT_EQ(Sz(L"Failing"), L"E:\\x\\");
    // The row "exception" cannot be provoked in the real program; the native
    // suite (RunLustrane.Exception*) shows it through the registry interface.
}

TEST_F(Lustrane, WithoutWriteAccessEveryDirtyValueFailsAndTheRestIsUnaffected)
{
    SetSz(L"A", L"D:\\a\\");
    SetSz(L"B", L"D:\\b");
    SetSz(L"C", L"D:\\c\"");
    DenySetValue();
    EXPECT_EQ(Run(L" A B C D"), 2);
    EXPECT_EQ(Log(), Lines({kHeader, kCannotOpen5, "A: [D:\\a\\] -> [D:\\a] FAILED.", "B: already clean [D:\\b].",
                            kCannotOpen5, "C: [D:\\c\"] -> [D:\\c] FAILED.", "D: not set; nothing to sanitize.",
                            "Done; 2 value(s) left dirty."}));
    EXPECT_EQ(Sz(L"A"), L"D:\\a\\");
    EXPECT_EQ(Sz(L"C"), L"D:\\c\"");
}

TEST_F(Lustrane, UnreadableValuesAreNotSet)
{
    SetSz(L"A", L"D:\\a\\");
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x1;;;WD)(A;;KA;;;WD)",
                                                                     SDDL_REVISION_1, &sd, nullptr));
    HKEY key = CreateInstallKey(k64);
    ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
    RegCloseKey(key);
    LocalFree(sd);
    EXPECT_EQ(Run(L" A"), 0);
    EXPECT_EQ(Log(), Lines({kHeader, "A: not set; nothing to sanitize.", "Done; 0 value(s) left dirty."}));
    // (The test reads through KEY_QUERY_VALUE too, so look with the ACE lifted.)
    key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, WRITE_DAC | k64, &key), ERROR_SUCCESS);
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;KA;;;WD)", SDDL_REVISION_1, &sd,
                                                                     nullptr));
    ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
    RegCloseKey(key);
    LocalFree(sd);
    EXPECT_EQ(Sz(L"A"), L"D:\\a\\");
}

TEST_F(Lustrane, TwoNamesOneRewriteFailsExitsOne)
{
    SetSz(L"A", L"D:\\a\\");
    SetSz(L"B", L"D:\\b");
    DenySetValue();
    EXPECT_EQ(Run(L" A B"), 1);
}

TEST_F(Lustrane, NumberAndEmptyValuesAreNeverTouched)
{
    const DWORD number = 0x5c22; // '"' and '\' as bytes, still a number
    SetRaw(L"Number", REG_DWORD, &number, sizeof(number));
    SetSz(L"Empty", L"");
    Raw numberBefore = GetRaw(L"Number"), emptyBefore = GetRaw(L"Empty");
    FILETIME before = LastWrite();
    Sleep(50);
    EXPECT_EQ(Run(L" Number Empty"), 0);
    EXPECT_EQ(Log(), Lines({kHeader, "Number: not set; nothing to sanitize.", "Empty: not set; nothing to sanitize.",
                            "Done; 0 value(s) left dirty."}));
    EXPECT_TRUE(GetRaw(L"Number") == numberBefore);
    EXPECT_TRUE(GetRaw(L"Empty") == emptyBefore);
    EXPECT_TRUE(SameTime(LastWrite(), before));
}

TEST_F(Lustrane, AlreadyCleanIsNotWritten)
{
    SetSz(L"Clean", L"d:\\Apps\\HOST"); // letter case never makes a value dirty
    SetSz(L"Root", L"C:\\");
    FILETIME before = LastWrite();
    Sleep(50);
    EXPECT_EQ(Run(L" Clean Root"), 0);
    EXPECT_TRUE(SameTime(LastWrite(), before));
    // No write access is needed for it.
    DenySetValue();
    EXPECT_EQ(Run(L" Clean Root"), 0);
    const std::string run = Lines({kHeader, "Clean: already clean [d:\\Apps\\HOST].", "Root: already clean [C:\\].",
                                   "Done; 0 value(s) left dirty."});
    EXPECT_EQ(Log(), run + run);
}

// ---- the edge cases ------------------------------------------------------------

TEST_F(Lustrane, NameGivenTwice)
{
    SetSz(L"A", L"D:\\Apps\\Host\\\"");
    EXPECT_EQ(Run(L" A A"), 0);
    EXPECT_EQ(Log(), Lines({kHeader, "A: [D:\\Apps\\Host\\\"] -> [D:\\Apps\\Host].",
                            "A: already clean [D:\\Apps\\Host].", "Done; 0 value(s) left dirty."}));
    EXPECT_EQ(Sz(L"A"), L"D:\\Apps\\Host");
}

TEST_F(Lustrane, DriveRoots)
{
    SetSz(L"Root", L"C:\\");
    SetSz(L"RootQuote", L"C:\\\"");
    SetSz(L"DriveQuote", L"C:\"");
    SetSz(L"RootTwo", L"C:\\\\");
    SetSz(L"Drive", L"C:");
    SetSz(L"Mixed", L"C:\\\"\\"); // mended rule: the quote and what follows it go
    EXPECT_EQ(Run(L" Root RootQuote DriveQuote RootTwo Drive Mixed"), 0);
    EXPECT_EQ(Log(), Lines({kHeader, "Root: already clean [C:\\].", "RootQuote: [C:\\\"] -> [C:\\].",
                            "DriveQuote: [C:\"] -> [C:].", "RootTwo: already clean [C:\\\\].",
                            "Drive: already clean [C:].", "Mixed: [C:\\\"\\] -> [C:\\].",
                            "Done; 0 value(s) left dirty."}));
    EXPECT_EQ(Sz(L"Root"), L"C:\\");
    EXPECT_EQ(Sz(L"RootQuote"), L"C:\\");
    EXPECT_EQ(Sz(L"DriveQuote"), L"C:");
    EXPECT_EQ(Sz(L"RootTwo"), L"C:\\\\");
    EXPECT_EQ(Sz(L"Mixed"), L"C:\\");
}

TEST_F(Lustrane, ThreeTrailingBackslashesGoInOneStep)
{
    SetSz(L"A", L"D:\\Apps\\Host\\\\\\");
    EXPECT_EQ(Run(L" A"), 0);
    EXPECT_EQ(Sz(L"A"), L"D:\\Apps\\Host");
    EXPECT_EQ(Run(L" A"), 0);
    EXPECT_EQ(Log(), Lines({kHeader, "A: [D:\\Apps\\Host\\\\\\] -> [D:\\Apps\\Host].", "Done; 0 value(s) left dirty.",
                            kHeader, "A: already clean [D:\\Apps\\Host].", "Done; 0 value(s) left dirty."}));
}

TEST_F(Lustrane, NamesWithBlanksQuotedOnTheCommandLine)
{
    SetSz(L"Install Dir", L"E:\\Host App\\");
    SetSz(L" padded ", L"F:\\x\\\"");
    SetSz(L"Say \"hi\"", L"G:\\y\\");
    SetSz(L"Install", L"H:\\not this one\\");
    EXPECT_EQ(Run(L"  \"Install Dir\" \" padded \"   \"Say \\\"hi\\\"\""), 0);
    EXPECT_EQ(Log(), Lines({kHeader, "Install Dir: [E:\\Host App\\] -> [E:\\Host App].",
                            " padded : [F:\\x\\\"] -> [F:\\x].", "Say \"hi\": [G:\\y\\] -> [G:\\y].",
                            "Done; 0 value(s) left dirty."}));
    EXPECT_EQ(Sz(L"Install Dir"), L"E:\\Host App");
    EXPECT_EQ(Sz(L" padded "), L"F:\\x");
    EXPECT_EQ(Sz(L"Say \"hi\""), L"G:\\y");
    EXPECT_EQ(Sz(L"Install"), L"H:\\not this one\\");
}

TEST_F(Lustrane, NoNamesGiven)
{
    EXPECT_EQ(Run(L""), 1);
    EXPECT_EQ(Run(L"   "), 1);
    EXPECT_EQ(Log(), Lines({kUsage, kUsage}));
}

TEST_F(Lustrane, SeveralRunsAppendToTheSameLog)
{
    // Lines are only ever appended: what was there stays.
    wts::WriteFileBytes(LogPath(), "earlier line\r\n");
    SetSz(L"A", L"D:\\a\\");
    SetSz(L"C", L"\"");
    EXPECT_EQ(Run(L" A C"), 1);
    EXPECT_EQ(Run(L" A"), 0);
    EXPECT_EQ(Run(L""), 1);
    EXPECT_EQ(Log(), "earlier line\r\n" +
                         Lines({kHeader, "A: [D:\\a\\] -> [D:\\a].", "C: [\"] normalizes to nothing; left as is.",
                                "Done; 1 value(s) left dirty.", kHeader, "A: already clean [D:\\a].",
                                "Done; 0 value(s) left dirty.", kUsage}));
}

TEST_F(Lustrane, LogIsSharedWithAReaderAndAnotherWriter)
{
    HANDLE reader = CreateFileW(LogPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE writer = CreateFileW(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(writer, "other\r\n", 7, &written, nullptr);
    EXPECT_EQ(Run(L" B"), 0);
    WriteFile(writer, "other again\r\n", 13, &written, nullptr);
    char buffer[1024];
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(reader, buffer, sizeof(buffer), &got, nullptr));
    CloseHandle(reader);
    CloseHandle(writer);
    const std::string expected = "other\r\n" +
                                 Lines({kHeader, "B: not set; nothing to sanitize.", "Done; 0 value(s) left dirty."}) +
                                 "other again\r\n";
    EXPECT_EQ(std::string(buffer, got), expected);
}

// Runs at the same moment are not tested here: Wine emulates an append-only
// handle by taking the file's size and writing there (not atomic across
// processes), so lines of simultaneous writers can overwrite each other under
// Wine (measured: 4 processes x 400 lines lost 44 lines, with no failed open).
// On Windows such a handle appends atomically. The sharing itself is shown above.

TEST_F(Lustrane, LogIsUtf8WithoutByteOrderMark)
{
    const std::wstring name = L"\u00c4rger";
    SetSz(name, L"D:\\\u00dcber\\\U0001F600\\\"");
    EXPECT_EQ(Run(L" " + name), 0);
    EXPECT_EQ(Sz(name), L"D:\\\u00dcber\\\U0001F600");
    EXPECT_EQ(Log(), Lines({kHeader,
                            "\xc3\x84rger: [D:\\\xc3\x9c"
                            "ber\\\xf0\x9f\x98\x80\\\"] -> [D:\\\xc3\x9c"
                            "ber\\\xf0\x9f\x98\x80].",
                            "Done; 0 value(s) left dirty."}));
}

TEST_F(Lustrane, OnlyThe64BitViewIsReadAndWritten)
{
    SetSz(L"Only32", L"D:\\x\\", k32);
    SetSz(L"Both", L"D:\\64\\", k64);
    SetSz(L"Both", L"D:\\32\\", k32);
    EXPECT_EQ(Run(L" Only32 Both"), 0);
    EXPECT_EQ(Log(), Lines({kHeader, "Only32: not set; nothing to sanitize.", "Both: [D:\\64\\] -> [D:\\64].",
                            "Done; 0 value(s) left dirty."}));
    EXPECT_EQ(Sz(L"Only32", k32), L"D:\\x\\");
    EXPECT_EQ(Sz(L"Both", k32), L"D:\\32\\");
    EXPECT_EQ(Sz(L"Both", k64), L"D:\\64");
}

// ---- the temporary folder's length -------------------------------------------------
// The length is that of the folder as GetTempPathW gives it, trailing
// backslash included: up to 247 the log fits in 260 characters with its name;
// from 248 on every line is dropped, and from 260 on the folder itself is
// too long. The values are cleaned and the exit code tells the count all the same.

class LustraneTempLength : public Lustrane, public ::testing::WithParamInterface<int> {
};

TEST_P(LustraneTempLength, LogsOnlyWhenThePathFits)
{
    const std::size_t length = static_cast<std::size_t>(GetParam());
    const std::wstring folder = DeepFolder(temp_, length - 1); // GetTempPathW adds the backslash
    SetSz(L"A", L"D:\\Apps\\Host\\");
    SetSz(L"C", L"\\\\");
    SetSz(L"R", L"C:\\\"");
    EXPECT_EQ(RunIn(L" A C R B", folder), 1);
    EXPECT_EQ(Sz(L"A"), L"D:\\Apps\\Host");
    EXPECT_EQ(Sz(L"C"), L"\\\\");
    EXPECT_EQ(Sz(L"R"), L"C:\\");

    std::vector<std::wstring> logs;
    FindLogs(temp_, logs);
    if (length <= 247) {
        ASSERT_EQ(logs.size(), 1u);
        EXPECT_EQ(logs[0], folder + L"\\Lustrane.log");
        EXPECT_EQ(logs[0].size(), 259u);
        EXPECT_EQ(ReadAll(logs[0]), Lines({kHeader, "A: [D:\\Apps\\Host\\] -> [D:\\Apps\\Host].",
                                           "C: [\\\\] normalizes to nothing; left as is.", "R: [C:\\\"] -> [C:\\].",
                                           "B: not set; nothing to sanitize.", "Done; 1 value(s) left dirty."}));
    } else {
        EXPECT_TRUE(logs.empty()) << "found " << std::string(logs[0].begin(), logs[0].end());
    }
    // Nor anywhere else the platform might fall back to.
    wchar_t own[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, own);
    EXPECT_FALSE(wts::FileExists(std::wstring(own) + L"Lustrane.log"));
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_FALSE(wts::FileExists(std::wstring(windows) + L"\\Lustrane.log"));
}

INSTANTIATE_TEST_SUITE_P(Lengths, LustraneTempLength, ::testing::Values(247, 248, 259, 260, 261, 300));

// ---- the program itself ------------------------------------------------------------

// A windowed program (no console) importing only plain platform libraries.
TEST(LustraneProgram, IsWindowedAndImportsOnlyPlainPlatformLibraries)
{
    std::string image = ReadAll(LustranePath());
    ASSERT_GT(image.size(), 0x400u);
    auto u16 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<BYTE>(image[at]) | (static_cast<BYTE>(image[at + 1]) << 8));
    };
    auto u32 = [&](std::size_t at) { return u16(at) | (u16(at + 2) << 16); };
    const std::size_t pe = u32(0x3c);
    ASSERT_EQ(image.compare(pe, 4, std::string("PE\0\0", 4)), 0);
    const std::size_t optional = pe + 24;
    ASSERT_EQ(u16(optional), 0x20bu); // PE32+
    EXPECT_EQ(u16(optional + 68), static_cast<unsigned>(IMAGE_SUBSYSTEM_WINDOWS_GUI));

    // The import directory, mapped from its RVA through the section table.
    const std::size_t sections = optional + u16(pe + 20);
    const unsigned sectionCount = u16(pe + 6);
    auto offset = [&](unsigned rva) -> std::size_t {
        for (unsigned s = 0; s < sectionCount; ++s) {
            std::size_t h = sections + 40 * s;
            unsigned va = u32(h + 12), size = std::max(u32(h + 8), u32(h + 16)), raw = u32(h + 20);
            if (rva >= va && rva < va + size)
                return raw + (rva - va);
        }
        return 0;
    };
    const unsigned importRva = u32(optional + 112 + 8); // data directory 1
    std::size_t entry = offset(importRva);
    ASSERT_NE(entry, 0u);
    std::vector<std::string> dlls;
    for (; u32(entry + 12) != 0; entry += 20) {
        std::string name = image.c_str() + offset(u32(entry + 12));
        std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        dlls.push_back(name);
    }
    std::sort(dlls.begin(), dlls.end());
    // shell32 for CommandLineToArgvW alone; msvcrt is mingw-w64's C runtime.
    EXPECT_EQ(dlls, (std::vector<std::string>{"advapi32.dll", "kernel32.dll", "msvcrt.dll", "shell32.dll"}));
}

} // namespace
