#include "MultiByteReader.h"

#include <cstring>
#include <utility>

namespace {
const size_t kMaxCharBytes = 4;
}

MultiByteReader::MultiByteReader(const MultiByteScan& scan, Refill refill, Convert convert, size_t chunk)
    : m_scan(scan), m_refill(std::move(refill)), m_convert(std::move(convert)),
      m_buffer((chunk < kMaxCharBytes ? kMaxCharBytes : chunk) + kMaxCharBytes)
{
}

void MultiByteReader::Reset()
{
    m_begin = m_end = 0;
    m_atEnd = false;
    m_position = 0;
    m_hasPending = false;
}

void MultiByteReader::Fill(size_t want)
{
    while (m_end - m_begin < want && !m_atEnd) {
        if (m_begin > 0) {
            std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
            m_end -= m_begin;
            m_begin = 0;
        }
        size_t got = m_refill(m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (got == 0)
            m_atEnd = true;
        m_end += got < m_buffer.size() - m_end ? got : m_buffer.size() - m_end;
    }
}

bool MultiByteReader::ReadChar(wchar_t& c)
{
    if (m_hasPending) {
        m_hasPending = false;
        c = m_pending;
        return true;
    }
    Fill(kMaxCharBytes);
    if (m_begin == m_end)
        return false;
    size_t length = 1;
    const unsigned char* start = m_buffer.data() + m_begin;
    switch (m_scan.Next(start, m_end - m_begin, length)) {
    case MultiByteScan::Result::Incomplete:
        return false;   // the data ends inside a character
    case MultiByteScan::Result::Invalid:
        m_begin += length;
        m_position += length;
        c = Replacement;
        return true;
    case MultiByteScan::Result::Complete:
        break;
    }
    wchar_t out[2] = {0, 0};
    size_t n = m_convert(start, length, out);
    if (n == 0 || n > 2)
        return false;
    m_begin += length;
    m_position += length;
    c = out[0];
    if (n == 2) {
        m_pending = out[1];
        m_hasPending = true;
    }
    return true;
}
