#include "MultiByteScan.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
// The lowest trail byte of every double-byte code page in use; control
// characters, digits and line ends are never taken as the second half.
const unsigned char kLowestTrailByte = 0x40;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }
}

MultiByteScan::MultiByteScan() = default;

MultiByteScan MultiByteScan::Utf8()
{
    MultiByteScan scan;
    scan.m_kind = Kind::Utf8;
    return scan;
}

MultiByteScan MultiByteScan::DoubleByte(const unsigned char* ranges, size_t rangeBytes)
{
    MultiByteScan scan;
    scan.m_kind = Kind::DoubleByte;
    for (size_t i = 0; i + 1 < rangeBytes; i += 2)
        for (unsigned b = ranges[i]; b <= ranges[i + 1] && b < 256; ++b)
            scan.m_lead[b] = true;
    return scan;
}

int MultiByteScan::MaxCharBytes() const
{
    switch (m_kind) {
    case Kind::SingleByte:
        return 1;
    case Kind::DoubleByte:
        return 2;
    case Kind::Utf8:
        return 4;
    }
    return 1;
}

MultiByteScan::Result MultiByteScan::Next(const unsigned char* data, size_t size, size_t& length) const
{
    length = 1;
    unsigned char b = data[0];
    switch (m_kind) {
    case Kind::SingleByte:
        return Result::Complete;
    case Kind::DoubleByte:
        if (!m_lead[b])
            return Result::Complete;
        if (size < 2)
            return Result::Incomplete;
        if (data[1] < kLowestTrailByte)
            return Result::Invalid;
        length = 2;
        return Result::Complete;
    case Kind::Utf8: {
        size_t need;
        if (b < 0x80)
            return Result::Complete;
        if (b >= 0xC2 && b <= 0xDF)
            need = 2;
        else if (b >= 0xE0 && b <= 0xEF)
            need = 3;
        else if (b >= 0xF0 && b <= 0xF4)
            need = 4;
        else
            return Result::Invalid;
        // Overlong forms and surrogates pass here; the converter turns them
        // into replacement characters without touching their neighbours.
        for (size_t i = 1; i < need; ++i) {
            if (i >= size)
                return Result::Incomplete;
            if (!IsContinuation(data[i])) {
                length = i;
                return Result::Invalid;
            }
        }
        length = need;
        return Result::Complete;
    }
    }
    return Result::Complete;
}

#ifdef _WIN32
MultiByteScan MultiByteScan::ForCodePage(unsigned codePage)
{
    if (codePage == CP_ACP)
        codePage = GetACP();
    if (codePage == CP_UTF8)
        return Utf8();
    CPINFO info = {};
    if (!GetCPInfo(codePage, &info) || info.MaxCharSize < 2)
        return MultiByteScan();
    unsigned char ranges[MAX_LEADBYTES];
    size_t n = 0;
    while (n + 1 < MAX_LEADBYTES && (info.LeadByte[n] || info.LeadByte[n + 1])) {
        ranges[n] = info.LeadByte[n];
        ranges[n + 1] = info.LeadByte[n + 1];
        n += 2;
    }
    return DoubleByte(ranges, n);
}

unsigned long MultiByteScan::NarrowingFlags(unsigned codePage)
{
    if (codePage == CP_ACP)
        codePage = GetACP();
    // UTF-7, UTF-8, the symbol page and the ISO-2022/ISCII pages take no flags.
    if (codePage == 42 || codePage >= 50000)
        return 0;
    return WC_NO_BEST_FIT_CHARS;
}
#endif
