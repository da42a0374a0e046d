#include "KestTextBuf.h"

#include <algorithm>
#include <cstring>

namespace {
const size_t kOutChars = 8192;
const size_t kInBytes = 16384;
const wchar_t kReplacement = 0xFFFD;
const int kOpenAttempts = 20;
const DWORD kOpenRetryMs = 50;

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
}

KestTextBuf::KestTextBuf()
{
    m_codecvt = &std::use_facet<Codecvt>(getloc());
}

KestTextBuf::~KestTextBuf() { Close(); }

void KestTextBuf::imbue(const std::locale& locale)
{
    if (pptr() && pptr() > pbase())
        FlushOut(true);   // what was written so far keeps the old conversion
    m_codecvt = &std::use_facet<Codecvt>(locale);
    m_state = std::mbstate_t{};
}

bool KestTextBuf::Open(const std::wstring& path, Mode mode)
{
    Close();
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    if (mode == Mode::Truncate) {
        access = GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
    } else if (mode == Mode::Append) {
        // Append access alone: every write goes to the current end of the
        // file, even when another process has appended in the meantime.
        access = FILE_APPEND_DATA | SYNCHRONIZE;
        disposition = OPEN_ALWAYS;
    }
    // Another writer that holds the file without sharing it (a command
    // interpreter appending to the log, say) lets go within moments.
    for (int attempt = 0;; ++attempt) {
        m_file = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_file != INVALID_HANDLE_VALUE)
            break;
        if (GetLastError() != ERROR_SHARING_VIOLATION || attempt == kOpenAttempts)
            return false;
        Sleep(kOpenRetryMs);
    }
    m_mode = mode;
    m_failed = false;
    m_state = std::mbstate_t{};
    if (mode == Mode::Read) {
        m_raw.assign(kInBytes + 16, '\0');
        m_in.assign(kInBytes + 2, L'\0');
        m_rawBegin = m_rawEnd = 0;
        m_rawAtEnd = false;
        m_heldCR = false;
        setg(m_in.data(), m_in.data(), m_in.data());
        setp(nullptr, nullptr);
    } else {
        m_out.assign(kOutChars, L'\0');
        setp(m_out.data(), m_out.data() + m_out.size());
        setg(nullptr, nullptr, nullptr);
    }
    return true;
}

bool KestTextBuf::Close()
{
    if (!IsOpen())
        return true;
    if (m_mode != Mode::Read)
        FlushOut(true);
    CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    setp(nullptr, nullptr);
    setg(nullptr, nullptr, nullptr);
    return !m_failed;
}

bool KestTextBuf::WriteBytes(const char* data, size_t size)
{
    while (size > 0) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(m_file, data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool KestTextBuf::FlushOut(bool final)
{
    wchar_t* begin = pbase();
    wchar_t* end = pptr();
    if (!begin || end == begin)
        return !m_failed;
    // A high surrogate at the end waits for its other half.
    wchar_t held = 0;
    if (!final && IsHighSurrogate(end[-1])) {
        held = end[-1];
        --end;
    }

    m_lines.clear();
    for (const wchar_t* p = begin; p < end; ++p) {
        if (*p == L'\n')
            m_lines.push_back(L'\r');
        m_lines.push_back(*p);
    }
    size_t perChar = static_cast<size_t>(std::max(m_codecvt->max_length(), 1));
    m_bytes.resize(m_lines.size() * std::min<size_t>(perChar, 4) + 16);

    const wchar_t* from = m_lines.data();
    const wchar_t* fromEnd = m_lines.data() + m_lines.size();
    while (from < fromEnd && !m_failed) {
        const wchar_t* next = from;
        char* to = m_bytes.data();
        char* toNext = to;
        std::codecvt_base::result r =
            m_codecvt->out(m_state, from, fromEnd, next, to, m_bytes.data() + m_bytes.size(), toNext);
        if (r == std::codecvt_base::noconv) {
            // A facet without conversion: the low byte of each character.
            for (const wchar_t* p = from; p < fromEnd; ++p)
                m_bytes[static_cast<size_t>(p - from)] = static_cast<char>(*p);
            toNext = to + (fromEnd - from);
            next = fromEnd;
        } else if (next == from && toNext == to) {
            // No progress (an error, or a lone surrogate at the end): one "?" for it.
            *toNext++ = '?';
            ++next;
            m_state = std::mbstate_t{};
        }
        if (!WriteBytes(to, static_cast<size_t>(toNext - to)))
            m_failed = true;
        from = next;
    }
    setp(m_out.data(), m_out.data() + m_out.size());
    if (held)
        *pptr() = held, pbump(1);
    return !m_failed;
}

KestTextBuf::int_type KestTextBuf::overflow(int_type c)
{
    if (!IsOpen() || m_mode == Mode::Read || m_failed)
        return traits_type::eof();
    if (!FlushOut(false))
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int KestTextBuf::sync()
{
    if (!IsOpen() || m_mode == Mode::Read)
        return 0;
    return FlushOut(false) ? 0 : -1;
}

bool KestTextBuf::FillIn()
{
    wchar_t* out = m_in.data();
    size_t used = 0;
    if (m_heldCR) {
        out[used++] = L'\r';
        m_heldCR = false;
    }
    while (used == 0 || (used == 1 && out[0] == L'\r' && !m_rawAtEnd)) {
        // Top up the raw bytes.
        if (!m_rawAtEnd && m_rawEnd - m_rawBegin < kInBytes) {
            if (m_rawBegin > 0) {
                std::memmove(m_raw.data(), m_raw.data() + m_rawBegin, m_rawEnd - m_rawBegin);
                m_rawEnd -= m_rawBegin;
                m_rawBegin = 0;
            }
            DWORD got = 0;
            DWORD want = static_cast<DWORD>(m_raw.size() - m_rawEnd);
            if (!ReadFile(m_file, m_raw.data() + m_rawEnd, want, &got, nullptr) || got == 0)
                m_rawAtEnd = true;
            m_rawEnd += got;
        }
        if (m_rawBegin == m_rawEnd) {
            if (m_rawAtEnd)
                break;
            continue;
        }
        const char* from = m_raw.data() + m_rawBegin;
        const char* fromEnd = m_raw.data() + m_rawEnd;
        const char* next = from;
        wchar_t* to = out + used;
        wchar_t* toNext = to;
        std::codecvt_base::result r = m_codecvt->in(m_state, from, fromEnd, next, to, out + kInBytes, toNext);
        if (r == std::codecvt_base::noconv) {
            size_t n = std::min(static_cast<size_t>(fromEnd - from), kInBytes - used);
            for (size_t i = 0; i < n; ++i)
                to[i] = static_cast<unsigned char>(from[i]);
            next = from + n;
            toNext = to + n;
        } else if (next == from && toNext == to) {
            // Nothing converted: a byte that forms no character, or the file
            // ends inside one. Either way it reads as U+FFFD and the text goes on.
            const size_t longestChar = 8;
            if (r == std::codecvt_base::partial && !m_rawAtEnd && m_rawEnd - m_rawBegin < longestChar)
                continue;   // more bytes complete it
            *toNext++ = kReplacement;
            next = r == std::codecvt_base::partial ? fromEnd : from + 1;
            m_state = std::mbstate_t{};
        }
        m_rawBegin += static_cast<size_t>(next - from);
        used += static_cast<size_t>(toNext - to);
    }
    if (used == 0)
        return false;

    // Text mode: a CR directly before an LF goes; a CR at the very end waits for the next chunk.
    size_t kept = 0;
    for (size_t i = 0; i < used; ++i) {
        wchar_t c = out[i];
        if (c == L'\r') {
            if (i + 1 < used) {
                if (out[i + 1] == L'\n')
                    continue;
            } else if (!(m_rawAtEnd && m_rawBegin == m_rawEnd)) {
                m_heldCR = true;
                continue;
            }
        }
        out[kept++] = c;
    }
    setg(out, out, out + kept);
    return kept > 0 || FillIn();
}

KestTextBuf::int_type KestTextBuf::underflow()
{
    if (!IsOpen() || m_mode != Mode::Read)
        return traits_type::eof();
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (!FillIn())
        return traits_type::eof();
    return traits_type::to_int_type(*gptr());
}
