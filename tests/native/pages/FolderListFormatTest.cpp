// Folder list files as the Search page reads and writes them.
#include "FolderListFormat.h"

#include <gtest/gtest.h>

using namespace FolderListFormat;

namespace {
NextChar Over(const std::wstring& text)
{
    return [text, i = size_t(0)](wchar_t& c) mutable {
        if (i >= text.size())
            return false;
        c = text[i++];
        return true;
    };
}

std::vector<std::wstring> Read(const std::wstring& text, size_t* skipped = nullptr)
{
    return ReadFolders(Over(text), skipped);
}

using Folders = std::vector<std::wstring>;
}

TEST(FolderListFormat, LinesEndWithCrLfOrLfAndCarriageReturnsVanishAnywhere)
{
    EXPECT_EQ(Read(L"c:\\a\r\nc:\\b\nc:\\c"), (Folders{L"c:\\a", L"c:\\b", L"c:\\c"}));
    EXPECT_EQ(Read(L"c:\\a\r\r\n\rc:\\b\r"), (Folders{L"c:\\a", L"c:\\b"}));
    EXPECT_EQ(Read(L""), Folders{});
    EXPECT_EQ(Read(L"\r\n"), Folders{});
}

TEST(FolderListFormat, BlankLinesAreSkippedAndReadingGoesOn)
{
    size_t skipped = 99;
    EXPECT_EQ(Read(L"c:\\a\r\n\r\n   \r\n\t\r\nc:\\b\r\n\r\n", &skipped), (Folders{L"c:\\a", L"c:\\b"}));
    EXPECT_EQ(skipped, 0u) << "blank lines are not counted as unusable";
}

TEST(FolderListFormat, FolderTextsKeepTheirBlanksAndCase)
{
    EXPECT_EQ(Read(L"  C:\\Program Files\\Draxil \r\n"), (Folders{L"  C:\\Program Files\\Draxil "}));
}

TEST(FolderListFormat, LongLinesUpToTheLimitStayWhole)
{
    std::wstring longFolder = L"c:\\" + std::wstring(MaxLineLength - 3, L'x');
    Folders folders = Read(L"c:\\a\r\n" + longFolder + L"\r\nc:\\b\r\n");
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[1].size(), MaxLineLength);
    EXPECT_EQ(folders[1], longFolder);
    EXPECT_EQ(folders[2], L"c:\\b");
}

TEST(FolderListFormat, ALineLongerThanAnyPathIsSkippedWithoutBeingHeld)
{
    size_t skipped = 0;
    std::wstring huge(MaxLineLength + 1, L'y');
    EXPECT_EQ(Read(L"c:\\a\r\n" + huge + L"\r\nc:\\b", &skipped), (Folders{L"c:\\a", L"c:\\b"}));
    EXPECT_EQ(skipped, 1u);

    // A file without any line end: one unusable line, read in bounded memory.
    EXPECT_EQ(Read(std::wstring(5 * MaxLineLength, L'z'), &skipped), Folders{});
    EXPECT_EQ(skipped, 1u);
}

TEST(FolderListFormat, ALineWithANulNamesNoFolder)
{
    size_t skipped = 0;
    std::wstring text = L"c:\\a\r\nc:\\b";
    text += L'\0';
    text += L"c\r\nc:\\d";
    EXPECT_EQ(Read(text, &skipped), (Folders{L"c:\\a", L"c:\\d"}));
    EXPECT_EQ(skipped, 1u);
}

TEST(FolderListFormat, WrittenListsReadBackUnchanged)
{
    Folders folders = {L"c:\\draxil\\support", L"D:\\Zeichnungen\\Übersicht", L"\\\\srv\\share\\blocks",
                       std::wstring(400, L'q')};
    std::wstring text = FolderListText(folders);
    EXPECT_EQ(text.substr(0, 19), L"c:\\draxil\\support\r\n");
    EXPECT_EQ(text.substr(text.size() - 2), L"\r\n");
    EXPECT_EQ(Read(text), folders);
}

TEST(FolderListFormat, ByteOrderMarksSelectTheEncoding)
{
    size_t mark = 9;
    EXPECT_EQ(DetectEncoding("\xEF\xBB\xBF" "c:\\a", mark), Encoding::Utf8);
    EXPECT_EQ(mark, 3u);
    EXPECT_EQ(DetectEncoding("\xFF\xFE" "c\0", mark), Encoding::Utf16Le);
    EXPECT_EQ(mark, 2u);
    EXPECT_EQ(DetectEncoding("c:\\a", mark), Encoding::Ansi);
    EXPECT_EQ(mark, 0u);
    EXPECT_EQ(DetectEncoding("\xEF\xBB", mark), Encoding::Ansi) << "a mark cut short is text";
    EXPECT_EQ(DetectEncoding("", mark), Encoding::Ansi);
}

TEST(FolderListFormat, Utf8RoundTripsEveryCharacterOfAPath)
{
    // Cyrillic, Japanese, Greek and a character outside the basic plane (a surrogate pair).
    std::wstring names = L"c:\\\x0427\x0435\x0440\x0442\x0435\x0436\x0438\\\x56f3\x9762\\\x03a3\\";
    names += static_cast<wchar_t>(0xD83D);
    names += static_cast<wchar_t>(0xDCC1);
    std::string bytes = ToUtf8(names);
    EXPECT_EQ(bytes.substr(0, 5), "c:\\\xD0\xA7");
    EXPECT_EQ(FromUtf8(bytes, 0), names);
    EXPECT_EQ(FromUtf8("\xEF\xBB\xBF" + bytes, 3), names);
}

TEST(FolderListFormat, MalformedUtf8BecomesReplacementCharactersNotLostNeighbours)
{
    // A stray continuation byte, a cut sequence, an overlong slash and an encoded surrogate.
    std::wstring text = FromUtf8("a\x80" "b\xE3\x81" "c\xC0\xAF" "d\xED\xA0\x80" "e", 0);
    EXPECT_EQ(text, L"a\xFFFD" L"b\xFFFD\xFFFD" L"c\xFFFD\xFFFD" L"d\xFFFD\xFFFD\xFFFD" L"e");
    std::wstring lone(1, static_cast<wchar_t>(0xDC00));
    EXPECT_EQ(ToUtf8(lone), "\xEF\xBF\xBD");
}

TEST(FolderListFormat, Utf16LittleEndianDropsAnOddLastByte)
{
    std::string bytes("\xFF\xFE" "c\0:\0\x27\x04" "x", 9);
    EXPECT_EQ(FromUtf16Le(bytes, 2), L"c:\x0427");
}
