// Registry key class and host discovery against Wine's registry.
#include "HostKeys.h"
#include "KestRegKey.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

namespace {
const wchar_t kTestKey[] = L"Software\\KestTest\\Registry";
const wchar_t kDraxil[] = L"SOFTWARE\\Korvane\\Draxil";
}

TEST(KestRegKey, ConstructorCreatesTheKeyEmpty)
{
    wts::RegDeleteTree(HKEY_CURRENT_USER, kTestKey);
    KestRegKey key(kTestKey, HKEY_CURRENT_USER);
    HKEY opened;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &opened), ERROR_SUCCESS);
    RegCloseKey(opened);
    EXPECT_TRUE(wts::RegValueNames(HKEY_CURRENT_USER, kTestKey).empty());
    EXPECT_FALSE(key.m_readOnly);
    EXPECT_TRUE(KestRegKey(L"Software\\KestTest", HKEY_LOCAL_MACHINE).m_readOnly);
}

TEST(KestRegKey, WrongTypesKeepTheCallersValue)
{
    KestRegKey key(kTestKey, HKEY_CURRENT_USER);
    ASSERT_TRUE(key.WriteString(L"Text", L"12"));
    ASSERT_TRUE(key.WriteDword(L"Number", 7));
    DWORD number = 99;
    EXPECT_FALSE(key.ReadDword(L"Text", number));
    EXPECT_EQ(number, 99u);
    wchar_t text[16] = L"keep";
    EXPECT_FALSE(key.ReadString(L"Number", text, 16));
    EXPECT_STREQ(text, L"keep");
    EXPECT_FALSE(key.ReadDword(L"Missing", number));
    EXPECT_EQ(number, 99u);

    // Eight bytes of binary data are not a number either.
    HKEY raw;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kTestKey, 0, KEY_ALL_ACCESS, &raw), ERROR_SUCCESS);
    unsigned long long wide = 5;
    RegSetValueExW(raw, L"Qword", 0, REG_QWORD, reinterpret_cast<BYTE*>(&wide), 8);
    RegCloseKey(raw);
    EXPECT_FALSE(key.ReadDword(L"Qword", number));
    EXPECT_EQ(number, 99u);
}

TEST(KestRegKey, StringsAroundTheFirstQuerySize)
{
    KestRegKey key(kTestKey, HKEY_CURRENT_USER);
    std::vector<wchar_t> buffer(4096);
    for (size_t length : {0u, 1u, 254u, 255u, 256u, 1000u, 4095u}) {
        std::wstring value(length, L'x');
        if (length > 0)
            value[length - 1] = L'z';
        ASSERT_TRUE(key.WriteString(L"Long", value.c_str()));
        buffer.assign(4096, L'#');
        ASSERT_TRUE(key.ReadString(L"Long", buffer.data(), buffer.size())) << length;
        EXPECT_EQ(std::wstring(buffer.data()), value) << length;
    }
}

TEST(KestRegKey, OverlongTextIsRefusedWithoutTouchingTheBuffer)
{
    KestRegKey key(kTestKey, HKEY_CURRENT_USER);
    ASSERT_TRUE(key.WriteString(L"Long", std::wstring(600, L'a').c_str()));
    // Guard characters after the buffer show any overrun.
    wchar_t buffer[260];
    for (wchar_t& c : buffer)
        c = L'#';
    buffer[0] = L'\0';
    EXPECT_FALSE(key.ReadString(L"Long", buffer, 256));
    EXPECT_EQ(buffer[0], L'\0');
    for (int i = 1; i < 260; ++i)
        ASSERT_EQ(buffer[i], L'#') << i;
    // Exactly capacity - 1 characters still fit.
    ASSERT_TRUE(key.WriteString(L"Fits", std::wstring(255, L'b').c_str()));
    EXPECT_TRUE(key.ReadString(L"Fits", buffer, 256));
    EXPECT_EQ(wcslen(buffer), 255u);
}

TEST(KestRegKey, TextWithoutTerminatorOrWithOddSize)
{
    HKEY raw;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    const wchar_t text[] = L"abcdef";
    RegSetValueExW(raw, L"NoZero", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 6 * sizeof(wchar_t));
    RegSetValueExW(raw, L"Odd", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 7);
    RegSetValueExW(raw, L"Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(L"%TEMP%\\x"), 18);
    RegCloseKey(raw);
    KestRegKey key(kTestKey, HKEY_CURRENT_USER);
    wchar_t buffer[32];
    ASSERT_TRUE(key.ReadString(L"NoZero", buffer, 32));
    EXPECT_STREQ(buffer, L"abcdef");
    ASSERT_TRUE(key.ReadString(L"Odd", buffer, 32));
    EXPECT_STREQ(buffer, L"abc");
    ASSERT_TRUE(key.ReadString(L"Expand", buffer, 32));
    EXPECT_STREQ(buffer, L"%TEMP%\\x");
}

TEST(KestRegKey, DeleteValue)
{
    KestRegKey key(kTestKey, HKEY_CURRENT_USER);
    key.WriteDword(L"Gone", 1);
    EXPECT_TRUE(key.DeleteValue(L"Gone"));
    EXPECT_FALSE(key.DeleteValue(L"Gone"));
}

TEST(KestRegKey, MissingMachineKeyFailsEveryOperation)
{
    // Wine runs us as an administrator, so creating under HKLM works; a read-only
    // object must still never write.
    KestRegKey key(L"Software\\KestTest\\Machine", HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(key.WriteDword(L"X", 1));
    EXPECT_FALSE(key.WriteString(L"X", L"y"));
    EXPECT_FALSE(wts::RegValueExists(HKEY_LOCAL_MACHINE, L"Software\\KestTest\\Machine", L"X"));
}

class HostKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wts::RegDeleteTree(HKEY_CURRENT_USER, kDraxil);
        wts::RegDeleteTree(HKEY_LOCAL_MACHINE, kDraxil);
        ResetHostKeysForTest();
    }
    void TearDown() override { ResetHostKeysForTest(); }
    static std::wstring Release(const std::wstring& curVer)
    {
        return std::wstring(kDraxil) + L"\\R26.0\\" + curVer;
    }
};

TEST_F(HostKeysTest, ReleaseAndProfileKeysFromCurVer)
{
    wts::RegSetString(HKEY_CURRENT_USER, L"SOFTWARE\\Korvane\\Draxil\\R26.0", L"CurVer", L"DRXL-A105");
    UseBatchProfile();
    EXPECT_EQ(GetReleaseKeyPath(), L"SOFTWARE\\Korvane\\Draxil\\R26.0\\DRXL-A105");
    EXPECT_EQ(GetProfileKeyPath(), L"SOFTWARE\\Korvane\\Draxil\\R26.0\\DRXL-A105\\Profiles\\<<DRXLMPP>>");
    EXPECT_EQ(GetHostProfileName(), L"<<DRXLMPP>>");
    // Computed once: a later change has no effect.
    wts::RegSetString(HKEY_CURRENT_USER, L"SOFTWARE\\Korvane\\Draxil\\R26.0", L"CurVer", L"OTHER");
    EXPECT_EQ(GetReleaseKeyPath(), L"SOFTWARE\\Korvane\\Draxil\\R26.0\\DRXL-A105");
}

TEST_F(HostKeysTest, MissingCurVerEndsInSeparatorAndCreatesTheKeys)
{
    EXPECT_EQ(GetReleaseKeyPath(), L"SOFTWARE\\Korvane\\Draxil\\R26.0\\");
    HKEY opened;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Korvane\\Draxil\\R26.0", 0, KEY_READ, &opened),
              ERROR_SUCCESS);
    RegCloseKey(opened);
    EXPECT_EQ(GetHostProfileName(), L"<<DRXLM>>");
}

TEST_F(HostKeysTest, ProductKeyNumbers)
{
    struct Case {
        const wchar_t* product;
        const wchar_t* locale;
        const wchar_t* expected;
    } cases[] = {
        {L"1", L"409", L"DRXLM-1:409"},
        {L"12abc", L"0x409", L"DRXLM-12:409"},
        {L"  -3", L"xyz", L"DRXLM--3:0"},
        {nullptr, nullptr, L"DRXLM-0:0"},
        {L"7", L"0X40C", L"DRXLM-7:40c"},
    };
    wts::RegSetString(HKEY_CURRENT_USER, L"SOFTWARE\\Korvane\\Draxil\\R26.0", L"CurVer", L"V");
    for (const Case& c : cases) {
        wts::RegDeleteTree(HKEY_LOCAL_MACHINE, kDraxil);
        if (c.product)
            wts::RegSetString(HKEY_LOCAL_MACHINE, Release(L"V"), L"ProductId", c.product);
        if (c.locale)
            wts::RegSetString(HKEY_LOCAL_MACHINE, Release(L"V"), L"LocaleId", c.locale);
        ResetHostKeysForTest();
        EXPECT_EQ(GetProductKeyPath(), std::wstring(L"Software\\Korvane\\Korvane Torvik\\Desktop\\17\\") + c.expected)
            << (c.product ? c.product : L"(none)");
    }
}

TEST_F(HostKeysTest, HostAndMigrationFolders)
{
    wts::RegSetString(HKEY_CURRENT_USER, L"SOFTWARE\\Korvane\\Draxil\\R26.0", L"CurVer", L"V");
    std::wstring host, migration;
    struct Case {
        const wchar_t* location;
        const wchar_t* migration;
    } cases[] = {
        {L"C:\\Program Files\\Korvane\\Draxil", L"C:\\Program Files\\Korvane\\Draxil\\drxlm\\migration"},
        {L"C:\\Draxil\\", L"C:\\Draxil\\drxlm\\migration"},
        {L"C:/Draxil/", L"C:/Draxil/drxlm\\migration"},
        {nullptr, L"\\drxlm\\migration"},
    };
    for (const Case& c : cases) {
        wts::RegDeleteTree(HKEY_LOCAL_MACHINE, kDraxil);
        if (c.location)
            wts::RegSetString(HKEY_LOCAL_MACHINE, Release(L"V"), L"DrxlLocation", c.location);
        LookupHostFolder(host, migration);
        EXPECT_EQ(host, c.location ? c.location : L"");
        EXPECT_EQ(migration, c.migration);
    }
    // A location that does not fit the 1024-character buffer is refused, not cut.
    wts::RegSetString(HKEY_LOCAL_MACHINE, Release(L"V"), L"DrxlLocation", std::wstring(1100, L'd'));
    LookupHostFolder(host, migration);
    EXPECT_EQ(host, L"");
}
