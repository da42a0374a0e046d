#include "DmlFormat.h"

namespace DmlFormat {
const wchar_t DoneMark[] = L"[x]";
const wchar_t ToDoMark[] = L"[ ]";

bool ReadLine(DmlCharSource& source, Line& line)
{
    line.text.clear();
    line.start = source.Position();
    line.markEnd = line.start;
    line.end = LineEnd::EndOfData;
    wchar_t c = 0;
    while (source.ReadChar(c)) {
        if (c == L'\n') {
            line.end = LineEnd::Feed;
            break;
        }
        if (c == L'\r')
            continue;
        if (c == L'\0') {
            line.end = LineEnd::NulChar;
            return false;
        }
        if (line.text.size() == MaxLineLength) {
            line.end = LineEnd::TooLong;
            return false;
        }
        line.text += c;
        if (line.text.size() <= MarkLength)
            line.markEnd = source.Position();
    }
    return !line.text.empty();
}

std::wstring MarkOf(const std::wstring& line) { return line.substr(0, MarkLength); }

std::wstring EntryOf(const std::wstring& line)
{
    return line.size() > MarkLength ? line.substr(MarkLength) : std::wstring();
}

std::wstring EntryLine(const std::wstring& entry, bool done)
{
    return (done ? DoneMark : ToDoMark) + entry + L"\r\n";
}

namespace {
// The rest of an unusable line, up to its line feed; false when the data ended first.
bool SkipRestOfLine(DmlCharSource& source)
{
    wchar_t c = 0;
    while (source.ReadChar(c))
        if (c == L'\n')
            return true;
    return false;
}
}

bool ReadList(DmlCharSource& source, const std::wstring& header, bool skipDone, std::vector<std::wstring>& entries,
              std::vector<Line>* lines, Skipped* skipped)
{
    entries.clear();
    if (lines)
        lines->clear();
    if (skipped)
        *skipped = Skipped();
    Line line;
    if (!ReadLine(source, line) || line.text != header)
        return false;
    for (uint64_t number = 2;; ++number) {
        if (!ReadLine(source, line)) {
            if (line.end == LineEnd::Feed && skipped) {
                // An empty line ends the list; the lines after it are counted, so nobody loses them unawares.
                const uint64_t empty = number;
                while (ReadLine(source, line) || line.end != LineEnd::EndOfData) {
                    if (!line.text.empty() || line.end == LineEnd::NulChar || line.end == LineEnd::TooLong)
                        ++skipped->notRead;
                    if (line.end != LineEnd::Feed && !SkipRestOfLine(source))
                        break;
                }
                if (skipped->notRead > 0)
                    skipped->emptyLine = empty;
                break;
            }
            if (line.end != LineEnd::NulChar && line.end != LineEnd::TooLong)
                break;   // an empty line or the end of the data
            if (skipped && skipped->count++ == 0)
                skipped->firstLine = number;
            if (!SkipRestOfLine(source))
                break;
            continue;
        }
        if (skipDone && MarkOf(line.text) == DoneMark)
            continue;
        entries.push_back(EntryOf(line.text));
        if (lines)
            lines->push_back(line);
    }
    return true;
}

std::vector<MarkChange> PlanMarkDone(const std::vector<Line>& lines,
                                     const std::function<bool(const std::wstring&)>& isDone)
{
    std::vector<MarkChange> changes;
    for (const Line& line : lines) {
        std::wstring entry = EntryOf(line.text);
        if (entry.empty() || MarkOf(line.text) == DoneMark || !isDone(entry))
            continue;
        // The mark ends inside a surrogate pair: its bytes are not the mark's alone.
        if (entry[0] >= 0xDC00 && entry[0] <= 0xDFFF)
            continue;
        changes.push_back({line.start, line.markEnd});
    }
    return changes;
}

std::string ApplyMarkChanges(const std::string& data, const std::vector<MarkChange>& changes)
{
    std::string out;
    out.reserve(data.size() + changes.size() * MarkLength);
    uint64_t copied = 0;
    for (const MarkChange& change : changes) {
        if (change.start < copied || change.end < change.start || change.end > data.size())
            continue;   // not a change of this data; never guess
        out.append(data, static_cast<size_t>(copied), static_cast<size_t>(change.start - copied));
        out += "[x]";
        copied = change.end;
    }
    out.append(data, static_cast<size_t>(copied), std::string::npos);
    return out;
}
}
