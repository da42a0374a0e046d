#include "PreviewReader.h"

bool PreviewReader::Seek(int64_t pos)
{
    if (pos < 0 || static_cast<uint64_t>(pos) > m_size)
        return false;
    m_pos = static_cast<uint64_t>(pos);
    return true;
}

bool PreviewReader::Read(void* dst, size_t n)
{
    if (n > Remaining() || !m_source.ReadAt(m_pos, dst, n))
        return false;
    m_pos += n;
    return true;
}

bool PreviewReader::ReadU8(uint8_t& v) { return Read(&v, 1); }

bool PreviewReader::ReadI8(int8_t& v)
{
    uint8_t b;
    if (!ReadU8(b))
        return false;
    v = static_cast<int8_t>(b);
    return true;
}

bool PreviewReader::ReadU16(uint16_t& v)
{
    uint8_t b[2];
    if (!Read(b, 2))
        return false;
    v = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return true;
}

bool PreviewReader::ReadU32(uint32_t& v)
{
    uint8_t b[4];
    if (!Read(b, 4))
        return false;
    v = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    return true;
}

bool PreviewReader::ReadI32(int32_t& v)
{
    uint32_t u;
    if (!ReadU32(u))
        return false;
    v = static_cast<int32_t>(u);
    return true;
}
