// The drawing list (DML) format, apart from any file: a header line, then one
// line per drawing made of a three-character mark ("[x]" done, "[ ]" to do)
// and the drawing's path. Lines end in CR LF; reading stops at the first
// empty line or at the end of the data. A line no list can hold (a NUL, too
// long) is skipped and counted, so the entries after it are not lost.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Characters for the list reader, one at a time; Position() counts the bytes
// consumed, so a line can be found in the raw data again.
class DmlCharSource {
public:
    virtual ~DmlCharSource() = default;
    virtual bool ReadChar(wchar_t& c) = 0;
    virtual uint64_t Position() const = 0;
};

namespace DmlFormat {
extern const wchar_t DoneMark[];   // "[x]"
extern const wchar_t ToDoMark[];   // "[ ]"
const size_t MarkLength = 3;
// The longest path the system can name, with its mark. A longer line is not
// kept, so a file without line ends cannot exhaust the memory.
const size_t MaxLineLength = 32767 + MarkLength;

enum class LineEnd {
    Feed,        // a line feed
    EndOfData,   // the data ended (or a character could not be read)
    TooLong,     // more than MaxLineLength characters
    NulChar      // a NUL character: no path holds one
};

struct Line {
    std::wstring text;       // without carriage returns and the line feed
    uint64_t start = 0;      // byte position of the line's first byte
    uint64_t markEnd = 0;    // byte position after the mark (after the text when shorter)
    LineEnd end = LineEnd::EndOfData;
};

// Reads one line. False when it is empty or unusable (too long, NUL): a
// caller must not take it. An unusable line is read only up to its fault.
bool ReadLine(DmlCharSource& source, Line& line);

// Entry lines that could not be taken: how many, and the number of the first
// (the header is line 1); and the empty line that ended the list early, with
// the number of lines after it that were not read (0 and 0 when none).
struct Skipped {
    size_t count = 0;
    uint64_t firstLine = 0;
    uint64_t emptyLine = 0;
    size_t notRead = 0;
};

// Reads the header and the entries; false when the first line is not exactly
// the header. With skipDone, entries marked "[x]" are left out. The lines of
// the entries taken go to lines when given, unusable lines are counted in
// skipped when given.
bool ReadList(DmlCharSource& source, const std::wstring& header, bool skipDone, std::vector<std::wstring>& entries,
              std::vector<Line>* lines = nullptr, Skipped* skipped = nullptr);

// The mark of a line: its first three characters, or the whole line when shorter.
std::wstring MarkOf(const std::wstring& line);
// The entry of a line: what follows the mark.
std::wstring EntryOf(const std::wstring& line);
// One entry line with its mark and CR LF.
std::wstring EntryLine(const std::wstring& entry, bool done);

// A byte range of the data to be replaced by the done mark.
struct MarkChange {
    uint64_t start;
    uint64_t end;
};
// The marks to set so that every entry that isDone accepts reads "[x]". Other
// marks stay as they are: a drawing migrated by an earlier run stays done, and
// a line whose first characters are no mark keeps them. Empty entries name no
// drawing and are never marked, nor are entries whose mark ends inside a character.
std::vector<MarkChange> PlanMarkDone(const std::vector<Line>& lines,
                                     const std::function<bool(const std::wstring&)>& isDone);
// The data with the changes applied; every other byte stays as it was.
// Changes must be in increasing order, not overlapping, and inside the data.
std::string ApplyMarkChanges(const std::string& data, const std::vector<MarkChange>& changes);
}
