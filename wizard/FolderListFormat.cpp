#include "FolderListFormat.h"

namespace FolderListFormat {
namespace {
const wchar_t kReplacement = 0xFFFD;

bool IsBlank(const std::wstring& line)
{
    for (wchar_t c : line)
        if (c != L' ' && c != L'\t')
            return false;
    return true;
}

void AppendUnit(std::wstring& out, unsigned cp)
{
    if (cp < 0x10000) {
        out += static_cast<wchar_t>(cp);
        return;
    }
    cp -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (cp >> 10));
    out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
}

void AppendUtf8(std::string& out, unsigned cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
}

Encoding DetectEncoding(const std::string& head, size_t& markLength)
{
    if (head.size() >= 3 && head.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        markLength = 3;
        return Encoding::Utf8;
    }
    if (head.size() >= 2 && head.compare(0, 2, "\xFF\xFE") == 0) {
        markLength = 2;
        return Encoding::Utf16Le;
    }
    markLength = 0;
    return Encoding::Ansi;
}

std::vector<std::wstring> ReadFolders(const NextChar& next, size_t* skipped)
{
    std::vector<std::wstring> folders;
    size_t unusable = 0;
    std::wstring line;
    bool tooLong = false, hasNul = false, more = true;
    while (more) {
        wchar_t c = 0;
        more = next(c);
        if (more && c != L'\n') {
            if (c == L'\r')
                continue;
            if (c == L'\0')
                hasNul = true;
            // Past the limit the line is only counted, never held.
            if (line.size() < MaxLineLength)
                line += c;
            else
                tooLong = true;
            continue;
        }
        if (tooLong || hasNul)
            ++unusable;
        else if (!IsBlank(line))
            folders.push_back(line);
        line.clear();
        tooLong = hasNul = false;
    }
    if (skipped)
        *skipped = unusable;
    return folders;
}

std::wstring FolderListText(const std::vector<std::wstring>& folders)
{
    std::wstring text;
    for (const std::wstring& folder : folders)
        text += folder + L"\r\n";
    return text;
}

std::string ToUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned c = static_cast<unsigned>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            unsigned low = static_cast<unsigned>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            c = kReplacement;
        AppendUtf8(out, c);
    }
    return out;
}

std::wstring FromUtf8(const std::string& bytes, size_t from)
{
    std::wstring out;
    size_t i = from;
    while (i < bytes.size()) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        size_t length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        unsigned cp = length == 1 ? b : length == 2 ? (b & 0x1Fu) : length == 3 ? (b & 0x0Fu) : (b & 0x07u);
        bool ok = length > 0 && i + length <= bytes.size();
        for (size_t k = 1; ok && k < length; ++k) {
            unsigned char t = static_cast<unsigned char>(bytes[i + k]);
            ok = (t & 0xC0) == 0x80;
            cp = (cp << 6) | (t & 0x3Fu);
        }
        // Overlong forms, surrogates and values past Unicode are no characters.
        static const unsigned kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (ok && (cp < kMin[length] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF))
            ok = false;
        if (!ok) {
            out += kReplacement;
            ++i;
            continue;
        }
        AppendUnit(out, cp);
        i += length;
    }
    return out;
}

std::wstring FromUtf16Le(const std::string& bytes, size_t from)
{
    std::wstring out;
    for (size_t i = from; i + 1 < bytes.size(); i += 2)
        out += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                    (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return out;
}
}
