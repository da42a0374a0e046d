#include "KestDmlFile.h"
#include "ListsTest.h"
#include "ResourceIds.h"
#include "RunIds.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <future>

using namespace std::string_literals;

namespace {
using Names = std::vector<std::wstring>;

class DmlFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        liststest::UseResources();
        m_dir = wts::FreshDir(L"dml");
        m_path = m_dir + L"\\list.dml";
        m_header = wts::Narrow(liststest::Text(IDS_DML_HEADER), 1252) + "\r\n";
        KestFile::SetCodePageForTest(1252);
    }
    void TearDown() override { KestFile::SetCodePageForTest(0); }

    struct Read {
        bool ok;
        Names entries;
        DmlFormat::Skipped skipped;
    };
    Read ReadList(bool skipDone = false)
    {
        KestDmlFile file(m_path);
        Read r{false, {}, {}};
        if (file.Open(false))
            r.ok = file.ReadList(r.entries, skipDone, &r.skipped);
        return r;
    }
    // The list's bytes, then zeros up to size (a sparse file: no time or disk spent).
    void WriteLarge(const std::string& bytes, uint64_t size)
    {
        wts::WriteFileBytes(m_path, bytes);
        HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(size);
        EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
        CloseHandle(file);
    }
    uint64_t FileSize()
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(m_path.c_str(), GetFileExInfoStandard, &data))
            return 0;
        return static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    }
    bool WriteList(const Names& entries, const std::vector<unsigned char>* done = nullptr)
    {
        KestDmlFile file(m_path);
        return file.Open(true) && file.WriteList(entries, done);
    }
    bool MarkDone(const Names& names)
    {
        KestDmlFile file(m_path);
        return file.MarkDone(names);
    }

    std::wstring m_dir;
    std::wstring m_path;
    std::string m_header;
};

// Runs an operation that may show a message box on a thread of its own and
// returns the text of the box that came up (empty when none did) and closes it.
template <typename Op>
std::wstring BoxOf(Op op, bool& result, DWORD waitMs = 5000)
{
    auto done = std::async(std::launch::async, op);
    std::wstring text;
    HWND box = wts::WaitForWindow(liststest::Text(IDS_CAPTION), waitMs);
    if (box) {
        for (const std::wstring& child : wts::ChildTexts(box))
            if (child.size() > text.size())
                text = child;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    result = done.get();
    return text;
}
}

TEST_F(DmlFile, WrittenListsReadBack)
{
    Names entries = {L"c:\\drawings\\a.dwg", L"c:\\drawings\\b.dwg", L"c:\\drawings\\c.dwg"};
    ASSERT_TRUE(WriteList(entries));
    EXPECT_EQ(wts::ReadFileBytes(m_path),
              m_header + "[ ]c:\\drawings\\a.dwg\r\n[ ]c:\\drawings\\b.dwg\r\n[ ]c:\\drawings\\c.dwg\r\n");
    Read all = ReadList();
    EXPECT_TRUE(all.ok);
    EXPECT_EQ(all.entries, entries);

    std::vector<unsigned char> done = {1, 0};   // shorter than the list: the rest is to do
    ASSERT_TRUE(WriteList(entries, &done));
    EXPECT_EQ(wts::ReadFileBytes(m_path),
              m_header + "[x]c:\\drawings\\a.dwg\r\n[ ]c:\\drawings\\b.dwg\r\n[ ]c:\\drawings\\c.dwg\r\n");
    EXPECT_EQ(ReadList(true).entries, (Names{L"c:\\drawings\\b.dwg", L"c:\\drawings\\c.dwg"}));

    ASSERT_TRUE(WriteList({}));
    EXPECT_EQ(wts::ReadFileBytes(m_path), m_header);
    Read empty = ReadList();
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.entries.empty());
}

TEST_F(DmlFile, ForeignAndBrokenFiles)
{
    std::string lower = m_header;
    lower[0] = static_cast<char>(tolower(lower[0]));
    wts::WriteFileBytes(m_path, lower + "[ ]c:\\a.dwg\r\n");
    EXPECT_FALSE(ReadList().ok);
    wts::WriteFileBytes(m_path, "c:\\a.dwg\r\nc:\\b.dwg\r\n");
    EXPECT_FALSE(ReadList().ok);
    wts::WriteFileBytes(m_path, "");
    EXPECT_FALSE(ReadList().ok);

    // An unfinished last line counts; an empty line ends the list.
    wts::WriteFileBytes(m_path, m_header + "[x]a.dwg\n[ ]b.dwg\r\n\r\n[ ]c.dwg\r\n");
    EXPECT_EQ(ReadList().entries, (Names{L"a.dwg", L"b.dwg"}));
    wts::WriteFileBytes(m_path, m_header + "[x]a.dwg\r\n[X]b.dwg\r\n[ ]c\rd.dwg");
    EXPECT_EQ(ReadList(true).entries, (Names{L"b.dwg", L"cd.dwg"}));

    // An over-long line, a NUL byte: those lines are skipped, counted and numbered, the others read.
    wts::WriteFileBytes(m_path, m_header + "[ ]a.dwg\r\n[ ]" + std::string(40000, 'p') + "\r\n[ ]b.dwg\r\n" +
                                    "[ ]b\0.dwg\r\n[ ]c.dwg\r\n"s);
    Read over = ReadList();
    EXPECT_TRUE(over.ok);
    EXPECT_EQ(over.entries, (Names{L"a.dwg", L"b.dwg", L"c.dwg"}));
    EXPECT_EQ(over.skipped.count, 2u);
    EXPECT_EQ(over.skipped.firstLine, 3u);
    wts::WriteFileBytes(m_path, std::string(100000, 'h'));
    EXPECT_FALSE(ReadList().ok);
}

TEST_F(DmlFile, DoubleByteLists)
{
    KestFile::SetCodePageForTest(932);
    const std::wstring japanese = L"c:\\\u56f3\u9762\\\u30c6\u30b9\u30c8.dwg";
    ASSERT_TRUE(WriteList({japanese, L"c:\\\u00e9t\u00e9.dwg"}));
    EXPECT_EQ(wts::ReadFileBytes(m_path),
              m_header + "[ ]c:\\\x90\x7d\x96\xca\\\x83\x65\x83\x58\x83\x67.dwg\r\n[ ]c:\\?t?.dwg\r\n");
    EXPECT_EQ(ReadList().entries, (Names{japanese, L"c:\\?t?.dwg"}));

    // A lead byte before the line end spoils only its own character; one cut
    // off by the end of the file ends reading.
    wts::WriteFileBytes(m_path, m_header + "[ ]a\x82\r\n[ ]b.dwg\r\n[ ]c\x90\x7d\x82");
    EXPECT_EQ(ReadList().entries, (Names{L"a\uFFFD", L"b.dwg", L"c\u56f3"}));
}

TEST_F(DmlFile, CharacterReads)
{
    wts::WriteFileBytes(m_path, "12345\r\nline two\nend");
    KestFile file(m_path);
    ASSERT_TRUE(file.Open(false));
    wchar_t chars[40];
    EXPECT_EQ(file.ReadChars(chars, 3), 3);
    EXPECT_EQ(std::wstring(chars, 3), L"123");
    std::wstring text;
    EXPECT_TRUE(file.ReadUntil(L'\n', text));
    EXPECT_EQ(text, L"45\r\n");
    EXPECT_TRUE(file.ReadUntil(L'\n', text));
    EXPECT_EQ(text, L"45\r\nline two\n");
    EXPECT_EQ(file.ReadChars(chars, 40), 3);
    EXPECT_FALSE(file.ReadChar(chars[0]));
    file.Close();
    EXPECT_FALSE(file.ReadChar(chars[0]));
    EXPECT_FALSE(file.WriteText(L"closed"));

    KestFile nameless(L"");
    EXPECT_FALSE(nameless.Open(false));   // no message either
}

TEST_F(DmlFile, MarkDoneSetsMarksAndKeepsTheRest)
{
    wts::WriteFileBytes(m_path,
                        m_header + "[ ]c:\\d\\a.dwg\r\n[x]c:\\d\\b.dwg\r\n[ ]c:\\d\\c.dwg\r\n[ ]c:\\d\\e.dwg\r\n");
    EXPECT_TRUE(MarkDone({L"C:\\D\\A.DWG", L"c:\\d\\c.dwg", L"c:\\elsewhere\\x.dwg"}));
    EXPECT_EQ(wts::ReadFileBytes(m_path),
              m_header + "[x]c:\\d\\a.dwg\r\n[x]c:\\d\\b.dwg\r\n[x]c:\\d\\c.dwg\r\n[ ]c:\\d\\e.dwg\r\n");
    EXPECT_EQ(wts::Entries(m_dir + L"\\*"), (Names{L"list.dml"}));

    // What the reader does not take stays byte for byte: the text after an
    // empty line, stray bytes, LF line ends and an unfinished last line.
    std::string tail = "\r\n[ ]c:\\d\\e.dwg\r\nnotes \x01\x82\xff\r\n";
    wts::WriteFileBytes(m_path, m_header + "[ ]c:\\d\\a.dwg\n[ ]c:\\d\\e.dwg\r\n" + tail);
    EXPECT_TRUE(MarkDone({L"c:\\d\\a.dwg", L"c:\\d\\e.dwg"}));
    EXPECT_EQ(wts::ReadFileBytes(m_path), m_header + "[x]c:\\d\\a.dwg\n[x]c:\\d\\e.dwg\r\n" + tail);
    wts::WriteFileBytes(m_path, m_header + "[ ]c:\\d\\a.dwg");
    EXPECT_TRUE(MarkDone({L"c:\\d\\a.dwg"}));
    EXPECT_EQ(wts::ReadFileBytes(m_path), m_header + "[x]c:\\d\\a.dwg");

    // A foreign file is left alone.
    wts::WriteFileBytes(m_path, "c:\\d\\a.dwg\r\n");
    EXPECT_FALSE(MarkDone({L"c:\\d\\a.dwg"}));
    EXPECT_EQ(wts::ReadFileBytes(m_path), "c:\\d\\a.dwg\r\n");
    EXPECT_EQ(wts::Entries(m_dir + L"\\*"), (Names{L"list.dml"}));
}

TEST_F(DmlFile, MarkDoneWritesInPlaceWhereTheFolderTakesNoNewFile)
{
    // The folder refuses the temporary file, as one does where the user may write the list but not create
    // files (Wine keeps no access rules on folders, so the seam stands in for them).
    KestDmlFile::SetTempFilesRefusedForTest(true);
    std::string tail = "[ ]c:\\d\\c.dwg\r\n\r\nnotes\r\n";
    wts::WriteFileBytes(m_path, m_header + "[ ]c:\\d\\a.dwg\r\n[x]c:\\d\\b.dwg\r\n" + tail);
    bool marked = MarkDone({L"c:\\d\\a.dwg", L"C:\\D\\C.DWG"});
    std::string after = wts::ReadFileBytes(m_path);
    // A mark of a double-byte character is one byte wider than "[x]": marking in place would shift the
    // list's lines, so the list keeps its marks and the caller learns why.
    KestFile::SetCodePageForTest(932);
    const std::string wide = m_header + "[ ]c:\\d\\e.dwg\r\n[ \x82\xA0" "c:\\d\\a.dwg\r\n";
    wts::WriteFileBytes(m_path, wide);
    bool tooLarge = true, marksKept = false;
    bool shifted = KestDmlFile(m_path).MarkDone({L"c:\\d\\a.dwg", L"c:\\d\\e.dwg"}, &tooLarge, &marksKept);
    KestDmlFile::SetTempFilesRefusedForTest(false);

    EXPECT_TRUE(marked);
    EXPECT_EQ(after, m_header + "[x]c:\\d\\a.dwg\r\n[x]c:\\d\\b.dwg\r\n[x]c:\\d\\c.dwg\r\n\r\nnotes\r\n");
    EXPECT_FALSE(shifted);
    EXPECT_FALSE(tooLarge);
    EXPECT_TRUE(marksKept);
    EXPECT_EQ(wts::ReadFileBytes(m_path), wide);
    EXPECT_EQ(wts::Entries(m_dir + L"\\*"), (Names{L"list.dml"}));
}

TEST_F(DmlFile, ListsAboveTheLimitAreRefused)
{
    const std::string head = m_header + "[ ]c:\\d\\a.dwg\r\n";
    WriteLarge(head, KestDmlFile::MaxListBytes + 1);
    // Reading says so, naming the file and the limit.
    bool result = true;
    std::wstring text = BoxOf(
        [&] {
            KestDmlFile file(m_path);
            Names entries;
            return file.Open(false) && file.ReadList(entries, false);
        },
        result);
    EXPECT_FALSE(result);
    EXPECT_EQ(text, L"The file " + m_path +
                        L" is larger than 256 MB, more than any drawing list holds. It was not read.");
    // Marking leaves it alone without a message, and tells its caller why.
    bool tooLarge = false;
    text = BoxOf(
        [&] {
            KestDmlFile file(m_path);
            return file.MarkDone({L"c:\\d\\a.dwg"}, &tooLarge);
        },
        result, 1000);
    EXPECT_FALSE(result);
    EXPECT_TRUE(tooLarge);
    EXPECT_EQ(text, L"");
    EXPECT_EQ(FileSize(), KestDmlFile::MaxListBytes + 1);
    std::string start(head.size(), '\0');
    HANDLE file = CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    ReadFile(file, &start[0], static_cast<DWORD>(start.size()), &got, nullptr);
    CloseHandle(file);
    EXPECT_EQ(start, head) << "not marked";
    EXPECT_EQ(wts::Entries(m_dir + L"\\*"), (Names{L"list.dml"}));
}

TEST_F(DmlFile, ErrorsShowTheirMessage)
{
    bool result = true;
    std::wstring missing = m_dir + L"\\missing.dml";
    std::wstring text = BoxOf(
        [&] {
            KestDmlFile file(missing);
            return file.Open(false);
        },
        result);
    EXPECT_FALSE(result);
    EXPECT_EQ(text, L"The file " + missing + L" could not be used.\n\n" + liststest::Text(IDS_FILE_NOT_FOUND));

    text = BoxOf(
        [&] {
            KestDmlFile file(m_dir + L"\\no folder\\list.dml");
            return file.Open(true);
        },
        result);
    EXPECT_FALSE(result);
    EXPECT_NE(text.find(liststest::Text(IDS_FILE_BAD_PATH)), std::wstring::npos) << text;

    // A list that another program reads without letting others write: MarkDone
    // reads it, says the list is in use and changes nothing.
    std::string before = m_header + "[ ]c:\\d\\a.dwg\r\n";
    wts::WriteFileBytes(m_path, before);
    HANDLE reader = CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    text = BoxOf(
        [&] {
            KestDmlFile file(m_path);
            return file.MarkDone({L"c:\\d\\a.dwg"});
        },
        result);
    CloseHandle(reader);
    EXPECT_FALSE(result);
    EXPECT_NE(text.find(liststest::Text(IDS_FILE_SHARING)), std::wstring::npos) << text;
    EXPECT_EQ(wts::ReadFileBytes(m_path), before);
    EXPECT_EQ(wts::Entries(m_dir + L"\\*"), (Names{L"list.dml"}));

    // Without m_showErrors nothing comes up.
    text = BoxOf(
        [&] {
            KestFile file(missing);
            file.m_showErrors = false;
            return file.Open(false);
        },
        result, 1000);
    EXPECT_FALSE(result);
    EXPECT_EQ(text, L"");
}

TEST_F(DmlFile, TenThousandEntries)
{
    Names entries, done;
    for (int i = 0; i < 10000; ++i) {
        entries.push_back(L"c:\\projects\\plant " + std::to_wstring(i / 100) + L"\\drawing " + std::to_wstring(i) +
                          L".dwg");
        if (i % 3 == 0)
            done.push_back(entries.back());
    }
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    ASSERT_TRUE(WriteList(entries));
    auto written = Clock::now();
    Read back = ReadList();
    auto read = Clock::now();
    ASSERT_TRUE(MarkDone(done));
    auto marked = Clock::now();
    auto ms = [](Clock::duration d) {
        return static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    };
    std::printf("10000 entries: WriteList %lld ms, ReadList %lld ms, MarkDone %lld ms\n", ms(written - start),
                ms(read - written), ms(marked - read));
    EXPECT_EQ(back.entries, entries);
    EXPECT_EQ(ReadList(true).entries.size(), 10000u - done.size());
    EXPECT_LT(ms(marked - start), 10000);
}
