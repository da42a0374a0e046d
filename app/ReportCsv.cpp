#include "ReportCsv.h"
#include "PathPlatform.h"

#include <unordered_map>

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

namespace {
void AppendWide(std::wstring& out, unsigned long c)
{
    if (sizeof(wchar_t) == 2 && c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

// Wide text of UTF-8; each byte of a broken sequence becomes U+FFFD.
std::wstring Wide(const std::string& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        const size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        unsigned long c = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = length != 0 && i + length <= text.size();
        for (size_t k = 1; ok && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            ok = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        static const unsigned long least[] = {0, 0, 0x80, 0x800, 0x10000};
        ok = ok && c >= least[length] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        if (!ok || c != 0)   // a report's fields hold no NUL
            AppendWide(out, ok ? c : 0xFFFD);
        i += ok ? length : 1;
    }
    return out;
}

// The fields of one record from at; false for a quote left open or stray bytes after a closing quote.
bool Record(const std::string& bytes, size_t& at, std::vector<std::string>& fields)
{
    fields.assign(1, std::string());
    bool quoted = false, wasQuoted = false;
    while (at < bytes.size()) {
        const char c = bytes[at++];
        if (quoted) {
            if (c != '"')
                fields.back() += c;
            else if (at < bytes.size() && bytes[at] == '"')
                fields.back() += bytes[at++];
            else
                quoted = false;
        } else if (c == '"' && fields.back().empty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == ',') {
            fields.emplace_back();
            wasQuoted = false;
        } else if (c == '\n' || (c == '\r' && at < bytes.size() && bytes[at] == '\n')) {
            at += c == '\r' ? 1 : 0;
            return true;
        } else if (wasQuoted) {
            return false;
        } else {
            fields.back() += c;
        }
    }
    return !quoted;
}
}

bool Parse(const std::string& bytes, std::vector<Row>& rows)
{
    static const std::string header = "\xEF\xBB\xBFpath,release,result,seconds,host error\r\n";
    if (bytes.compare(0, header.size(), header) != 0)
        return false;
    static const Result results[] = {Result::Migrated, Result::NotMigrated,   Result::TimedOut, Result::HostError,
                                     Result::Missing,  Result::ReadOnly, Result::OpenElsewhere};
    size_t at = header.size();
    std::vector<std::string> fields;
    while (at < bytes.size()) {
        if (!Record(bytes, at, fields))
            return false;
        if (fields.size() != 5)
            continue;
        Row row;
        bool known = false;
        for (Result result : results)
            if (fields[2] == ResultName(result)) {
                row.result = result;
                known = true;
            }
        const std::string& seconds = fields[3];
        bool number = !seconds.empty() && seconds.size() <= 12;
        for (char c : seconds)
            number = number && c >= '0' && c <= '9';
        if (!known || (!seconds.empty() && !number))
            continue;
        row.seconds = number ? std::stoll(seconds) : -1;
        row.path = Wide(fields[0]);
        row.release = Wide(fields[1]);
        row.hostError = Wide(fields[4]);
        if (!row.path.empty())
            rows.push_back(row);
    }
    return true;
}

void Merge(std::vector<Row>& into, const std::vector<Row>& rows)
{
    std::unordered_map<std::wstring, size_t> index;
    for (size_t i = 0; i < into.size(); ++i)
        index[PathPlatform::Lower(into[i].path)] = i;
    for (const Row& row : rows) {
        auto found = index.emplace(PathPlatform::Lower(row.path), into.size());
        if (found.second)
            into.push_back(row);
        else
            into[found.first->second] = row;
    }
}

std::wstring PathBesideLog(const std::wstring& logFile)
{
    const size_t slash = logFile.find_last_of(L"\\/:");
    const size_t dot = logFile.find_last_of(L'.');
    const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    return (hasExtension ? logFile.substr(0, dot) : logFile) + L".csv";
}
}
