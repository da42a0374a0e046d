#include "HostProfile.h"
#include "HostKeys.h"
#include "KestRegKey.h"
#include "ProfileJournal.h"
#include "SupportPath.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {
int g_calls = 0;
// The saved values are in the registry's journal (written, or found there).
bool g_journalKept = false;

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

// The typed fields read from the values as saved, by the rules of KestRegKey:
// a number only from a four-byte REG_DWORD, a text only when it fits its buffer.
void TakeNumber(const KestSavedProfile& saved, ProfileValue value, int& field)
{
    const KestRegSnapshot& raw = saved.m_raw[static_cast<size_t>(value)];
    DWORD data = 0;
    if (raw.m_present && raw.m_type == REG_DWORD && raw.m_data.size() == sizeof(data)) {
        std::memcpy(&data, raw.m_data.data(), sizeof(data));
        field = static_cast<int>(data);
    }
}

void TakeText(const KestSavedProfile& saved, ProfileValue value, std::wstring& field, size_t capacity)
{
    const KestRegSnapshot& raw = saved.m_raw[static_cast<size_t>(value)];
    if (!raw.m_present || (raw.m_type != REG_SZ && raw.m_type != REG_EXPAND_SZ))
        return;
    std::wstring text(raw.m_data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty())
        std::memcpy(&text[0], raw.m_data.data(), text.size() * sizeof(wchar_t));
    text = text.c_str();
    if (text.size() + 1 <= capacity)
        field = text;
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

// A journal left by an earlier Transmora (its restore was incomplete) holds the
// user's values while the profile may still hold a run's: those are the saved ones.
bool TakeJournal(const Keys& keys, KestSavedProfile& saved)
{
    std::vector<KestJournalValue> journal;
    if (ReadProfileJournal(journal) != JournalRead::Found)
        return false;
    for (size_t i = 0; i < static_cast<size_t>(ProfileValue::Count); ++i) {
        KestRegSnapshot& raw = saved.m_raw[i];
        const std::wstring& key = keys[kValues[i].key]->m_subKey;
        auto kept = std::find_if(journal.begin(), journal.end(), [&](const KestJournalValue& value) {
            return value.name == kValues[i].name && _wcsicmp(value.key.c_str(), key.c_str()) == 0;
        });
        if (kept == journal.end()) {
            raw.Capture(*keys[kValues[i].key], kValues[i].name);
            continue;
        }
        raw.m_taken = kept->state != KestJournalValue::Unknown;
        raw.m_present = kept->state == KestJournalValue::Present;
        raw.m_type = kept->type;
        raw.m_data.assign(kept->data.begin(), kept->data.end());
    }
    return true;
}

void Save(const Keys& keys)
{
    if (theApp.m_profileSaved)
        return;
    theApp.m_profileSaved = true;
    KestSavedProfile& saved = theApp.m_saved;
    if (TakeJournal(keys, saved)) {
        g_journalKept = true;
    } else {
        for (size_t i = 0; i < static_cast<size_t>(ProfileValue::Count); ++i)
            saved.m_raw[i].Capture(*keys[kValues[i].key], kValues[i].name);
        // Kept outside this process before any prepared value is written.
        g_journalKept = WriteProfileJournal(JournalOf(keys, saved));
    }

    TakeText(saved, ProfileValue::DRXL, saved.DRXL, 4096);
    TakeNumber(saved, ProfileValue::NoStartUpDialog, saved.NoStartUpDialog);
    TakeNumber(saved, ProfileValue::FileDialog, saved.FileDialog);
    TakeNumber(saved, ProfileValue::CommandDialogs, saved.CommandDialogs);
    TakeNumber(saved, ProfileValue::ShowProxyDialog, saved.ShowProxyDialog);
    TakeNumber(saved, ProfileValue::SDIMode, saved.SDIMode);
    TakeText(saved, ProfileValue::EmergencyFont, saved.EmergencyFont, 100);
    TakeNumber(saved, ProfileValue::ShowPlotSetup, saved.ShowPlotSetup);
    TakeNumber(saved, ProfileValue::LogFileOpen, saved.LogFileOpen);
    TakeText(saved, ProfileValue::LogFilePath, saved.LogFilePath, 512);
    TakeNumber(saved, ProfileValue::KEXASSEMBLE_VERIFIED, saved.KEXASSEMBLE_VERIFIED);
    TakeNumber(saved, ProfileValue::RepeatCount, saved.RepeatCount);
    TakeNumber(saved, ProfileValue::ShowDialog, saved.ShowDialog);
    TakeNumber(saved, ProfileValue::XrefLazyLoadMode, saved.XrefLazyLoadMode);
}

// Nothing is prepared unless the saved values are kept outside this process:
// a death during the run would leave the run's values as the user's own.
bool Prepare(const Keys& keys)
{
    const KestSavedProfile& saved = theApp.m_saved;
    if (!g_journalKept)
        g_journalKept = WriteProfileJournal(JournalOf(keys, saved));
    if (!g_journalKept)
        return false;
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
    return true;
}

// Every value goes back exactly as it was: with its own type and bytes, and a
// value that was missing is deleted again rather than written with a default.
// "Repeat Count" counts runs and keeps the count the prepare step wrote,
// unless it was not a count to begin with. The journal goes only once all is
// back, and not at all when a continued run is to take it again.
void Restore(const Keys& keys, bool keepJournal)
{
    if (!theApp.m_profileSaved)
        return;
    if (PutBackJournal(JournalOf(keys, theApp.m_saved), false) && !keepJournal)
        RemoveProfileJournal();
}
}

bool PrepareHostProfile(ProfileStep step)
{
    if (step != ProfileStep::Save && g_calls == 0)
        return true;
    ++g_calls;
    Keys keys;
    MakeKeys(keys);
    switch (step) {
    case ProfileStep::Save: Save(keys); break;
    case ProfileStep::Prepare: return Prepare(keys);
    case ProfileStep::Restore: Restore(keys, false); break;
    case ProfileStep::RestoreKeepingJournal: Restore(keys, true); break;
    }
    return true;
}

void BuildSearchFolderList()
{
    const std::wstring& saved = theApp.m_saved.DRXL;
    theApp.m_searchFolders = SplitSupportPath(saved.empty() ? DefaultSupportPath(theApp.m_hostFolder) : saved);
}

void ResetHostProfileForTest()
{
    g_calls = 0;
    g_journalKept = false;
    theApp.m_profileSaved = false;
    theApp.m_saved = KestSavedProfile();
}
