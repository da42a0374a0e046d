// The journal and run record bytes: what is written reads back exactly, and
// damaged bytes (cut short, grown, lengths out of range, foreign values) are
// refused as a whole rather than half read.
#include "KestJournalCodec.h"
#include "KestRunRecord.h"

#include <gtest/gtest.h>

namespace {
std::vector<KestJournalValue> SampleJournal()
{
    KestJournalValue present{L"Software\\Korvane\\Profiles\\<<DRXLMPP>>\\General", L"DRXL",
                             KestJournalValue::Present, 1, {'c', 0, ':', 0, 0, 0}};
    KestJournalValue dword{L"Software\\Korvane\\BOM Migration", L"Repeat Count", KestJournalValue::Present, 4,
                           {4, 0, 0, 0}};
    KestJournalValue empty{L"Software\\Korvane\\Editor Configuration", L"EmergencyFont", KestJournalValue::Present,
                           1, {}};
    KestJournalValue missing{L"Software\\Korvane\\Editor Configuration", L"XrefLazyLoadMode",
                             KestJournalValue::Missing, 0, {}};
    KestJournalValue unknown{L"Software\\Korvane\\Assembly", L"KEXASSEMBLE_VERIFIED", KestJournalValue::Unknown, 0,
                             {}};
    return {present, dword, empty, missing, unknown};
}

KestRunRecord SampleRecord()
{
    KestRunRecord record;
    record.operation = 1;
    record.drxlmFlags = 0x2F;
    record.timeout = -3;   // stored values are not range-checked; they travel unchanged
    record.logFlags = 7;
    record.logFile = L"c:\\plant 7\\migration.log";
    record.listFile = L"c:\\plant 7\\plant 7.dml";
    record.migrateList = L"c:\\temp\\MIGRATE.TXT";
    record.drawings = {L"c:\\plant 7\\a.dwg", L"", L"c:\\plant 7\\\x00e9t\x00e9.dwg"};
    record.searchFolders = {L"c:\\draxil\\support"};
    record.tempFiles = {L"c:\\temp\\lorn1f.bat", L"c:\\temp\\lorn20.tmp"};
    return record;
}

bool SameValues(const std::vector<KestJournalValue>& a, const std::vector<KestJournalValue>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].key != b[i].key || a[i].name != b[i].name || a[i].state != b[i].state || a[i].type != b[i].type ||
            a[i].data != b[i].data)
            return false;
    return true;
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
}

TEST(JournalCodec, JournalAndRecordReadBackExactly)
{
    std::vector<KestJournalValue> journal = SampleJournal(), back;
    std::vector<uint8_t> bytes = KestJournalCodec::EncodeProfile(journal);
    ASSERT_TRUE(KestJournalCodec::DecodeProfile(bytes.data(), bytes.size(), back));
    EXPECT_TRUE(SameValues(journal, back));

    KestRunRecord record = SampleRecord(), read;
    bytes = KestRunRecord::Encode(record);
    ASSERT_TRUE(KestRunRecord::Decode(bytes.data(), bytes.size(), read));
    EXPECT_EQ(read.drxlmFlags, 0x2F);
    EXPECT_EQ(read.timeout, -3);
    EXPECT_EQ(read.logFlags, 7);
    EXPECT_EQ(read.logFile, record.logFile);
    EXPECT_EQ(read.listFile, record.listFile);
    EXPECT_EQ(read.migrateList, record.migrateList);
    EXPECT_EQ(read.drawings, record.drawings);
    EXPECT_EQ(read.searchFolders, record.searchFolders);
    EXPECT_EQ(read.tempFiles, record.tempFiles);

    // An empty journal is a journal too.
    bytes = KestJournalCodec::EncodeProfile({});
    EXPECT_TRUE(KestJournalCodec::DecodeProfile(bytes.data(), bytes.size(), back));
    EXPECT_TRUE(back.empty());
}

TEST(JournalCodec, EveryCutAndEveryExtraByteIsRefused)
{
    std::vector<uint8_t> journal = KestJournalCodec::EncodeProfile(SampleJournal());
    std::vector<uint8_t> record = KestRunRecord::Encode(SampleRecord());
    for (size_t n = 0; n < journal.size(); ++n) {
        std::vector<KestJournalValue> values = SampleJournal();
        EXPECT_FALSE(KestJournalCodec::DecodeProfile(journal.data(), n, values)) << n;
        EXPECT_TRUE(values.empty()) << "nothing half read at " << n;
    }
    for (size_t n = 0; n < record.size(); ++n) {
        KestRunRecord read;
        EXPECT_FALSE(KestRunRecord::Decode(record.data(), n, read)) << n;
        EXPECT_TRUE(read.drawings.empty()) << n;
    }
    journal.push_back(0);
    record.push_back(0);
    std::vector<KestJournalValue> values;
    KestRunRecord read;
    EXPECT_FALSE(KestJournalCodec::DecodeProfile(journal.data(), journal.size(), values));
    EXPECT_FALSE(KestRunRecord::Decode(record.data(), record.size(), read));
    EXPECT_FALSE(KestJournalCodec::DecodeProfile(nullptr, 0, values));
    EXPECT_FALSE(KestRunRecord::Decode(nullptr, 0, read));
}

TEST(JournalCodec, DamagedFieldsAreRefused)
{
    // Journal layout: magic, count, then key (length, units), name, state, type, data.
    const std::vector<KestJournalValue> one = {SampleJournal()[0]};
    const std::vector<uint8_t> good = KestJournalCodec::EncodeProfile(one);
    const size_t keyLength = 8, nameLength = keyLength + 4 + one[0].key.size() * 2;
    const size_t state = nameLength + 4 + one[0].name.size() * 2, dataLength = state + 1 + 4;
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
        bool byte;
    } cases[] = {
        {"other magic", 3, '2', true},
        {"count beyond the data", 4, 2, false},
        {"count of four thousand million", 4, 0xFFFFFFFFu, false},
        {"key length beyond the data", keyLength, 0x7FFFFFFFu, false},
        {"empty key", keyLength, 0, false},
        {"name length beyond the data", nameLength, 1000, false},
        {"unknown state", state, 3, true},
        {"missing value with bytes", state, KestJournalValue::Missing, true},
        {"data length beyond the data", dataLength, 7, false},
        {"data length of four thousand million", dataLength, 0xFFFFFFF0u, false},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        if (c.byte)
            bytes[c.at] = static_cast<uint8_t>(c.value);
        else
            PutU32(bytes, c.at, c.value);
        std::vector<KestJournalValue> values;
        EXPECT_FALSE(KestJournalCodec::DecodeProfile(bytes.data(), bytes.size(), values)) << c.what;
    }

    // A record's drawing count that the data cannot hold.
    KestRunRecord record;
    std::vector<uint8_t> bytes = KestRunRecord::Encode(record);
    const size_t drawingCount = 4 + 8 * 4 + 4 * 4;
    PutU32(bytes, drawingCount, 0x40000000u);
    EXPECT_FALSE(KestRunRecord::Decode(bytes.data(), bytes.size(), record));
    std::vector<KestJournalValue> values;
    EXPECT_FALSE(KestJournalCodec::DecodeProfile(bytes.data(), bytes.size(), values)) << "a record is no journal";
}
