// Conversion between wide characters and a Windows code page for file
// streams. Whole buffers go through one system call. It never reports an
// error, so a stream never stops on odd text: a byte that forms no character
// reads as U+FFFD, and a character the code page cannot hold is written as "?".
#pragma once
#include "../drawings/MultiByteScan.h"

#include <cwchar>
#include <locale>

class KestCodecvt : public std::codecvt<wchar_t, char, std::mbstate_t> {
public:
    // 0 (CP_ACP) stands for the system's ANSI code page.
    explicit KestCodecvt(unsigned codePage, size_t refs = 0);

    unsigned CodePage() const { return m_codePage; }

protected:
    result do_out(state_type& state, const wchar_t* from, const wchar_t* fromEnd, const wchar_t*& fromNext, char* to,
                  char* toEnd, char*& toNext) const override;
    result do_in(state_type& state, const char* from, const char* fromEnd, const char*& fromNext, wchar_t* to,
                 wchar_t* toEnd, wchar_t*& toNext) const override;
    result do_unshift(state_type& state, char* to, char* toEnd, char*& toNext) const override;
    int do_encoding() const noexcept override;
    bool do_always_noconv() const noexcept override { return false; }
    int do_length(state_type& state, const char* from, const char* fromEnd, size_t max) const override;
    int do_max_length() const noexcept override;

private:
    // Converts one character (a surrogate pair counts as one) through a small
    // buffer, for an output area too small to take it directly.
    result OutOne(const wchar_t*& from, const wchar_t* fromEnd, char*& to, char* toEnd) const;

    unsigned m_codePage;
    unsigned long m_flags;
    int m_bytesPerUnit;   // most bytes one UTF-16 unit can become
    MultiByteScan m_scan;
};
