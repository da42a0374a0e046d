// How a narrow code page splits bytes into characters: single-byte, double-byte
// with a lead-byte table, or UTF-8. Readers use it to convert whole runs of
// complete characters at once and to keep a bad byte from swallowing the next.
#pragma once
#include <cstddef>

class MultiByteScan {
public:
    enum class Kind { SingleByte, DoubleByte, Utf8 };
    enum class Result {
        Complete,     // a whole character of `length` bytes
        Incomplete,   // the data ends inside a character
        Invalid       // `length` bytes that form no character; the next byte starts afresh
    };

    // Single-byte.
    MultiByteScan();
    static MultiByteScan Utf8();
    // Lead bytes given as inclusive ranges: first, last, first, last, ...
    static MultiByteScan DoubleByte(const unsigned char* ranges, size_t rangeBytes);
#ifdef _WIN32
    // The scan of a Windows code page (0 or CP_ACP: the system's ANSI code page).
    static MultiByteScan ForCodePage(unsigned codePage);
    // Flags for WideCharToMultiByte: no look-alike characters where the code
    // page allows flags at all, so a name the code page cannot hold becomes
    // "?" and never the name of another file.
    static unsigned long NarrowingFlags(unsigned codePage);
#endif

    Kind GetKind() const { return m_kind; }
    bool IsLeadByte(unsigned char b) const { return m_lead[b]; }
    // Longest character in bytes.
    int MaxCharBytes() const;

    // Classifies the character that starts at data[0]; size must be at least 1.
    Result Next(const unsigned char* data, size_t size, size_t& length) const;

private:
    Kind m_kind = Kind::SingleByte;
    bool m_lead[256] = {};
};
