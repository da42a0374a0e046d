#include "DrawingFileStatus.h"

#ifdef _WIN32
#include <windows.h>
#endif

DrawingFileStatus DrawingFileStatus::FromAttributes(uint32_t attributes)
{
    DrawingFileStatus s;
    s.missing = attributes == kInvalidAttributes;
    s.readOnly = (attributes & 0x1u) != 0;
    if (s.missing)
        s.statusId = kMissingId;
    else if (attributes & 0x1u)
        s.statusId = kReadOnlyId;
    else if (attributes & 0x10u)
        s.statusId = kDirectoryId;
    else if (attributes & 0x1000u)
        s.statusId = kOfflineId;
    return s;
}

#ifdef _WIN32
DrawingFileStatus DrawingFileStatus::Check(const std::wstring& path)
{
    return FromAttributes(GetFileAttributesW(path.c_str()));
}
#endif
