#include "ReportCsv.h"

namespace ReportCsv {
namespace {
void AppendCodePoint(std::string& out, unsigned long c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}
}

const char* ResultName(Result result)
{
    switch (result) {
    case Result::Migrated: return "migrated";
    case Result::NotMigrated: return "not migrated";
    case Result::TimedOut: return "timed out";
    case Result::HostError: return "host error";
    case Result::Missing: return "missing";
    case Result::ReadOnly: return "read-only";
    case Result::OpenElsewhere: return "open elsewhere";
    }
    return "not migrated";
}

std::string Utf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned long c = static_cast<unsigned long>(text[i]) & 0xFFFFFFFFul;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            unsigned long low = static_cast<unsigned long>(text[i + 1]) & 0xFFFFFFFFul;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendCodePoint(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            c = 0xFFFD;
        AppendCodePoint(out, c);
    }
    return out;
}

std::string Field(const std::wstring& text)
{
    std::wstring clean;
    clean.reserve(text.size() + 1);
    // A spreadsheet runs a cell that begins so as a formula: a host's error line must stay text.
    if (!text.empty() && (text[0] == L'=' || text[0] == L'+' || text[0] == L'-' || text[0] == L'@' ||
                          text[0] == L'\t' || text[0] == L'\r'))
        clean += L'\'';
    for (wchar_t c : text)
        if (c != L'\0')
            clean += c;
    bool quote = !clean.empty() && (clean.front() == L' ' || clean.back() == L' ');
    for (wchar_t c : clean)
        if (c == L',' || c == L'"' || c == L'\r' || c == L'\n' || c == L';')
            quote = true;
    if (!quote)
        return Utf8(clean);
    std::wstring quoted = L"\"";
    for (wchar_t c : clean) {
        if (c == L'"')
            quoted += L'"';
        quoted += c;
    }
    return Utf8(quoted + L"\"");
}

std::string Document(const std::vector<Row>& rows)
{
    std::string out = "\xEF\xBB\xBFpath,release,result,seconds,host error\r\n";
    for (const Row& row : rows) {
        out += Field(row.path) + "," + Field(row.release) + "," + ResultName(row.result) + ",";
        if (row.seconds >= 0)
            out += std::to_string(row.seconds);
        out += "," + Field(row.hostError) + "\r\n";
    }
    return out;
}

std::wstring PathBesideLog(const std::wstring& logFile)
{
    const size_t slash = logFile.find_last_of(L"\\/:");
    const size_t dot = logFile.find_last_of(L'.');
    const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    return (hasExtension ? logFile.substr(0, dot) : logFile) + L".csv";
}
}
