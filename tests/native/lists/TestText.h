// Byte models for the reader tests: a double-byte page shaped like the
// Japanese one, whose characters map to distinct wide values, and UTF-8.
#pragma once
#include "DmlFormat.h"
#include "MultiByteReader.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace testtext {
inline MultiByteScan Dbcs()
{
    static const unsigned char ranges[] = {0x81, 0x9F, 0xE0, 0xFC};
    return MultiByteScan::DoubleByte(ranges, sizeof(ranges));
}

// Single bytes as Latin-1, pairs as 0x100000 + (lead << 8 | trail).
inline size_t DbcsConvert(const unsigned char* bytes, size_t count, wchar_t out[2])
{
    out[0] = count == 1 ? static_cast<wchar_t>(bytes[0]) : static_cast<wchar_t>(0x100000 + (bytes[0] << 8 | bytes[1]));
    return 1;
}

// Code points above 0xFFFF become two units, as on Windows.
inline size_t Utf8Convert(const unsigned char* b, size_t count, wchar_t out[2])
{
    unsigned cp = count == 1 ? b[0]
                  : count == 2 ? ((b[0] & 0x1Fu) << 6 | (b[1] & 0x3Fu))
                  : count == 3 ? ((b[0] & 0x0Fu) << 12 | (b[1] & 0x3Fu) << 6 | (b[2] & 0x3Fu))
                               : ((b[0] & 0x07u) << 18 | (b[1] & 0x3Fu) << 12 | (b[2] & 0x3Fu) << 6 | (b[3] & 0x3Fu));
    if (cp < 0x10000) {
        out[0] = static_cast<wchar_t>(cp);
        return 1;
    }
    cp -= 0x10000;
    out[0] = static_cast<wchar_t>(0xD800 + (cp >> 10));
    out[1] = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    return 2;
}

// Reads from a string, `step` bytes per refill.
inline MultiByteReader Reader(const std::string& data, const MultiByteScan& scan = Dbcs(), size_t step = 4096,
                              MultiByteReader::Convert convert = DbcsConvert)
{
    return MultiByteReader(
        scan,
        [data, step, offset = size_t(0)](unsigned char* buffer, size_t size) mutable {
            size_t n = std::min(std::min(size, step), data.size() - offset);
            std::memcpy(buffer, data.data() + offset, n);
            offset += n;
            return n;
        },
        std::move(convert), 16);
}

class Chars : public DmlCharSource {
public:
    explicit Chars(MultiByteReader reader) : m_reader(std::move(reader)) {}
    explicit Chars(const std::string& data, size_t step = 4096) : m_reader(Reader(data, Dbcs(), step)) {}
    bool ReadChar(wchar_t& c) override { return m_reader.ReadChar(c); }
    uint64_t Position() const override { return m_reader.Position(); }

private:
    MultiByteReader m_reader;
};
}
