// The exception CFile throws: a cause from the fixed list below, the system
// error code behind it and the file's name.
#pragma once
#include "CString.h"

class CFileException {
public:
    enum {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14
    };

    explicit CFileException(int cause = none, LONG osError = -1, const wchar_t* fileName = nullptr);

    // The cause for a system error code (GetLastError).
    static int OsErrorToException(LONG osError);
    [[noreturn]] static void ThrowOsError(LONG osError, const wchar_t* fileName = nullptr);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};
