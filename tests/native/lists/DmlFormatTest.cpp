#include "DmlFormat.h"
#include "FormatCheck.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <set>

using namespace std::string_literals;

namespace {
const std::wstring kHeader = L"Transmora drawing list";
const std::string kHead = "Transmora drawing list\r\n";

struct Read {
    bool ok;
    std::vector<std::wstring> entries;
    DmlFormat::Skipped skipped;
};
Read ReadList(const std::string& data, bool skipDone = false, size_t step = 4096)
{
    testtext::Chars chars(data, step);
    Read r;
    r.ok = DmlFormat::ReadList(chars, kHeader, skipDone, r.entries, nullptr, &r.skipped);
    return r;
}
using Names = std::vector<std::wstring>;

// MarkDone's work on bytes: the entries that isDone accepts get "[x]".
std::string MarkDone(const std::string& data, const std::set<std::wstring>& done)
{
    testtext::Chars chars(data);
    std::vector<std::wstring> entries;
    std::vector<DmlFormat::Line> lines;
    if (!DmlFormat::ReadList(chars, kHeader, false, entries, &lines))
        return data;
    auto changes = DmlFormat::PlanMarkDone(lines, [&](const std::wstring& e) { return done.count(e) != 0; });
    return DmlFormat::ApplyMarkChanges(data, changes);
}
}

TEST(DmlFormat, HeaderMustMatchExactly)
{
    EXPECT_TRUE(ReadList(kHead).ok);
    EXPECT_TRUE(ReadList(kHead).entries.empty());
    EXPECT_TRUE(ReadList("Transmora drawing list").ok);   // no line end at all
    EXPECT_FALSE(ReadList("transmora drawing list\r\n[ ]a.dwg\r\n").ok);
    EXPECT_FALSE(ReadList("Transmora drawing list \r\n").ok);
    EXPECT_FALSE(ReadList("").ok);
    EXPECT_FALSE(ReadList("\r\n" + kHead).ok);
    EXPECT_FALSE(ReadList("\xEF\xBB\xBF" + kHead).ok);   // a byte order mark is foreign too
}

TEST(DmlFormat, MarksAndSkipDone)
{
    std::string data = kHead + "[x]a.dwg\r\n[ ]b.dwg\r\n[X]c.dwg\r\n";
    EXPECT_EQ(ReadList(data, true).entries, (Names{L"b.dwg", L"c.dwg"}));
    EXPECT_EQ(ReadList(data, false).entries, (Names{L"a.dwg", L"b.dwg", L"c.dwg"}));
    // Marks are not checked: any first three characters are the mark.
    EXPECT_EQ(ReadList(kHead + "abcd.dwg\r\nab\r\n[ ]\r\n").entries, (Names{L"d.dwg", L"", L""}));
}

TEST(DmlFormat, WhereReadingStops)
{
    // An empty line ends the list, with or without CR.
    EXPECT_EQ(ReadList(kHead + "[ ]a\r\n\r\n[ ]b\r\n").entries, (Names{L"a"}));
    EXPECT_EQ(ReadList(kHead + "[ ]a\n\n[ ]b\n").entries, (Names{L"a"}));
    EXPECT_EQ(ReadList(kHead + "[ ]a\r\n\r\r\n[ ]b\r\n").entries, (Names{L"a"}));
    // LF alone reads like CR LF; a CR inside a line goes; an unfinished last line counts.
    EXPECT_EQ(ReadList(kHead + "[ ]a\n[ ]b\r\n[ ]c\rd\r\n[ ]e").entries, (Names{L"a", L"b", L"cd", L"e"}));
    // A double-byte character cut off by the end of the file ends reading.
    EXPECT_EQ(ReadList(kHead + "[ ]a\r\n[ ]b\x82").entries, (Names{L"a", L"b"}));
    // A lead byte before the line end is a bad character of its own line.
    Read bad = ReadList(kHead + "[ ]a\x82\r\n[ ]b\r\n");
    ASSERT_EQ(bad.entries.size(), 2u);
    EXPECT_EQ(bad.entries[0], std::wstring(L"a") + MultiByteReader::Replacement);
    EXPECT_EQ(bad.entries[1], L"b");
}

TEST(DmlFormat, UnusableLinesAreSkippedAndCounted)
{
    std::string longest(DmlFormat::MaxLineLength, 'p');
    longest.replace(0, 3, "[ ]");
    Read fits = ReadList(kHead + longest + "\r\n[ ]b\r\n");
    ASSERT_EQ(fits.entries.size(), 2u);
    EXPECT_EQ(fits.entries[0].size(), DmlFormat::MaxLineLength - 3);
    EXPECT_EQ(fits.skipped.count, 0u);

    // Lines are numbered from the header, line 1; whatever the chunks, the same lines are skipped.
    struct Case {
        std::string body;
        Names entries;
        size_t count;
        uint64_t first;
    } cases[] = {
        {"[ ]a\r\n[ ]b\0c\r\n[ ]d\r\n"s, {L"a", L"d"}, 1, 3},
        {"[ ]a\r\n" + longest + "p\r\n[ ]b\r\n", {L"a", L"b"}, 1, 3},
        {"\0\r\n[ ]a\n"s + longest + "pp\n[x]b\0\n[ ]c"s, {L"a", L"c"}, 3, 2},
        {"[ ]a\r\n[ ]\0 to the end"s, {L"a"}, 1, 3},          // the last line, unfinished
        {"[ ]a\r\n" + longest + "p", {L"a"}, 1, 3},
        {"[ ]a\0\r\n\r\n[ ]b\r\n"s, {}, 1, 2},          // an empty line still ends the list
    };
    for (const Case& c : cases) {
        for (size_t step : {size_t(1), size_t(7), size_t(4096)}) {
            Read r = ReadList(kHead + c.body, false, step);
            EXPECT_TRUE(r.ok);
            EXPECT_EQ(r.entries, c.entries) << c.first << " step " << step;
            EXPECT_EQ(r.skipped.count, c.count) << c.first << " step " << step;
            EXPECT_EQ(r.skipped.firstLine, c.first) << c.count << " step " << step;
        }
    }
    // A header no list can hold is no list.
    EXPECT_FALSE(ReadList(std::string(DmlFormat::MaxLineLength + 1, 'h')).ok);
    EXPECT_FALSE(ReadList("Transmora\0drawing list\r\n[ ]a\r\n"s).ok);
}

TEST(DmlFormat, EntryLinesRoundTrip)
{
    EXPECT_EQ(DmlFormat::EntryLine(L"c:\\d\\a.dwg", true), L"[x]c:\\d\\a.dwg\r\n");
    EXPECT_EQ(DmlFormat::EntryLine(L"", false), L"[ ]\r\n");
    EXPECT_EQ(DmlFormat::MarkOf(L"[x"), L"[x");
    EXPECT_EQ(DmlFormat::EntryOf(L"[x]"), L"");
}

TEST(DmlFormat, MarkDoneChangesOnlyMarks)
{
    std::set<std::wstring> done = {L"c:\\a.dwg", L"c:\\c.dwg"};
    // Marks of entries that are done now become "[x]"; earlier ones stay.
    EXPECT_EQ(MarkDone(kHead + "[ ]c:\\a.dwg\r\n[x]c:\\b.dwg\r\n[ ]c:\\c.dwg\r\n[ ]c:\\d.dwg\r\n", done),
              kHead + "[x]c:\\a.dwg\r\n[x]c:\\b.dwg\r\n[x]c:\\c.dwg\r\n[ ]c:\\d.dwg\r\n");
    // Line ends, an unfinished last line and stray bytes stay as they were.
    EXPECT_EQ(MarkDone(kHead + "[ ]c:\\a.dwg\n[ ]c:\\c.dwg", done), kHead + "[x]c:\\a.dwg\n[x]c:\\c.dwg");
    // Everything after the end of the list is kept, byte for byte.
    std::string tail = "\r\n[ ]c:\\c.dwg\r\nnotes \x82\x01\r\n";
    EXPECT_EQ(MarkDone(kHead + "[ ]c:\\a.dwg\r\n" + tail, done), kHead + "[x]c:\\a.dwg\r\n" + tail);
    // A mark with a CR in it is replaced whole.
    EXPECT_EQ(MarkDone(kHead + "[\r ]c:\\a.dwg\r\n", done), kHead + "[x]c:\\a.dwg\r\n");
    // A double-byte mark character is replaced as a whole character.
    EXPECT_EQ(MarkDone(kHead + "[ \x82\xA0" "c:\\a.dwg\r\n", done), kHead + "[x]c:\\a.dwg\r\n");
    // Foreign files and lists without a change stay as they are.
    EXPECT_EQ(MarkDone("other\r\n[ ]c:\\a.dwg\r\n", done), "other\r\n[ ]c:\\a.dwg\r\n");
    EXPECT_EQ(MarkDone(kHead + "[x]c:\\a.dwg\r\n", done), kHead + "[x]c:\\a.dwg\r\n");
    // Entries after a skipped line are marked; the skipped line stays as it was.
    std::string nul = "[ ]c:\\a.dwg\0\r\n"s;
    EXPECT_EQ(MarkDone(kHead + nul + "[ ]c:\\c.dwg\r\n", done), kHead + nul + "[x]c:\\c.dwg\r\n");
    // An empty entry names no drawing.
    EXPECT_EQ(MarkDone(kHead + "ab\r\n", {L""}), kHead + "ab\r\n");
}

TEST(DmlFormat, ApplyIgnoresChangesOutsideTheData)
{
    EXPECT_EQ(DmlFormat::ApplyMarkChanges("[ ]a[ ]b", {{0, 3}, {4, 7}}), "[x]a[x]b");
    EXPECT_EQ(DmlFormat::ApplyMarkChanges("[ ]a", {{2, 1}, {0, 9}}), "[ ]a");
    EXPECT_EQ(DmlFormat::ApplyMarkChanges("[ ]a[ ]b", {{4, 7}, {0, 3}}), "[ ]a[x]b");
}

TEST(FormatCheck, ConversionsMustMatchTheArguments)
{
    EXPECT_TRUE(FormatTakes(L"The file %s: %s", "ss"));
    EXPECT_TRUE(FormatTakes(L"100%% of %-20s and %.5s", "ss"));
    EXPECT_TRUE(FormatTakes(L"%d drawings", "d"));
    EXPECT_TRUE(FormatTakes(L"%5i / %u", "dd"));
    EXPECT_TRUE(FormatTakes(L"No argument, 100%%", ""));
    EXPECT_FALSE(FormatTakes(L"%s", "d"));
    EXPECT_FALSE(FormatTakes(L"%d", "s"));
    EXPECT_FALSE(FormatTakes(L"%s %s %s", "ss"));
    EXPECT_FALSE(FormatTakes(L"%s", "ss"));
    EXPECT_FALSE(FormatTakes(L"%*d", "d"));
    EXPECT_FALSE(FormatTakes(L"%ld", "d"));
    EXPECT_FALSE(FormatTakes(L"%n", ""));
    EXPECT_FALSE(FormatTakes(L"ends in %", ""));
}
