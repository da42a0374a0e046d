// Little-endian reads from a preview source that never go past its end: a read that does not fit fails whole.
#pragma once
#include <cstddef>
#include <cstdint>

#include "PreviewSource.h"

class PreviewReader {
public:
    explicit PreviewReader(PreviewSource& source) : m_source(source), m_size(source.Size()) {}

    // Moves to an absolute position from 0 to the end of the data.
    bool Seek(int64_t pos);
    uint64_t Pos() const { return m_pos; }
    uint64_t Remaining() const { return m_size - m_pos; }

    bool Read(void* dst, size_t n);
    bool ReadU8(uint8_t& v);
    bool ReadI8(int8_t& v);
    bool ReadU16(uint16_t& v);
    bool ReadU32(uint32_t& v);
    bool ReadI32(int32_t& v);

private:
    PreviewSource& m_source;
    uint64_t m_size;
    uint64_t m_pos = 0;
};
