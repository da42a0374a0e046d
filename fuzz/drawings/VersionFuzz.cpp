// The version check on any header bytes: every label is one of the known numbers or none.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "VersionTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    unsigned id = VersionTable::VersionStringIdFromHeader(data, size);
    if (id != 0 && (id < 2254 || id > 2281 || (id >= 2270 && id <= 2277)))
        std::abort();
    char magic[16] = {};
    std::memcpy(magic, data, size < 15 ? size : 15);
    int32_t code = VersionTable::LookupVersionCode(magic);
    bool preview = VersionTable::IsPreviewMagic(data, size < 7 ? size : 7);
    if (preview && (code < 19 || code > 33))
        std::abort();
    return 0;
}
