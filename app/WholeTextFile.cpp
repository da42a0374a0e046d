#include "WholeTextFile.h"
#include "TextLocale.h"

#include <windows.h>

#include <cwchar>
#include <locale>
#include <vector>

namespace {
using Codecvt = std::codecvt<wchar_t, char, std::mbstate_t>;

// Wide text to the locale's multibyte form. A character the code page cannot
// hold becomes "?" rather than ending the file early.
std::string Encode(const std::wstring& text)
{
    std::locale locale = MakeTextLocale();
    const Codecvt& codecvt = std::use_facet<Codecvt>(locale);
    const size_t perChar = codecvt.max_length() > 0 ? static_cast<size_t>(codecvt.max_length()) : 4;
    std::string out;
    out.resize(text.size() * (perChar < 4 ? perChar : 4) + 16);
    std::mbstate_t state{};
    const wchar_t* from = text.data();
    const wchar_t* end = text.data() + text.size();
    size_t used = 0;
    while (from < end) {
        if (out.size() - used < 16)
            out.resize(out.size() * 2);
        const wchar_t* next = from;
        char* to = &out[used];
        char* toNext = to;
        auto result = codecvt.out(state, from, end, next, to, &out[0] + out.size(), toNext);
        // No progress with room to spare: the facet is stuck on this character.
        bool stuck = result == std::codecvt_base::partial && next == from && toNext == to;
        used = static_cast<size_t>(toNext - &out[0]);
        from = next;
        if (result == std::codecvt_base::noconv) {
            out.assign(text.begin(), text.end());   // a facet that converts nothing: bytes as they are
            return out;
        }
        if (result == std::codecvt_base::error || stuck) {
            if (used == out.size())
                out.resize(out.size() * 2);
            out[used++] = '?';
            ++from;
            state = std::mbstate_t{};
        }
    }
    out.resize(used);
    return out;
}

std::wstring Decode(const std::string& bytes)
{
    std::locale locale = MakeTextLocale();
    const Codecvt& codecvt = std::use_facet<Codecvt>(locale);
    std::wstring out;
    out.resize(bytes.size() + 16);
    std::mbstate_t state{};
    const char* from = bytes.data();
    const char* end = bytes.data() + bytes.size();
    size_t used = 0;
    while (from < end) {
        if (out.size() - used < 16)
            out.resize(out.size() * 2);
        const char* next = from;
        wchar_t* to = &out[used];
        wchar_t* toNext = to;
        auto result = codecvt.in(state, from, end, next, to, &out[0] + out.size(), toNext);
        // No progress with room to spare: the facet is stuck on this character.
        bool stuck = result == std::codecvt_base::partial && next == from && toNext == to;
        used = static_cast<size_t>(toNext - &out[0]);
        from = next;
        if (result == std::codecvt_base::noconv) {
            out.assign(bytes.begin(), bytes.end());
            return out;
        }
        if (result == std::codecvt_base::error || stuck) {
            // A byte that forms no character, or a cut-off one at the end.
            if (used == out.size())
                out.resize(out.size() * 2);
            out[used++] = L'?';
            ++from;
            state = std::mbstate_t{};
        }
    }
    out.resize(used);
    return out;
}
}

bool WholeTextFile::Write(const std::wstring& path, const std::wstring& text)
{
    std::wstring lines;
    lines.reserve(text.size() + text.size() / 16);
    for (wchar_t c : text) {
        if (c == L'\n')
            lines += L'\r';
        lines += c;
    }
    std::string bytes = Encode(lines);

    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    size_t done = 0;
    while (ok && done < bytes.size()) {
        DWORD chunk = bytes.size() - done > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size() - done);
        DWORD written = 0;
        ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written == chunk;
        done += written;
    }
    CloseHandle(file);
    return ok;
}

bool WholeTextFile::Read(const std::wstring& path, std::wstring& text)
{
    text.clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);

    std::wstring wide = Decode(bytes);
    text.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i)
        if (!(wide[i] == L'\r' && i + 1 < wide.size() && wide[i + 1] == L'\n'))
            text += wide[i];
    return true;
}
