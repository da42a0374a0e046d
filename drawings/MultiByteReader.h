// Reads wide characters one at a time from narrow text that arrives in
// chunks: buffers the bytes, splits them into characters with a code page
// scan and converts each character. Counts the bytes it has consumed, so a
// caller can find any character's bytes in the data again.
#pragma once
#include "MultiByteScan.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class MultiByteReader {
public:
    // Fills buffer with up to size bytes; 0 at the end of the data. May throw.
    using Refill = std::function<size_t(unsigned char* buffer, size_t size)>;
    // Converts the bytes of one complete character into out; returns the
    // number of wide characters (0 on failure, at most 2).
    using Convert = std::function<size_t(const unsigned char* bytes, size_t count, wchar_t out[2])>;

    static constexpr wchar_t Replacement = 0xFFFD;

    MultiByteReader(const MultiByteScan& scan, Refill refill, Convert convert, size_t chunk = 4096);

    // Next character. False at the end of the data, when the data ends inside
    // a character, or when a character converts to nothing. A byte that forms
    // no character reads as U+FFFD.
    bool ReadChar(wchar_t& c);
    // Bytes consumed so far.
    uint64_t Position() const { return m_position; }
    // Forgets buffered bytes and the position, as for a newly opened file.
    void Reset();

private:
    // Makes at least `want` bytes available unless the data ends first.
    void Fill(size_t want);

    MultiByteScan m_scan;
    Refill m_refill;
    Convert m_convert;
    std::vector<unsigned char> m_buffer;
    size_t m_begin = 0;
    size_t m_end = 0;
    bool m_atEnd = false;
    uint64_t m_position = 0;
    wchar_t m_pending = 0;   // second half of a surrogate pair
    bool m_hasPending = false;
};
