#include "VersionTable.h"

#include <cstring>

#include "DrawingIds.h"

namespace VersionTable {
namespace {
// Codes are not consecutive: "DX2.10" and "DX2.20" are swapped, and newer formats use odd codes only.
const Row kRows[kRowCount] = {
    {"QM0.0", 0},   {"DX1.2", 1},   {"DX1.40", 2},  {"DX1.50", 3},  {"DX2.10", 5},  {"DX2.20", 4},
    {"DX2.21", 6},  {"DX2.22", 7},  {"DX1001", 8},  {"DX1002", 9},  {"DX1003", 10}, {"DX1004", 11},
    {"DX1005", 12}, {"DX1006", 13}, {"DX1007", 14}, {"DX1008", 15}, {"DX1009", 16}, {"DX1010", 17},
    {"DX1011", 18}, {"DX1012", 19}, {"DX1013", 20}, {"DX1014", 21}, {"DX1015", 23}, {"DX1018", 25},
    {"DX1021", 27}, {"DX1024", 29}, {"DX1027", 31}, {"DX1032", 33},
};
}

const Row* Rows() { return kRows; }

int32_t LookupVersionCode(const char* magic)
{
    if (!magic || !*magic)
        return kUnknownCode;
    for (const Row& row : kRows)
        if (std::strcmp(row.magic, magic) == 0)
            return row.code;
    return kUnknownCode;
}

unsigned VersionStringId(int32_t code, unsigned m)
{
    switch (code) {
    case 19:
    case 21:
        return IDS_VERSION_DX1012;
    case 23:
        return m <= 6 ? IDS_VERSION_DX1015_A : m <= 11 ? IDS_VERSION_DX1015_B : m <= 14 ? IDS_VERSION_DX1015_C : 0;
    case 25:
        return m <= 1 ? IDS_VERSION_DX1018_A : m <= 38 ? IDS_VERSION_DX1018_B : m <= 75 ? IDS_VERSION_DX1018_C
                                                                                         : IDS_VERSION_DX1018_D;
    case 27:
        return m <= 16 ? IDS_VERSION_DX1021_A : m <= 45 ? IDS_VERSION_DX1021_B : IDS_VERSION_DX1021_C;
    case 29:
        return m <= 1 ? 0 : m <= 45 ? IDS_VERSION_DX1024_A : m <= 54 ? IDS_VERSION_DX1024_B : IDS_VERSION_DX1024_C;
    case 31:
        return m <= 49 ? IDS_VERSION_DX1027_A : m <= 74 ? IDS_VERSION_DX1027_B : m <= 99 ? IDS_VERSION_DX1027_C
                                                                                          : IDS_VERSION_DX1027_D;
    case 33:
        return IDS_VERSION_DX1032;
    default:
        return IDS_VERSION_UNKNOWN;
    }
}

unsigned VersionStringIdFromHeader(const uint8_t* header, size_t length)
{
    uint8_t buffer[kHeaderBytes] = {};
    if (header)
        std::memcpy(buffer, header, length < kHeaderBytes ? length : kHeaderBytes);
    char magic[7] = {};
    std::memcpy(magic, buffer, 6);
    int32_t code = LookupVersionCode(magic);
    // Older formats keep other data at offset 11: their byte is never looked at.
    unsigned m = (code >= kFirstPreviewCode && code != kUnknownCode) ? buffer[kMaintenanceOffset] : 0;
    return VersionStringId(code, m);
}

bool IsPreviewMagic(const uint8_t* bytes, size_t length)
{
    if (!bytes || length == 0 || bytes[0] == 0)
        return false;
    size_t n = 0;
    while (n < length && n < 7 && bytes[n] != 0)
        n++;
    if (n == length || n == 7)   // no terminating NUL among the bytes read: matches nothing
        return false;
    char magic[8] = {};
    std::memcpy(magic, bytes, n);
    int32_t code = LookupVersionCode(magic);
    return code >= kFirstPreviewCode && code <= kLastPreviewCode;
}
}
