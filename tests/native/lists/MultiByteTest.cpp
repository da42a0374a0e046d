#include "MultiByteReader.h"
#include "MultiByteScan.h"
#include "TestText.h"

#include <gtest/gtest.h>

namespace {
using R = MultiByteScan::Result;

struct Scanned {
    R result;
    size_t length;
};
Scanned Scan(const MultiByteScan& scan, const std::string& bytes)
{
    size_t length = 0;
    R r = scan.Next(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), length);
    return {r, length};
}
void ExpectScan(const MultiByteScan& scan, const std::string& bytes, R result, size_t length)
{
    Scanned s = Scan(scan, bytes);
    EXPECT_EQ(s.result, result) << "bytes of size " << bytes.size();
    if (result != R::Incomplete)
        EXPECT_EQ(s.length, length) << "bytes of size " << bytes.size();
}

std::wstring ReadAll(MultiByteReader& reader, std::vector<uint64_t>* positions = nullptr)
{
    std::wstring out;
    wchar_t c;
    while (reader.ReadChar(c)) {
        out += c;
        if (positions)
            positions->push_back(reader.Position());
    }
    return out;
}

const wchar_t kPair = static_cast<wchar_t>(0x100000 + 0x82A0);   // bytes 82 A0
}

TEST(MultiByteScan, DoubleBytePairsNeverSwallowControlBytes)
{
    MultiByteScan dbcs = testtext::Dbcs();
    ExpectScan(dbcs, "A", R::Complete, 1);
    ExpectScan(dbcs, "\x82\xA0", R::Complete, 2);
    ExpectScan(dbcs, "\xE0\x40", R::Complete, 2);
    ExpectScan(dbcs, "\xA0\x82", R::Complete, 1);   // 0xA0 is no lead byte
    ExpectScan(dbcs, "\x82", R::Incomplete, 0);
    ExpectScan(dbcs, "\x82\n", R::Invalid, 1);
    ExpectScan(dbcs, "\x82\r\n", R::Invalid, 1);
    ExpectScan(dbcs, "\x82" "1", R::Invalid, 1);
    EXPECT_EQ(dbcs.MaxCharBytes(), 2);
    ExpectScan(MultiByteScan(), "\x82", R::Complete, 1);
}

TEST(MultiByteScan, Utf8SequencesByTheirLeadByte)
{
    MultiByteScan utf8 = MultiByteScan::Utf8();
    ExpectScan(utf8, "a", R::Complete, 1);
    ExpectScan(utf8, "\xC3\xA9", R::Complete, 2);
    ExpectScan(utf8, "\xE3\x81\x82", R::Complete, 3);
    ExpectScan(utf8, "\xF0\x9F\x98\x80", R::Complete, 4);
    ExpectScan(utf8, "\xE3\x81", R::Incomplete, 0);
    ExpectScan(utf8, "\xF0\x9F\x98", R::Incomplete, 0);
    ExpectScan(utf8, "\x80", R::Invalid, 1);
    ExpectScan(utf8, "\xC0\x80", R::Invalid, 1);
    ExpectScan(utf8, "\xF5\x80\x80\x80", R::Invalid, 1);
    ExpectScan(utf8, "\xE3\x81" "A", R::Invalid, 2);   // the 'A' starts afresh
    ExpectScan(utf8, "\xC3\n", R::Invalid, 1);
}

TEST(MultiByteReader, ChunkSizeDoesNotChangeWhatIsRead)
{
    const std::string data = "a\x82\xA0" "b\r\n\xE0\x40\x82\n\x82";
    std::vector<uint64_t> large, small;
    MultiByteReader whole = testtext::Reader(data);
    MultiByteReader bytewise = testtext::Reader(data, testtext::Dbcs(), 1);
    std::wstring a = ReadAll(whole, &large);
    std::wstring b = ReadAll(bytewise, &small);
    std::wstring expected = std::wstring(L"a") + kPair + L"b\r\n" +
                            static_cast<wchar_t>(0x100000 + 0xE040) + MultiByteReader::Replacement + L"\n";
    EXPECT_EQ(a, expected);
    EXPECT_EQ(b, expected);
    EXPECT_EQ(large, small);
    // The lone lead byte at the end is not read; positions stop before it.
    EXPECT_EQ(large.back(), data.size() - 1);
    EXPECT_EQ((std::vector<uint64_t>(large.begin(), large.begin() + 3)), (std::vector<uint64_t>{1, 3, 4}));
}

TEST(MultiByteReader, SurrogatePairsAndFailedConversions)
{
    const std::string data = "x\xF0\x9F\x98\x80y\xFF";
    MultiByteReader reader = testtext::Reader(data, MultiByteScan::Utf8(), 2, testtext::Utf8Convert);
    std::vector<uint64_t> positions;
    std::wstring text = ReadAll(reader, &positions);
    ASSERT_EQ(text.size(), 5u);
    EXPECT_EQ(text[1], static_cast<wchar_t>(0xD83D));
    EXPECT_EQ(text[2], static_cast<wchar_t>(0xDE00));
    EXPECT_EQ(text[3], L'y');
    EXPECT_EQ(text[4], MultiByteReader::Replacement);
    EXPECT_EQ(positions, (std::vector<uint64_t>{1, 5, 5, 6, 7}));

    MultiByteReader failing = testtext::Reader(
        "ab", MultiByteScan(), 4096, [](const unsigned char* b, size_t, wchar_t out[2]) -> size_t {
            out[0] = b[0];
            return b[0] == 'b' ? 0 : 1;
        });
    EXPECT_EQ(ReadAll(failing), L"a");
}
