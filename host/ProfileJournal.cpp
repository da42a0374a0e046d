#include "ProfileJournal.h"
#include "HostKeys.h"
#include "KestRegKey.h"
#include "KestRegSnapshot.h"

const wchar_t kProfileJournalValue[] = L"ProfileJournal";
const wchar_t kRunCountValue[] = L"Repeat Count";

bool WriteBinarySetting(const wchar_t* name, const std::vector<uint8_t>& bytes)
{
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    KestRegSnapshot value;
    value.m_taken = value.m_present = true;
    value.m_type = REG_BINARY;
    value.m_data.assign(bytes.begin(), bytes.end());
    return value.PutBack(key, name);
}

JournalRead ReadBinarySetting(const wchar_t* name, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    KestRegSnapshot value;
    if (!value.Capture(key, name))
        return JournalRead::None;
    if (value.m_type != REG_BINARY)
        return JournalRead::Damaged;
    bytes.assign(value.m_data.begin(), value.m_data.end());
    return JournalRead::Found;
}

bool WriteProfileJournal(const std::vector<KestJournalValue>& values)
{
    return WriteBinarySetting(kProfileJournalValue, KestJournalCodec::EncodeProfile(values));
}

JournalRead ReadProfileJournal(std::vector<KestJournalValue>& values)
{
    std::vector<uint8_t> bytes;
    JournalRead read = ReadBinarySetting(kProfileJournalValue, bytes);
    if (read == JournalRead::Found && !KestJournalCodec::DecodeProfile(bytes.data(), bytes.size(), values))
        return JournalRead::Damaged;
    return read;
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
        if (!withRunCount && value.name == kRunCountValue &&
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
