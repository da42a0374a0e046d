// Stream buffer of a text file: wide characters inside, the imbued locale's
// code page in the file, CR LF for every "\n", no byte order mark. The file is
// opened shareable, so the batch process and the host may read and append
// while it is open; appends always land at the end of the file.
#pragma once
#include <windows.h>

#include <cwchar>
#include <locale>
#include <streambuf>
#include <string>
#include <vector>

class KestTextBuf : public std::wstreambuf {
public:
    enum class Mode { Truncate, Append, Read };

    KestTextBuf();
    ~KestTextBuf() override;
    KestTextBuf(const KestTextBuf&) = delete;
    KestTextBuf& operator=(const KestTextBuf&) = delete;

    bool Open(const std::wstring& path, Mode mode);
    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }
    // Writes what is buffered and closes; false when anything failed to be written.
    bool Close();

protected:
    void imbue(const std::locale& locale) override;
    int_type overflow(int_type c) override;
    int sync() override;
    int_type underflow() override;

private:
    using Codecvt = std::codecvt<wchar_t, char, std::mbstate_t>;

    // Converts and writes the put area; a trailing high surrogate waits for its pair unless final.
    bool FlushOut(bool final);
    bool WriteBytes(const char* data, size_t size);
    // Reads and converts the next chunk into the get area; false at the end.
    bool FillIn();

    HANDLE m_file = INVALID_HANDLE_VALUE;
    Mode m_mode = Mode::Read;
    const Codecvt* m_codecvt = nullptr;
    std::mbstate_t m_state{};
    bool m_failed = false;

    std::vector<wchar_t> m_out;      // put area
    std::vector<wchar_t> m_lines;    // put area with CR LF line ends
    std::vector<char> m_bytes;       // converted output

    std::vector<char> m_raw;         // bytes read, not yet converted
    size_t m_rawBegin = 0;
    size_t m_rawEnd = 0;
    bool m_rawAtEnd = false;
    std::vector<wchar_t> m_in;       // get area
    bool m_heldCR = false;           // a CR at the end of a chunk, waiting to see what follows
};
