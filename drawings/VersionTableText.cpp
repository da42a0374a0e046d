#include "VersionTableText.h"

#include <windows.h>

#include "VersionTable.h"

CString DrawingVersionText(const wchar_t* path)
{
    // The first 13 bytes stay zero when the file is missing or short: its magic then matches nothing.
    uint8_t header[VersionTable::kHeaderBytes] = {};
    DWORD got = 0;
    HANDLE file = CreateFileW(path ? path : L"", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        if (!ReadFile(file, header, sizeof header, &got, nullptr))
            got = 0;
        CloseHandle(file);
    }
    CString text;
    if (unsigned id = VersionTable::VersionStringIdFromHeader(header, got))
        text.LoadString(id);
    return text;
}
