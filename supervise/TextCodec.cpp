#include "TextCodec.h"

#include <cwchar>

namespace {
using Codecvt = std::codecvt<wchar_t, char, std::mbstate_t>;
}

std::wstring DecodeText(const std::locale& locale, const std::string& bytes)
{
    std::wstring out;
    if (bytes.empty())
        return out;
    const Codecvt& codec = std::use_facet<Codecvt>(locale);
    std::mbstate_t state{};
    const char* from = bytes.data();
    const char* end = from + bytes.size();
    std::wstring buffer(bytes.size(), L'\0');
    while (from < end) {
        const char* next = from;
        wchar_t* to = &buffer[0];
        wchar_t* toNext = to;
        std::codecvt_base::result r = codec.in(state, from, end, next, to, to + buffer.size(), toNext);
        out.append(to, toNext);
        if (r == std::codecvt_base::noconv) {
            for (; from < end; ++from)
                out += static_cast<wchar_t>(static_cast<unsigned char>(*from));
            break;
        }
        from = next;
        if (from < end && (r == std::codecvt_base::error || r == std::codecvt_base::partial || next == from)) {
            // A byte the locale cannot read, or a character cut off at the end.
            out += static_cast<wchar_t>(static_cast<unsigned char>(*from));
            ++from;
            state = std::mbstate_t{};
        }
    }
    return out;
}

std::string EncodeText(const std::locale& locale, const std::wstring& text)
{
    std::string out;
    if (text.empty())
        return out;
    const Codecvt& codec = std::use_facet<Codecvt>(locale);
    std::mbstate_t state{};
    const wchar_t* from = text.data();
    const wchar_t* end = from + text.size();
    std::string buffer(text.size() * 4 + 16, '\0');
    while (from < end) {
        const wchar_t* next = from;
        char* to = &buffer[0];
        char* toNext = to;
        std::codecvt_base::result r = codec.out(state, from, end, next, to, to + buffer.size(), toNext);
        out.append(to, toNext);
        if (r == std::codecvt_base::noconv) {
            for (; from < end; ++from)
                out += static_cast<char>(*from);
            break;
        }
        bool stuck = next == from;
        from = next;
        if (from < end && (r == std::codecvt_base::error || stuck)) {
            out += '?';
            ++from;
            state = std::mbstate_t{};
        }
    }
    return out;
}
