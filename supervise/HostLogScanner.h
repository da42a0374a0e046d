// Finds error lines in the host extension's log as it grows. The log only
// ever grows while a host runs, so a scan goes on where the previous one
// ended instead of reading the whole file again; what it finds is the same.
// Lines of any length are examined, with bounded memory.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class HostLogScanner {
public:
    using Decoder = std::function<std::wstring(const std::string&)>;

    // Characters of an error line shown in the migration log; a longer line is cut and marked "...".
    static constexpr size_t kShownChars = 2047;

    HostLogScanner();

    // The error texts (rows in use; compared in upper case) and the reader of the file's text.
    void SetErrorTexts(const std::vector<std::wstring>& texts);
    void SetDecoder(Decoder decode);

    // Forgets everything read: the next bytes fed are the file's first.
    void Restart();
    // File offset of the next byte to feed.
    uint64_t Offset() const { return m_offset; }

    // Takes the next bytes of the file. At the first error line among the
    // lines they complete, returns true with the line as shown, and rewinds
    // to the start of that line so that a later scan finds it again.
    bool Feed(const char* data, size_t size, std::wstring& line);
    // End of the file for now: an unfinished last line counts as a line, as
    // it does for a reader at the end of a file. It is not consumed.
    bool AtEnd(std::wstring& line);

    // One slice of a scan: reads the file from Offset() in pieces of kPieceBytes and feeds them until an
    // error line (ErrorLine, with the line as shown), the end of the file (Clean), or until goOn(), asked
    // after each piece, says the slice is spent (Unfinished: the next slice goes on at Offset()). A read
    // that fails ends the scan as Clean.
    enum class Slice { Clean, ErrorLine, Unfinished };
    using Reader = std::function<bool(uint64_t offset, char* buffer, size_t size, size_t& read)>;
    static constexpr size_t kPieceBytes = 64 * 1024;
    Slice ScanSlice(const Reader& read, const std::function<bool()>& goOn, std::wstring& line);

private:
    bool Complete(std::wstring& line);
    bool WindowHasError(const std::string& bytes) const;
    std::wstring Shown() const;
    void Rewind();

    std::vector<std::wstring> m_texts;
    std::vector<char> m_piece;
    Decoder m_decode;
    size_t m_overlapBytes = 64;
    uint64_t m_offset = 0;      // bytes taken
    uint64_t m_lineStart = 0;   // offset of the current line's first byte
    std::string m_head;         // the current line's first bytes, for showing it
    std::string m_window;       // the current line's bytes not yet examined (with an overlap)
    bool m_long = false;        // the line outgrew the window; its head is kept apart
    bool m_hit = false;         // an error text was seen in an examined part of the line
};
