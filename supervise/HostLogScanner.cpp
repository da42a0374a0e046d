#include "HostLogScanner.h"
#include "HostTitleMatch.h"

#include <cstring>

namespace {
// Bytes of a line examined at once, and bytes kept of its start for showing.
constexpr size_t kWindowBytes = 64 * 1024;
constexpr size_t kHeadBytes = 4 * HostLogScanner::kShownChars + 4;

std::wstring Widen(const std::string& bytes)
{
    std::wstring text;
    text.reserve(bytes.size());
    for (char c : bytes)
        text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

void DropCarriageReturn(std::string& bytes)
{
    if (!bytes.empty() && bytes.back() == '\r')
        bytes.pop_back();
}
}

HostLogScanner::HostLogScanner() : m_decode(Widen) {}

void HostLogScanner::SetErrorTexts(const std::vector<std::wstring>& texts)
{
    m_texts = PrepareErrorTexts(texts);
    size_t longest = 0;
    for (const std::wstring& text : m_texts)
        longest = text.size() > longest ? text.size() : longest;
    // A text cut by the end of a window is found in the next one; multibyte
    // characters take up to four bytes.
    m_overlapBytes = 4 * longest + 4;
}

void HostLogScanner::SetDecoder(Decoder decode) { m_decode = decode ? std::move(decode) : Decoder(Widen); }

void HostLogScanner::Restart()
{
    m_lineStart = 0;
    Rewind();
}

void HostLogScanner::Rewind()
{
    m_offset = m_lineStart;
    m_head.clear();
    m_window.clear();
    m_long = false;
    m_hit = false;
}

bool HostLogScanner::WindowHasError(const std::string& bytes) const
{
    return LineHasError(m_decode(bytes), m_texts);
}

bool HostLogScanner::Feed(const char* data, size_t size, std::wstring& line)
{
    size_t at = 0;
    while (at < size) {
        const void* found = std::memchr(data + at, '\n', size - at);
        size_t end = found ? static_cast<size_t>(static_cast<const char*>(found) - data) : size;
        size_t piece = end - at;
        if (m_head.size() < kHeadBytes)
            m_head.append(data + at, piece < kHeadBytes - m_head.size() ? piece : kHeadBytes - m_head.size());
        m_window.append(data + at, piece);
        if (m_window.size() > kWindowBytes) {
            if (!m_hit && WindowHasError(m_window))
                m_hit = true;
            m_window.erase(0, m_window.size() - m_overlapBytes);
            m_long = true;
        }
        m_offset += piece;
        at = end;
        if (found) {
            ++m_offset;
            ++at;
            if (Complete(line))
                return true;
            m_lineStart = m_offset;
            m_head.clear();
            m_window.clear();
            m_long = false;
            m_hit = false;
        }
    }
    return false;
}

bool HostLogScanner::Complete(std::wstring& line)
{
    std::string window = m_window;
    DropCarriageReturn(window);
    bool error = m_hit;
    if (!error && (m_long || !window.empty()))
        error = WindowHasError(window);
    if (!error)
        return false;
    line = Shown();
    Rewind();
    return true;
}

bool HostLogScanner::AtEnd(std::wstring& line)
{
    if (m_offset == m_lineStart)
        return false;
    return Complete(line);
}

HostLogScanner::Slice HostLogScanner::ScanSlice(const Reader& read, const std::function<bool()>& goOn,
                                                std::wstring& line)
{
    m_piece.resize(kPieceBytes);
    for (;;) {
        size_t got = 0;
        if (!read(m_offset, m_piece.data(), m_piece.size(), got))
            return Slice::Clean;
        if (got == 0)
            return AtEnd(line) ? Slice::ErrorLine : Slice::Clean;
        if (Feed(m_piece.data(), got < m_piece.size() ? got : m_piece.size(), line))
            return Slice::ErrorLine;
        if (!goOn())
            return Slice::Unfinished;
    }
}

std::wstring HostLogScanner::Shown() const
{
    std::string head = m_head;
    bool cut = m_long || head.size() >= kHeadBytes;
    if (!cut)
        DropCarriageReturn(head);
    std::wstring text = m_decode(head);
    if (text.size() > kShownChars) {
        text.resize(kShownChars);
        cut = true;
    }
    if (cut)
        text += L"...";
    return text;
}
