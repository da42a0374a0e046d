#include "CFile.h"

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

CFile::~CFile() { Abort(); }

BOOL CFile::Open(const wchar_t* fileName, UINT openFlags, CFileException* error)
{
    Abort();
    m_strFileName = fileName;
    DWORD access = GENERIC_READ;
    switch (openFlags & 3) {
    case modeWrite:
        access = GENERIC_WRITE;
        break;
    case modeReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    }
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    switch (openFlags & 0x70) {
    case shareExclusive:
        share = 0;
        break;
    case shareDenyWrite:
        share = FILE_SHARE_READ;
        break;
    case shareDenyRead:
        share = FILE_SHARE_WRITE;
        break;
    }
    DWORD disposition = OPEN_EXISTING;
    if (openFlags & modeCreate)
        disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    HANDLE file = ::CreateFileW(fileName ? fileName : L"", access, share, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        LONG osError = static_cast<LONG>(::GetLastError());
        if (error)
            *error = CFileException(CFileException::OsErrorToException(osError), osError, fileName);
        return FALSE;
    }
    m_hFile = file;
    return TRUE;
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (count == 0)
        return 0;
    DWORD got = 0;
    if (!::ReadFile(m_hFile, buffer, count, &got, nullptr)) {
        LONG osError = static_cast<LONG>(::GetLastError());
        if (osError == ERROR_HANDLE_EOF || osError == ERROR_BROKEN_PIPE)
            return 0;
        CFileException::ThrowOsError(osError, m_strFileName);
    }
    return got;
}

void CFile::Write(const void* buffer, UINT count)
{
    const BYTE* bytes = static_cast<const BYTE*>(buffer);
    while (count > 0) {
        DWORD written = 0;
        if (!::WriteFile(m_hFile, bytes, count, &written, nullptr))
            CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
        if (written == 0)
            throw CFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
        bytes += written;
        count -= written;
    }
}

void CFile::Flush()
{
    if (m_hFile != hFileNull && !::FlushFileBuffers(m_hFile))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

void CFile::Close()
{
    if (m_hFile == hFileNull)
        return;
    HANDLE file = m_hFile;
    m_hFile = hFileNull;
    if (!::CloseHandle(file))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

void CFile::Abort()
{
    if (m_hFile != hFileNull)
        ::CloseHandle(m_hFile);
    m_hFile = hFileNull;
}

BOOL CFile::GetStatus(const wchar_t* fileName, CFileStatus& status)
{
    status = CFileStatus();
    if (!fileName || !*fileName)
        return FALSE;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(fileName, &found);
    if (search == INVALID_HANDLE_VALUE)
        return FALSE;
    ::FindClose(search);
    status.m_size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    status.m_attribute = static_cast<BYTE>(found.dwFileAttributes & 0xFF);
    DWORD n = ::GetFullPathNameW(fileName, MAX_PATH, status.m_szFullName, nullptr);
    if (n == 0 || n >= MAX_PATH)
        status.m_szFullName[0] = L'\0';
    return TRUE;
}
