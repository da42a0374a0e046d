// A wide text file stream in the text locale (the code page of the system
// language): "\n" is stored as CR LF, no byte order mark, opened shareable.
//
//     KestTextStream out(path, KestTextStream::Truncate);
//     if (out.is_open()) out << L"line" << L'\n';
//
//     KestTextStream in(path, KestTextStream::Read);
//     std::wstring line;
//     while (std::getline(in, line)) ...
#pragma once
#include "KestTextBuf.h"

#include <istream>
#include <string>

class KestTextStream : public std::wiostream {
public:
    enum Mode {
        Truncate = static_cast<int>(KestTextBuf::Mode::Truncate),   // create or empty, then write
        Append = static_cast<int>(KestTextBuf::Mode::Append),       // create when missing, write at the end
        Read = static_cast<int>(KestTextBuf::Mode::Read)
    };

    // Opens at once with a fresh text locale; check is_open().
    KestTextStream(const std::wstring& path, Mode mode);
    ~KestTextStream() override = default;

    bool is_open() const { return m_buffer.IsOpen(); }
    // Writes what is buffered and closes; false when the file was not open or
    // anything failed to be written.
    bool close();

private:
    KestTextBuf m_buffer;
};
