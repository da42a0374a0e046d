#include "KestCodecvt.h"
#include "KestTextStream.h"
#include "LanguageTable.h"
#include "ListsTest.h"
#include "RunLog.h"
#include "TextLocale.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <sstream>
#include <cstdio>
#include <thread>

namespace {
class TextStream : public ::testing::Test {
protected:
    void TearDown() override { SetSystemLanguageForTest(-1); }

    std::wstring Write(const std::wstring& text, KestTextStream::Mode mode = KestTextStream::Truncate)
    {
        KestTextStream out(m_path, mode);
        EXPECT_TRUE(out.is_open());
        out << text;
        EXPECT_TRUE(out.close());
        return m_path;
    }
    std::vector<std::wstring> ReadBack()
    {
        std::vector<std::wstring> lines;
        KestTextStream in(m_path, KestTextStream::Read);
        std::wstring line;
        while (std::getline(in, line))
            lines.push_back(line);
        return lines;
    }
    unsigned CodePageOf(const std::locale& locale)
    {
        using Codecvt = std::codecvt<wchar_t, char, std::mbstate_t>;
        auto* facet = dynamic_cast<const KestCodecvt*>(&std::use_facet<Codecvt>(locale));
        return facet ? facet->CodePage() : 0;
    }

    std::wstring m_path = liststest::FreshFile(L"text", L"t.txt");
};
using Lines = std::vector<std::wstring>;
}

TEST_F(TextStream, SystemLanguageChoosesNameAndCodePage)
{
    EXPECT_EQ(SystemLocaleName(), LanguageTable::LocaleName(GetSystemDefaultLangID()));
    SetSystemLanguageForTest(0x0409);
    EXPECT_EQ(SystemLocaleName(), "english-us");
    EXPECT_EQ(CodePageOf(MakeTextLocale()), 1252u);
    SetSystemLanguageForTest(0x0411);
    EXPECT_EQ(SystemLocaleName(), "japanese");
    EXPECT_EQ(CodePageOf(MakeTextLocale()), 932u);
    SetSystemLanguageForTest(0x0419);
    EXPECT_EQ(CodePageOf(MakeTextLocale()), 1251u);
    // Languages without a name, and the first row: the system's ANSI code page.
    SetSystemLanguageForTest(0x0813);
    EXPECT_EQ(SystemLocaleName(), "");
    EXPECT_EQ(CodePageOf(MakeTextLocale()), GetACP());
    SetSystemLanguageForTest(0x0000);
    EXPECT_EQ(SystemLocaleName(), "");
    // Numbers keep the "C" form whatever the language.
    SetSystemLanguageForTest(0x0407);
    std::wostringstream number;
    number.imbue(MakeTextLocale());
    number << 1234567.5;
    EXPECT_EQ(number.str(), L"1.23457e+06");
}

TEST_F(TextStream, WesternTextInItsCodePageWithCrLf)
{
    SetSystemLanguageForTest(0x0407);
    Write(L"Zeichnung Gr\u00f6\u00dfe \u20ac\nzweite\n");
    EXPECT_EQ(wts::ReadFileBytes(m_path), "Zeichnung Gr\xf6\xdf" "e \x80\r\nzweite\r\n");
    EXPECT_EQ(ReadBack(), (Lines{L"Zeichnung Gr\u00f6\u00dfe \u20ac", L"zweite"}));
}

TEST_F(TextStream, JapaneseTextInShiftJis)
{
    SetSystemLanguageForTest(0x0411);
    const std::wstring path = L"c:\\\u56f3\u9762\\\u30c6\u30b9\u30c8.dwg";
    Write(path + L"\n" + L"abc\n");
    EXPECT_EQ(wts::ReadFileBytes(m_path), "c:\\\x90\x7d\x96\xca\\\x83\x65\x83\x58\x83\x67.dwg\r\nabc\r\n");
    EXPECT_EQ(ReadBack(), (Lines{path, L"abc"}));
}

TEST_F(TextStream, CharactersTheCodePageCannotHold)
{
    // No look-alikes: a name with them could be another existing file.
    SetSystemLanguageForTest(0x0409);
    Write(L"a\u0101b\u4e00c\U0001F600d\n");
    std::string bytes = wts::ReadFileBytes(m_path);
    EXPECT_TRUE(bytes == "a?b?c?d\r\n" || bytes == "a?b?c??d\r\n") << bytes;
    SetSystemLanguageForTest(0x0411);
    Write(L"\u00e9t\u00e9\n\u56f3\n");
    EXPECT_EQ(wts::ReadFileBytes(m_path), "?t?\r\n\x90\x7d\r\n");
    // A lone surrogate at the very end of the text.
    Write(std::wstring(L"x\n") + static_cast<wchar_t>(0xD83D));
    EXPECT_EQ(wts::ReadFileBytes(m_path), "x\r\n?");
}

TEST_F(TextStream, BytesThatFormNoCharacterReadAsReplacement)
{
    SetSystemLanguageForTest(0x0411);
    wts::WriteFileBytes(m_path, "ok\x82\r\n\x82\x41x\r\nnext\r\n\x82");
    Lines lines = ReadBack();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], L"ok\uFFFD");
    EXPECT_EQ(lines[1].substr(1), L"x");   // a pair, whatever it stands for
    EXPECT_EQ(lines[2], L"next");
    EXPECT_EQ(lines[3], L"\uFFFD");
    // Control bytes are text like any other; Ctrl-Z does not end the file.
    SetSystemLanguageForTest(0x0409);
    wts::WriteFileBytes(m_path, std::string("a\x1a" "b\r\nc\0d\r\n", 10));
    EXPECT_EQ(ReadBack(), (Lines{L"a\x1a" L"b", std::wstring(L"c\0d", 3)}));
}

TEST_F(TextStream, TextModeLineEnds)
{
    wts::WriteFileBytes(m_path, "a\r\nb\rc\n\r\nd\r\r\ne");
    EXPECT_EQ(ReadBack(), (Lines{L"a", L"b\rc", L"", L"d\r", L"e"}));
    // A CR LF split by the reading chunks.
    std::string bytes(16383, 'x');
    bytes += "\r\ny\r";
    wts::WriteFileBytes(m_path, bytes);
    Lines lines = ReadBack();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 16383u);
    EXPECT_EQ(lines[1], L"y\r");
}

TEST_F(TextStream, ModesAndSharing)
{
    Write(L"a long first content\n");
    Write(L"new\n");
    EXPECT_EQ(wts::ReadFileBytes(m_path), "new\r\n");

    DeleteFileW(m_path.c_str());
    Write(L"one\n", KestTextStream::Append);
    Write(L"two\n", KestTextStream::Append);
    EXPECT_EQ(wts::ReadFileBytes(m_path), "one\r\ntwo\r\n");

    // While our stream is open, the batch appends too: our lines go after its
    // line and never over it.
    {
        KestTextStream log(m_path, KestTextStream::Append);
        log << L"three" << std::endl;
        HANDLE batch = CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_ALWAYS, 0, nullptr);
        ASSERT_NE(batch, INVALID_HANDLE_VALUE) << "not shareable";
        SetFilePointer(batch, 0, nullptr, FILE_END);
        DWORD written = 0;
        WriteFile(batch, "batch\r\n", 7, &written, nullptr);
        CloseHandle(batch);
        log << L"four\n";
    }
    EXPECT_EQ(wts::ReadFileBytes(m_path), "one\r\ntwo\r\nthree\r\nbatch\r\nfour\r\n");

    // A writer that holds the file unshared for a moment delays the append, nothing more.
    HANDLE holder = CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    std::thread release([holder] {
        Sleep(300);
        CloseHandle(holder);
    });
    Write(L"five\n", KestTextStream::Append);
    release.join();
    EXPECT_EQ(wts::ReadFileBytes(m_path), "one\r\ntwo\r\nthree\r\nbatch\r\nfour\r\nfive\r\n");

    // Files that cannot be opened: nothing happens.
    KestTextStream missing(m_path + L".none", KestTextStream::Read);
    EXPECT_FALSE(missing.is_open());
    std::wstring line;
    EXPECT_FALSE(std::getline(missing, line));
    KestTextStream nowhere(L"c:\\no\\such\\folder\\x.txt", KestTextStream::Truncate);
    EXPECT_FALSE(nowhere.is_open());
    nowhere << L"lost\n";
    EXPECT_FALSE(nowhere.close());
}

TEST_F(TextStream, TenThousandDrawings)
{
    SetSystemLanguageForTest(0x0411);
    std::wstring text;
    for (int i = 0; i < 10000; ++i)
        text += L"c:\\\u56f3\u9762\\project\\folder " + std::to_wstring(i) + L"\\\u30c6\u30b9\u30c8 drawing.dwg\n";
    auto start = std::chrono::steady_clock::now();
    {
        KestTextStream out(m_path, KestTextStream::Truncate);
        for (size_t begin = 0; begin < text.size();) {
            size_t end = text.find(L'\n', begin) + 1;
            out << text.substr(begin, end - begin);
            begin = end;
        }
    }
    auto written = std::chrono::steady_clock::now();
    std::vector<std::wstring> lines;
    ReadLines(m_path, lines);
    auto read = std::chrono::steady_clock::now();
    using ms = std::chrono::milliseconds;
    std::printf("10000 lines: written in %lld ms, read in %lld ms, %zu bytes\n",
                static_cast<long long>(std::chrono::duration_cast<ms>(written - start).count()),
                static_cast<long long>(std::chrono::duration_cast<ms>(read - written).count()),
                wts::ReadFileBytes(m_path).size());
    ASSERT_EQ(lines.size(), 10000u);
    EXPECT_EQ(lines[9999] + L"\n", text.substr(text.rfind(L"c:\\", text.size())));
    EXPECT_EQ(wts::ReadFileBytes(m_path), wts::Narrow(
                                             [&] {
                                                 std::wstring crlf;
                                                 for (wchar_t c : text)
                                                     crlf += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
                                                 return crlf;
                                             }(),
                                             932));
    EXPECT_LT(std::chrono::duration_cast<ms>(read - start).count(), 5000);
}

TEST_F(TextStream, ReadLinesStopsAtOverLongLines)
{
    std::wstring fits(1023, L'f');
    Write(L"a\n\n" + fits + L"\n" + fits + L"g\nafter\n");
    std::vector<std::wstring> lines = {L"kept"};
    ReadLines(m_path, lines);
    EXPECT_EQ(lines, (Lines{L"kept", L"a", L"", fits}));

    Write(L"x\ny");
    lines.clear();
    ReadLines(m_path, lines);
    EXPECT_EQ(lines, (Lines{L"x", L"y"}));

    wts::WriteFileBytes(m_path, std::string("a\0b\r\n\r\nc", 8));
    lines.clear();
    ReadLines(m_path, lines);
    EXPECT_EQ(lines, (Lines{std::wstring(L"a\0b", 3), L"", L"c"}));

    lines = {L"kept"};
    ReadLines(m_path + L".missing", lines);
    EXPECT_EQ(lines, (Lines{L"kept"}));
}
