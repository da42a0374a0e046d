#include "HostProfile.h"
#include "HostKeys.h"
#include "KestRegKey.h"
#include "ProfileJournal.h"
#include "SupportPath.h"

#include <memory>

namespace {
int g_calls = 0;

enum KeyIndex { General, DrawingWindow, EditorConfiguration, GeneralConfiguration, ApploadStartup, Assembly,
                BomMigration, KeyCount };

struct ValueSpec {
    KeyIndex key;
    const wchar_t* name;
};

// In the order of ProfileValue.
const ValueSpec kValues[] = {
    {General, L"DRXL"},
    {General, L"NoStartUpDialog"},
    {GeneralConfiguration, L"FileDialog"},
    {GeneralConfiguration, L"CommandDialogs"},
    {General, L"ShowProxyDialog"},
    {DrawingWindow, L"SDIMode"},
    {EditorConfiguration, L"EmergencyFont"},
    {DrawingWindow, L"ShowPlotSetup"},
    {General, L"LogFileOpen"},
    {EditorConfiguration, L"LogFilePath"},
    {Assembly, L"KEXASSEMBLE_VERIFIED"},
    {BomMigration, kRunCountValue},
    {BomMigration, L"Show Dialog"},
    {EditorConfiguration, L"XrefLazyLoadMode"},
};
static_assert(sizeof(kValues) / sizeof(kValues[0]) == static_cast<size_t>(ProfileValue::Count), "one row per value");

using Keys = std::unique_ptr<KestRegKey>[KeyCount];

void MakeKeys(Keys& keys)
{
    const std::wstring profile = GetProfileKeyPath();
    const std::wstring product = GetProductKeyPath();
    const std::wstring paths[KeyCount] = {
        profile + L"\\General",
        profile + L"\\Drawing Window",
        profile + L"\\Editor Configuration",
        GetReleaseKeyPath() + L"\\FixedProfile\\General Configuration",
        profile + L"\\Dialogs\\Appload\\Startup",
        product + L"\\Assembly",
        product + L"\\BOM Migration",
    };
    for (int i = 0; i < KeyCount; ++i)
        keys[i].reset(new KestRegKey(paths[i], HKEY_CURRENT_USER));
}

const KestRegKey& KeyOf(const Keys& keys, ProfileValue value)
{
    return *keys[kValues[static_cast<size_t>(value)].key];
}

const wchar_t* NameOf(ProfileValue value) { return kValues[static_cast<size_t>(value)].name; }

void ReadNumber(const Keys& keys, ProfileValue value, int& field)
{
    DWORD data = 0;
    if (KeyOf(keys, value).ReadDword(NameOf(value), data))
        field = static_cast<int>(data);
}

void ReadText(const Keys& keys, ProfileValue value, std::wstring& field, size_t capacity)
{
    std::unique_ptr<wchar_t[]> buffer(new wchar_t[capacity]());
    if (KeyOf(keys, value).ReadString(NameOf(value), buffer.get(), capacity))
        field = buffer.get();
}

void WriteNumber(const Keys& keys, ProfileValue value, int data)
{
    KeyOf(keys, value).WriteDword(NameOf(value), static_cast<DWORD>(data));
}

void WriteText(const Keys& keys, ProfileValue value, const std::wstring& text)
{
    KeyOf(keys, value).WriteString(NameOf(value), text.c_str());
}

// The saved values as the journal keeps them: each with the key it came from.
std::vector<KestJournalValue> JournalOf(const Keys& keys, const KestSavedProfile& saved)
{
    std::vector<KestJournalValue> values;
    for (size_t i = 0; i < static_cast<size_t>(ProfileValue::Count); ++i) {
        const KestRegSnapshot& raw = saved.m_raw[i];
        KestJournalValue value;
        value.key = keys[kValues[i].key]->m_subKey;
        value.name = kValues[i].name;
        value.state = !raw.m_taken ? KestJournalValue::Unknown
                                   : raw.m_present ? KestJournalValue::Present : KestJournalValue::Missing;
        value.type = raw.m_type;
        value.data.assign(raw.m_data.begin(), raw.m_data.end());
        values.push_back(std::move(value));
    }
    return values;
}

void Save(const Keys& keys)
{
    if (theApp.m_profileSaved)
        return;
    theApp.m_profileSaved = true;
    KestSavedProfile& saved = theApp.m_saved;
    for (size_t i = 0; i < static_cast<size_t>(ProfileValue::Count); ++i)
        saved.m_raw[i].Capture(*keys[kValues[i].key], kValues[i].name);
    // Kept outside this process before any prepared value is written.
    WriteProfileJournal(JournalOf(keys, saved));

    ReadText(keys, ProfileValue::DRXL, saved.DRXL, 4096);
    ReadNumber(keys, ProfileValue::NoStartUpDialog, saved.NoStartUpDialog);
    ReadNumber(keys, ProfileValue::FileDialog, saved.FileDialog);
    ReadNumber(keys, ProfileValue::CommandDialogs, saved.CommandDialogs);
    ReadNumber(keys, ProfileValue::ShowProxyDialog, saved.ShowProxyDialog);
    ReadNumber(keys, ProfileValue::SDIMode, saved.SDIMode);
    ReadText(keys, ProfileValue::EmergencyFont, saved.EmergencyFont, 100);
    ReadNumber(keys, ProfileValue::ShowPlotSetup, saved.ShowPlotSetup);
    ReadNumber(keys, ProfileValue::LogFileOpen, saved.LogFileOpen);
    ReadText(keys, ProfileValue::LogFilePath, saved.LogFilePath, 512);
    ReadNumber(keys, ProfileValue::KEXASSEMBLE_VERIFIED, saved.KEXASSEMBLE_VERIFIED);
    ReadNumber(keys, ProfileValue::RepeatCount, saved.RepeatCount);
    ReadNumber(keys, ProfileValue::ShowDialog, saved.ShowDialog);
    ReadNumber(keys, ProfileValue::XrefLazyLoadMode, saved.XrefLazyLoadMode);
}

void Prepare(const Keys& keys)
{
    const KestSavedProfile& saved = theApp.m_saved;
    WriteText(keys, ProfileValue::DRXL, JoinSupportPath(theApp.m_searchFolders));
    WriteNumber(keys, ProfileValue::NoStartUpDialog, 1);
    WriteNumber(keys, ProfileValue::FileDialog, 0);
    WriteNumber(keys, ProfileValue::CommandDialogs, 1);
    WriteNumber(keys, ProfileValue::ShowProxyDialog, 0);
    WriteNumber(keys, ProfileValue::SDIMode, 1);
    if (saved.EmergencyFont.empty())
        WriteText(keys, ProfileValue::EmergencyFont, L"simplex.shx");
    WriteNumber(keys, ProfileValue::ShowPlotSetup, 0);
    WriteNumber(keys, ProfileValue::LogFileOpen, 0);
    wchar_t temp[260] = {0};
    DWORD length = GetTempPathW(260, temp);
    if (length > 0 && length < 260)
        WriteText(keys, ProfileValue::LogFilePath, temp);
    WriteNumber(keys, ProfileValue::KEXASSEMBLE_VERIFIED, 1);
    WriteNumber(keys, ProfileValue::RepeatCount, saved.RepeatCount + 1);
    WriteNumber(keys, ProfileValue::ShowDialog, 0);
    WriteNumber(keys, ProfileValue::XrefLazyLoadMode, 1);
}

// Every value goes back exactly as it was: with its own type and bytes, and a
// value that was missing is deleted again rather than written with a default.
// "Repeat Count" counts runs and keeps the count the prepare step wrote,
// unless it was not a count to begin with. The journal goes only once all is back.
void Restore(const Keys& keys)
{
    if (!theApp.m_profileSaved)
        return;
    if (PutBackJournal(JournalOf(keys, theApp.m_saved), false))
        RemoveProfileJournal();
}
}

void PrepareHostProfile(ProfileStep step)
{
    if (step != ProfileStep::Save && g_calls == 0)
        return;
    ++g_calls;
    Keys keys;
    MakeKeys(keys);
    switch (step) {
    case ProfileStep::Save: Save(keys); break;
    case ProfileStep::Prepare: Prepare(keys); break;
    case ProfileStep::Restore: Restore(keys); break;
    }
}

void BuildSearchFolderList()
{
    const std::wstring& saved = theApp.m_saved.DRXL;
    theApp.m_searchFolders = SplitSupportPath(saved.empty() ? DefaultSupportPath(theApp.m_hostFolder) : saved);
}

void ResetHostProfileForTest()
{
    g_calls = 0;
    theApp.m_profileSaved = false;
    theApp.m_saved = KestSavedProfile();
}
