// The drawing-format versions: version magic to version code, and version code
// plus maintenance byte to the release label shown on the Files page.
#pragma once
#include <cstddef>
#include <cstdint>

namespace VersionTable {
// Code of a magic that is missing, empty or not in the table.
constexpr int32_t kUnknownCode = 32766;
// Versions whose thumbnails the preview reads.
constexpr int32_t kFirstPreviewCode = 19;
constexpr int32_t kLastPreviewCode = 33;
// Bytes of the file header the version check reads.
constexpr size_t kHeaderBytes = 22;
constexpr size_t kMaintenanceOffset = 11;

struct Row {
    const char* magic;
    int32_t code;
};
constexpr size_t kRowCount = 28;
// The table rows in their fixed order.
const Row* Rows();

// Code of the first row whose magic equals the NUL-terminated magic; kUnknownCode for null, empty or unknown.
int32_t LookupVersionCode(const char* magic);
// Resource number of the release label for a code and maintenance byte; 0 when the label is empty.
unsigned VersionStringId(int32_t code, unsigned maintenance);
// Label number for the first `length` bytes of a file (the rest counts as zero, as an unread buffer would).
unsigned VersionStringIdFromHeader(const uint8_t* header, size_t length);
// True when the bytes up to the first NUL among `length` (at most 7) bytes name a version the preview reads.
bool IsPreviewMagic(const uint8_t* bytes, size_t length);
}
