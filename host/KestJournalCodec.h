// The bytes of the profile journal, which outlives a Transmora that was ended
// during a run: each saved value of the host profile with its key, name,
// state, type and bytes. It lives as a binary registry value that anyone may
// have damaged, so decoding checks every length against the end of the data
// and rejects anything it does not fully understand.
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

class KestJournalCodec {
public:
    static std::vector<uint8_t> EncodeProfile(const std::vector<KestJournalValue>& values);
    // False (and values empty) unless the bytes are a whole, well-formed journal.
    static bool DecodeProfile(const uint8_t* bytes, size_t size, std::vector<KestJournalValue>& values);
};
