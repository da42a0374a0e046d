#include "ProfileJournal.h"
#include "KestRegKey.h"
#include "KestRegSnapshot.h"
#include "../app/CKestNoluApp.h"

const wchar_t kProfileJournalValue[] = L"ProfileJournal";

bool WriteProfileJournal(const std::vector<KestJournalValue>& values)
{
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    KestRegSnapshot journal;
    journal.m_taken = journal.m_present = true;
    journal.m_type = REG_BINARY;
    std::vector<uint8_t> bytes = KestJournalCodec::EncodeProfile(values);
    journal.m_data.assign(bytes.begin(), bytes.end());
    return journal.PutBack(key, kProfileJournalValue);
}

JournalRead ReadProfileJournal(std::vector<KestJournalValue>& values)
{
    values.clear();
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    KestRegSnapshot journal;
    if (!journal.Capture(key, kProfileJournalValue))
        return JournalRead::None;   // missing, or the key cannot be read: nothing to act on
    if (journal.m_type != REG_BINARY ||
        !KestJournalCodec::DecodeProfile(journal.m_data.data(), journal.m_data.size(), values))
        return JournalRead::Damaged;
    return JournalRead::Found;
}

void RemoveProfileJournal()
{
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    key.DeleteValue(kProfileJournalValue);
}

bool PutBackJournal(const std::vector<KestJournalValue>& values, bool withRunCount)
{
    bool all = true;
    for (const KestJournalValue& value : values) {
        if (value.state == KestJournalValue::Unknown)
            continue;   // it could not be read when saved: nothing known to put back
        const bool present = value.state == KestJournalValue::Present;
        if (!withRunCount && value.name == L"Repeat Count" &&
            (!present || (value.type == REG_DWORD && value.data.size() == sizeof(DWORD))))
            continue;
        KestRegSnapshot snapshot;
        snapshot.m_taken = true;
        snapshot.m_present = present;
        snapshot.m_type = value.type;
        snapshot.m_data.assign(value.data.begin(), value.data.end());
        KestRegKey key(value.key, HKEY_CURRENT_USER);
        all = snapshot.PutBack(key, value.name.c_str()) && all;
    }
    return all;
}
