#include "KestCodecvt.h"

#include <windows.h>

#include <algorithm>

namespace {
const wchar_t kReplacement = 0xFFFD;

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
}

KestCodecvt::KestCodecvt(unsigned codePage, size_t refs)
    : std::codecvt<wchar_t, char, std::mbstate_t>(refs), m_codePage(codePage ? codePage : GetACP()),
      m_flags(MultiByteScan::NarrowingFlags(m_codePage)), m_scan(MultiByteScan::ForCodePage(m_codePage))
{
    m_bytesPerUnit = m_scan.GetKind() == MultiByteScan::Kind::Utf8 ? 3 : m_scan.MaxCharBytes();
}

int KestCodecvt::do_encoding() const noexcept
{
    return m_scan.GetKind() == MultiByteScan::Kind::SingleByte ? 1 : 0;
}

int KestCodecvt::do_max_length() const noexcept { return m_scan.MaxCharBytes(); }

std::codecvt_base::result KestCodecvt::do_unshift(state_type&, char* to, char*, char*& toNext) const
{
    toNext = to;
    return noconv;
}

std::codecvt_base::result KestCodecvt::OutOne(const wchar_t*& from, const wchar_t* fromEnd, char*& to,
                                              char* toEnd) const
{
    int units = 1;
    if (IsHighSurrogate(from[0])) {
        if (from + 1 == fromEnd)
            return partial;   // the other half is still to come
        if (IsLowSurrogate(from[1]))
            units = 2;
    }
    char bytes[8];
    int n = WideCharToMultiByte(m_codePage, m_flags, from, units, bytes, sizeof(bytes), nullptr, nullptr);
    if (n <= 0) {
        bytes[0] = '?';
        n = 1;
    }
    if (n > toEnd - to)
        return partial;
    std::copy(bytes, bytes + n, to);
    to += n;
    from += units;
    return ok;
}

std::codecvt_base::result KestCodecvt::do_out(state_type&, const wchar_t* from, const wchar_t* fromEnd,
                                              const wchar_t*& fromNext, char* to, char* toEnd, char*& toNext) const
{
    while (from < fromEnd) {
        size_t room = static_cast<size_t>(toEnd - to);
        size_t count = std::min(static_cast<size_t>(fromEnd - from), room / static_cast<size_t>(m_bytesPerUnit));
        // Never split a surrogate pair between two calls.
        if (count > 0 && IsHighSurrogate(from[count - 1]))
            --count;
        if (count == 0) {
            result r = OutOne(from, fromEnd, to, toEnd);
            if (r != ok) {
                fromNext = from;
                toNext = to;
                return r;
            }
            continue;
        }
        int n = WideCharToMultiByte(m_codePage, m_flags, from, static_cast<int>(count), to,
                                    static_cast<int>(std::min<size_t>(room, 0x7FFFFFFF)), nullptr, nullptr);
        if (n <= 0) {
            // Cannot happen with room for the worst case; go one by one.
            result r = OutOne(from, fromEnd, to, toEnd);
            if (r != ok) {
                fromNext = from;
                toNext = to;
                return r;
            }
            continue;
        }
        from += count;
        to += n;
    }
    fromNext = from;
    toNext = to;
    return ok;
}

std::codecvt_base::result KestCodecvt::do_in(state_type&, const char* from, const char* fromEnd,
                                             const char*& fromNext, wchar_t* to, wchar_t* toEnd,
                                             wchar_t*& toNext) const
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(from);
    const unsigned char* end = reinterpret_cast<const unsigned char*>(fromEnd);
    result r = ok;
    while (p < end && to < toEnd) {
        // A run of complete characters no longer than the room left: each
        // byte gives at most one wide character.
        size_t limit = std::min(static_cast<size_t>(end - p), static_cast<size_t>(toEnd - to));
        size_t run = 0;
        size_t length = 1;
        MultiByteScan::Result kind = MultiByteScan::Result::Complete;
        while (run < limit) {
            kind = m_scan.Next(p + run, static_cast<size_t>(end - p) - run, length);
            if (kind != MultiByteScan::Result::Complete || run + length > limit)
                break;
            run += length;
        }
        if (run > 0) {
            int n = MultiByteToWideChar(m_codePage, 0, reinterpret_cast<const char*>(p), static_cast<int>(run), to,
                                        static_cast<int>(toEnd - to));
            if (n <= 0) {
                *to++ = kReplacement;   // cannot happen; keep going all the same
                p += 1;
                continue;
            }
            p += run;
            to += n;
            continue;
        }
        if (kind == MultiByteScan::Result::Invalid) {
            *to++ = kReplacement;
            p += length;
            continue;
        }
        if (kind == MultiByteScan::Result::Incomplete) {
            r = partial;   // more bytes needed
            break;
        }
        // A complete character longer than the room: through a small buffer.
        wchar_t chars[4];
        int n = MultiByteToWideChar(m_codePage, 0, reinterpret_cast<const char*>(p), static_cast<int>(length), chars,
                                    4);
        if (n <= 0) {
            chars[0] = kReplacement;
            n = 1;
        }
        if (n > toEnd - to) {
            r = partial;
            break;
        }
        std::copy(chars, chars + n, to);
        to += n;
        p += length;
    }
    if (p < end && r == ok)
        r = partial;
    fromNext = reinterpret_cast<const char*>(p);
    toNext = to;
    return r;
}

int KestCodecvt::do_length(state_type&, const char* from, const char* fromEnd, size_t max) const
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(from);
    const unsigned char* end = reinterpret_cast<const unsigned char*>(fromEnd);
    size_t produced = 0;
    while (p < end) {
        size_t length = 1;
        MultiByteScan::Result kind = m_scan.Next(p, static_cast<size_t>(end - p), length);
        if (kind == MultiByteScan::Result::Incomplete)
            break;
        size_t units = (kind == MultiByteScan::Result::Complete && length == 4) ? 2 : 1;
        if (produced + units > max)
            break;
        produced += units;
        p += length;
    }
    return static_cast<int>(p - reinterpret_cast<const unsigned char*>(from));
}
