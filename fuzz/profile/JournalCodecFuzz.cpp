// The journal and the run record from arbitrary registry bytes: whatever
// decodes must encode to the very same bytes, and nothing may read past them.
#include "KestJournalCodec.h"
#include "KestRunRecord.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<KestJournalValue> values;
    if (KestJournalCodec::DecodeProfile(data, size, values) &&
        KestJournalCodec::EncodeProfile(values) != std::vector<uint8_t>(data, data + size))
        std::abort();
    KestRunRecord record;
    if (KestRunRecord::Decode(data, size, record) &&
        KestRunRecord::Encode(record) != std::vector<uint8_t>(data, data + size))
        std::abort();
    return 0;
}
