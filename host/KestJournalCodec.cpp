#include "KestJournalCodec.h"
#include "KestByteReader.h"
#include "KestByteWriter.h"

namespace {
const uint8_t kProfileMagic[4] = {'K', 'P', 'J', '1'};
}

std::vector<uint8_t> KestJournalCodec::EncodeProfile(const std::vector<KestJournalValue>& values)
{
    KestByteWriter out;
    out.Magic(kProfileMagic);
    out.U32(static_cast<uint32_t>(values.size()));
    for (const KestJournalValue& value : values) {
        out.Text(value.key);
        out.Text(value.name);
        out.U8(value.state);
        out.U32(value.type);
        out.Bytes(value.data);
    }
    return out.m_out;
}

bool KestJournalCodec::DecodeProfile(const uint8_t* bytes, size_t size, std::vector<KestJournalValue>& values)
{
    values.clear();
    KestByteReader in(bytes, size);
    if (!in.Magic(kProfileMagic))
        return false;
    // Each entry takes at least two text lengths, a state, a type and a data length.
    uint32_t count = in.Count(17);
    std::vector<KestJournalValue> read;
    for (uint32_t i = 0; i < count && in.Ok(); ++i) {
        KestJournalValue value;
        value.key = in.Text();
        value.name = in.Text();
        uint8_t state = in.U8();
        value.type = in.U32();
        value.data = in.Bytes();
        if (state > KestJournalValue::Present || value.key.empty() || value.name.empty() ||
            (state != KestJournalValue::Present && !value.data.empty()))
            return false;
        value.state = static_cast<KestJournalValue::State>(state);
        read.push_back(std::move(value));
    }
    if (!in.Done())
        return false;
    values.swap(read);
    return true;
}
