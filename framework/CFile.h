// A file of the window layer: owns one handle from CreateFileW. Open reports
// failure by its result; Read, Write, Flush and Close throw CFileException.
#pragma once
#include "CFileException.h"
#include "CString.h"

// What GetStatus tells about a file or folder.
struct CFileStatus {
    ULONGLONG m_size = 0;
    BYTE m_attribute = 0;   // the low byte of the file attributes (0x10: a folder)
    wchar_t m_szFullName[MAX_PATH] = {0};
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,   // like shareDenyNone: others may read and write
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,     // create, truncating an existing file ...
        modeNoTruncate = 0x2000  // ... unless this is given too
    };

    static const HANDLE hFileNull;

    CFile() = default;
    ~CFile();   // closes without throwing
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // False when the file cannot be opened; error (when given) then says why.
    BOOL Open(const wchar_t* fileName, UINT openFlags, CFileException* error = nullptr);
    // Bytes read; 0 at the end of the file.
    UINT Read(void* buffer, UINT count);
    void Write(const void* buffer, UINT count);
    // Commits written data to the disk.
    void Flush();
    void Close();
    // Closes, ignoring errors.
    void Abort();

    // Status of a file or folder (the first entry a wildcard matches); false when there is none.
    static BOOL GetStatus(const wchar_t* fileName, CFileStatus& status);

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    CString m_strFileName;
};
