// The bytes of the two records that outlive a Transmora that was ended
// during a run: the profile journal (each saved value of the host profile
// with its key, name, state, type and bytes) and the run record (what a
// continued migration needs). Both live as binary registry values that
// anyone may have damaged, so decoding checks every length against the end
// of the data and rejects anything it does not fully understand.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One saved profile value.
struct KestJournalValue {
    enum State : uint8_t { Unknown = 0, Missing = 1, Present = 2 };
    std::wstring key;   // sub-key under HKEY_CURRENT_USER
    std::wstring name;
    State state = Unknown;   // Unknown: it could not be read; the restore leaves it alone
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

// A migrate run under way.
struct KestRunRecord {
    int32_t operation = 1;
    int32_t updateFlags = 0;
    int32_t optionFlags = 0;
    int32_t drxlmFlags = 8;
    int32_t timeout = 120;
    int32_t quenbarFlags = 0;
    int32_t symbolStd = 0;
    int32_t logFlags = 15;
    std::wstring logFile;
    std::wstring listFile;
    std::wstring templatePath;
    std::wstring migrateList;                // MIGRATE.TXT of the run
    std::vector<std::wstring> drawings;      // empty when the list was too long to keep here
    std::vector<std::wstring> searchFolders;
    std::vector<std::wstring> tempFiles;     // the run's scripts, batch and progress file
};

class KestJournalCodec {
public:
    static std::vector<uint8_t> EncodeProfile(const std::vector<KestJournalValue>& values);
    // False (and values empty) unless the bytes are a whole, well-formed journal.
    static bool DecodeProfile(const uint8_t* bytes, size_t size, std::vector<KestJournalValue>& values);

    static std::vector<uint8_t> EncodeRun(const KestRunRecord& record);
    static bool DecodeRun(const uint8_t* bytes, size_t size, KestRunRecord& record);

    // Limits that a decoded record never exceeds (a registry value may be large, not endless).
    static const uint32_t kMaxText = 32768;      // characters of one text
    static const uint32_t kMaxData = 1u << 20;   // bytes of one saved value
    static const uint32_t kMaxItems = 1u << 20;  // entries of one list
};
