// Drawing list reader on arbitrary bytes. The first byte picks the code page
// model and how the bytes arrive; the rest is the file. Checks that reading
// does not depend on chunking, that marking changes marks and nothing else,
// and that written entries read back unchanged.
#include "DmlFormat.h"
#include "MultiByteReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
const std::wstring kHeader = L"Transmora drawing list";

size_t DbcsConvert(const unsigned char* b, size_t count, wchar_t out[2])
{
    out[0] = count == 1 ? static_cast<wchar_t>(b[0]) : static_cast<wchar_t>(0x100000 + (b[0] << 8 | b[1]));
    return 1;
}

size_t Utf8Convert(const unsigned char* b, size_t count, wchar_t out[2])
{
    unsigned cp = count == 1 ? b[0]
                  : count == 2 ? ((b[0] & 0x1Fu) << 6 | (b[1] & 0x3Fu))
                  : count == 3 ? ((b[0] & 0x0Fu) << 12 | (b[1] & 0x3Fu) << 6 | (b[2] & 0x3Fu))
                               : ((b[0] & 0x07u) << 18 | (b[1] & 0x3Fu) << 12 | (b[2] & 0x3Fu) << 6 | (b[3] & 0x3Fu));
    if (cp < 0x10000) {
        out[0] = static_cast<wchar_t>(cp);
        return 1;
    }
    cp = (cp - 0x10000) & 0xFFFFF;
    out[0] = static_cast<wchar_t>(0xD800 + (cp >> 10));
    out[1] = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    return 2;
}

struct Model {
    MultiByteScan scan;
    MultiByteReader::Convert convert;
};

Model ModelFor(unsigned choice)
{
    static const unsigned char ranges[] = {0x81, 0x9F, 0xE0, 0xFC};
    switch (choice % 3) {
    case 0:
        return {MultiByteScan(), DbcsConvert};
    case 1:
        return {MultiByteScan::DoubleByte(ranges, sizeof(ranges)), DbcsConvert};
    default:
        return {MultiByteScan::Utf8(), Utf8Convert};
    }
}

class Chars : public DmlCharSource {
public:
    Chars(const std::string& data, const Model& model, size_t step)
        : m_reader(
              model.scan,
              [&data, step, offset = size_t(0)](unsigned char* buffer, size_t size) mutable {
                  size_t n = std::min(std::min(size, step), data.size() - offset);
                  std::memcpy(buffer, data.data() + offset, n);
                  offset += n;
                  return n;
              },
              model.convert, 64)
    {
    }
    bool ReadChar(wchar_t& c) override { return m_reader.ReadChar(c); }
    uint64_t Position() const override { return m_reader.Position(); }

private:
    MultiByteReader m_reader;
};

// The bytes the model decodes back to text.
std::string Encode(const std::wstring& text, unsigned choice)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned c = static_cast<unsigned>(text[i]);
        if (choice % 3 != 2) {
            if (c >= 0x100000) {
                out += static_cast<char>((c >> 8) & 0xFF);
                out += static_cast<char>(c & 0xFF);
            } else {
                out += static_cast<char>(c);
            }
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            unsigned cp = 0x10000 + ((c - 0xD800) << 10) + (static_cast<unsigned>(text[++i]) - 0xDC00);
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size < 1)
        return 0;
    const unsigned choice = bytes[0];
    const Model model = ModelFor(choice);
    const std::string data(reinterpret_cast<const char*>(bytes) + 1, size - 1);

    std::vector<std::wstring> entries, bytewise, toDo;
    std::vector<DmlFormat::Line> lines;
    DmlFormat::Skipped skipped, skippedBytewise, skippedToDo;
    Chars whole(data, model, 4096), single(data, model, 1), skipping(data, model, 3);
    bool ok = DmlFormat::ReadList(whole, kHeader, false, entries, &lines, &skipped);
    Check(DmlFormat::ReadList(single, kHeader, false, bytewise, nullptr, &skippedBytewise) == ok &&
          bytewise == entries);
    Check(DmlFormat::ReadList(skipping, kHeader, true, toDo, nullptr, &skippedToDo) == ok &&
          toDo.size() <= entries.size());
    // The same lines are skipped however the bytes arrive, and only entry lines are counted.
    Check(skippedBytewise.count == skipped.count && skippedBytewise.firstLine == skipped.firstLine);
    Check(skippedToDo.count == skipped.count && skippedToDo.firstLine == skipped.firstLine);
    Check((skipped.count == 0) == (skipped.firstLine == 0) && (skipped.count == 0 || skipped.firstLine >= 2));
    if (!ok)
        return 0;
    for (const DmlFormat::Line& line : lines)
        Check(line.start <= line.markEnd && line.markEnd <= data.size() &&
              line.text.size() <= DmlFormat::MaxLineLength);

    // Mark every entry of odd length: the entries stay, their marks become "[x]".
    auto isDone = [](const std::wstring& entry) { return entry.size() % 2 == 1; };
    std::vector<DmlFormat::MarkChange> changes = DmlFormat::PlanMarkDone(lines, isDone);
    std::string marked = DmlFormat::ApplyMarkChanges(data, changes);
    std::vector<std::wstring> after;
    std::vector<DmlFormat::Line> afterLines;
    DmlFormat::Skipped skippedAfter;
    Chars again(marked, model, 4096);
    Check(DmlFormat::ReadList(again, kHeader, false, after, &afterLines, &skippedAfter));
    Check(after == entries && skippedAfter.count == skipped.count && skippedAfter.firstLine == skipped.firstLine);
    for (const DmlFormat::Line& line : afterLines) {
        std::wstring entry = DmlFormat::EntryOf(line.text);
        bool splitChar = !entry.empty() && entry[0] >= 0xDC00 && entry[0] <= 0xDFFF;
        if (!entry.empty() && !splitChar && isDone(entry))
            Check(DmlFormat::MarkOf(line.text) == DmlFormat::DoneMark);
    }
    Check(DmlFormat::PlanMarkDone(afterLines, isDone).empty());

    // Written entries read back as they were; a bad byte's U+FFFD has no
    // bytes of its own in the byte models.
    for (const std::wstring& entry : entries)
        if (choice % 3 != 2 && entry.find(MultiByteReader::Replacement) != std::wstring::npos)
            return 0;
    std::wstring text = kHeader + L"\r\n";
    for (size_t i = 0; i < entries.size(); ++i)
        text += DmlFormat::EntryLine(entries[i], i % 2 == 0);
    std::string written = Encode(text, choice);
    std::vector<std::wstring> reread;
    Chars back(written, model, 4096);
    Check(DmlFormat::ReadList(back, kHeader, false, reread));
    Check(reread == entries);
    return 0;
}
