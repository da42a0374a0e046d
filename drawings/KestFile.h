// A text file in the system's ANSI code page, read one character at a time
// and written in pieces. File errors are shown in a message box (unless
// m_showErrors is off) and end as false results; nothing is thrown.
#pragma once
#include "CFile.h"
#include "MultiByteReader.h"

#include <cstdint>
#include <string>

class KestFile {
public:
    explicit KestFile(const std::wstring& fileName);
    virtual ~KestFile();
    KestFile(const KestFile&) = delete;
    KestFile& operator=(const KestFile&) = delete;

    // Opens for reading, or creates (truncating) for writing. False at once,
    // without a message, for an empty path.
    bool Open(bool forWriting);
    void Close();
    bool IsOpen() const { return m_file.m_hFile != CFile::hFileNull; }

    // Next character; false at the end of the file, when the file ends inside
    // a character, or on an error. A byte that forms no character reads as U+FFFD.
    bool ReadChar(wchar_t& c);
    // Up to count characters; returns how many were read.
    int ReadChars(wchar_t* buffer, int count);
    // Appends characters up to and including the delimiter; false when the
    // file ended (or failed) before it.
    bool ReadUntil(wchar_t delimiter, std::wstring& text);
    // Writes the text in the code page; a character it cannot hold becomes "?".
    bool WriteText(const wchar_t* text, int length);
    bool WriteText(const std::wstring& text);

    // Shows the message for a file exception cause (when m_showErrors is set).
    void ReportError(int cause);
    // Bytes consumed by ReadChar since Open.
    uint64_t Position() const { return m_reader.Position(); }

    // Test hook: a code page in place of the system's ANSI code page for
    // files opened afterwards; 0 restores the system's.
    static void SetCodePageForTest(unsigned codePage);

    CFile m_file;
    std::wstring m_fileName;
    bool m_showErrors = true;

protected:
    // The rest of the open file as bytes; false on an error (shown) or when it
    // is longer than limit (not shown).
    bool ReadAll(std::string& data, size_t limit);
    // A reader of bytes held in memory that decodes exactly as ReadChar does.
    MultiByteReader MemoryReader(const std::string& data) const;

    unsigned m_codePage;

private:
    size_t Refill(unsigned char* buffer, size_t size);

    MultiByteReader m_reader;
};
