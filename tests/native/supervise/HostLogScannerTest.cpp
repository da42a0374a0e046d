#include "HostLogScanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {
// Feeds a log in pieces of the given size, then ends; returns whether an error line was found.
bool ScanText(HostLogScanner& scanner, const std::string& text, std::wstring& line, size_t piece = 4096)
{
    for (size_t at = scanner.Offset(); at < text.size(); at = scanner.Offset()) {
        size_t n = std::min(piece, text.size() - at);
        uint64_t before = scanner.Offset();
        if (scanner.Feed(text.data() + at, n, line))
            return true;
        if (scanner.Offset() == before)
            break;
    }
    return scanner.AtEnd(line);
}

HostLogScanner MakeScanner()
{
    HostLogScanner scanner;
    scanner.SetErrorTexts({L"ERROR:", L"?IGNORED", L"FAILED"});
    return scanner;
}
}

TEST(HostLogScanner, FindsFirstErrorLineAsRead)
{
    HostLogScanner scanner = MakeScanner();
    std::wstring line;
    EXPECT_TRUE(ScanText(scanner, "loading\r\nerror: cannot open file\r\nsave failed\r\n", line));
    EXPECT_EQ(line, L"error: cannot open file");
}

TEST(HostLogScanner, SwitchedOffTextsAndEmptyLinesFindNothing)
{
    HostLogScanner scanner = MakeScanner();
    std::wstring line;
    EXPECT_FALSE(ScanText(scanner, "ignored: yes\r\n\r\n\n?ignored\r\n", line));
}

TEST(HostLogScanner, LastLineWithoutLineEndCountsButStaysUnread)
{
    HostLogScanner scanner = MakeScanner();
    std::wstring line;
    std::string log = "ok\r\nall good so far";
    EXPECT_FALSE(ScanText(scanner, log, line));
    EXPECT_EQ(scanner.Offset(), log.size());
    // The writer finishes the line with an error text: it is the same line.
    log += " - then Error: late\r\n";
    EXPECT_TRUE(ScanText(scanner, log, line));
    EXPECT_EQ(line, L"all good so far - then Error: late");
}

TEST(HostLogScanner, GoesOnWhereTheLastScanEnded)
{
    HostLogScanner scanner = MakeScanner();
    std::wstring line;
    std::string log = "one\r\ntwo\r\n";
    EXPECT_FALSE(ScanText(scanner, log, line));
    EXPECT_EQ(scanner.Offset(), log.size());
    log += "three error: x\r\n";
    EXPECT_TRUE(ScanText(scanner, log, line));
    EXPECT_EQ(line, L"three error: x");
    // The found line is found again by the next scan, as long as the log holds it.
    EXPECT_TRUE(ScanText(scanner, log, line));
    EXPECT_EQ(line, L"three error: x");
}

TEST(HostLogScanner, RestartReadsANewFileFromItsFirstByte)
{
    HostLogScanner scanner = MakeScanner();
    std::wstring line;
    EXPECT_FALSE(ScanText(scanner, "quiet\r\nquiet again\r\n", line));
    scanner.Restart();
    EXPECT_EQ(scanner.Offset(), 0u);
    EXPECT_TRUE(ScanText(scanner, "error: first\r\nquiet\r\nquiet again\r\n", line, 1));
    EXPECT_EQ(line, L"error: first");
}

TEST(HostLogScanner, ErrorAfterAnOverlongLineIsStillFound)
{
    HostLogScanner scanner = MakeScanner();
    std::wstring line;
    std::string log = std::string(5000, 'x') + "\r\nerror: after the long line\r\n";
    EXPECT_TRUE(ScanText(scanner, log, line));
    EXPECT_EQ(line, L"error: after the long line");
}

TEST(HostLogScanner, ErrorInsideAVeryLongLineIsFoundAndShownCut)
{
    HostLogScanner scanner = MakeScanner();
    std::wstring line;
    // The text straddles the boundary of the examined windows wherever it falls.
    for (size_t where : {size_t(10), size_t(65530), size_t(65536 + 3), size_t(300000)}) {
        std::string log = std::string(where, 'y') + "Error:" + std::string(400000 - where, 'z') + "\n";
        scanner.Restart();
        ASSERT_TRUE(ScanText(scanner, log, line, 7000)) << where;
        EXPECT_EQ(line.size(), HostLogScanner::kShownChars + 3);
        EXPECT_EQ(line.substr(line.size() - 3), L"...");
    }
    scanner.Restart();
    EXPECT_FALSE(ScanText(scanner, std::string(400000, 'q') + "\nfine\n", line));
}

TEST(HostLogScanner, LineOfExactlyTheShownLengthIsNotMarked)
{
    HostLogScanner scanner = MakeScanner();
    std::wstring line;
    std::string text = "failed" + std::string(HostLogScanner::kShownChars - 6, 'a');
    EXPECT_TRUE(ScanText(scanner, text + "\r\n", line));
    EXPECT_EQ(line, std::wstring(text.begin(), text.end()));
}

TEST(HostLogScanner, HundredThousandLinesScanOnceThenOnlyTheNewPart)
{
    HostLogScanner scanner = MakeScanner();
    std::string log;
    for (int i = 0; i < 100000; ++i)
        log += "drawing " + std::to_string(i) + ": layer purged, block updated, nothing to report\r\n";
    std::wstring line;
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(ScanText(scanner, log, line, 64 * 1024));
    auto t1 = std::chrono::steady_clock::now();
    log += "Error: the last drawing\r\n";
    EXPECT_TRUE(ScanText(scanner, log, line, 64 * 1024));
    auto t2 = std::chrono::steady_clock::now();
    EXPECT_EQ(line, L"Error: the last drawing");
    auto ms = [](auto d) { return std::chrono::duration_cast<std::chrono::microseconds>(d).count() / 1000.0; };
    std::printf("first scan of %zu bytes: %.1f ms; next scan: %.3f ms\n", log.size(), ms(t1 - t0), ms(t2 - t1));
    EXPECT_LT(ms(t2 - t1), 50.0);
}

TEST(HostLogScanner, DecoderReadsTheTextLocale)
{
    HostLogScanner scanner;
    scanner.SetErrorTexts({L"FEHLER"});
    // A decoder that maps byte 0xE4 to a-umlaut, as the text locale would.
    scanner.SetDecoder([](const std::string& bytes) {
        std::wstring out;
        for (char c : bytes)
            out += static_cast<unsigned char>(c) == 0xE4 ? L'\u00E4' : static_cast<wchar_t>(c);
        return out;
    });
    std::wstring line;
    EXPECT_TRUE(ScanText(scanner, "Datei \xE4 Fehler\n", line));
    EXPECT_EQ(line, L"Datei \u00E4 Fehler");
}

namespace {
// A log held in memory, read as the file would be: at most `size` bytes from an offset.
HostLogScanner::Reader MemoryReader(const std::string& log, int* reads = nullptr)
{
    return [&log, reads](uint64_t offset, char* buffer, size_t size, size_t& read) {
        if (reads)
            ++*reads;
        read = offset >= log.size() ? 0 : std::min<size_t>(size, log.size() - static_cast<size_t>(offset));
        std::copy(log.data() + offset, log.data() + offset + read, buffer);
        return true;
    };
}

// Scans in slices of `pieces` reads each until the scan ends; the slices it took.
int ScanInSlices(HostLogScanner& scanner, const std::string& log, int pieces, HostLogScanner::Slice& result,
                 std::wstring& line)
{
    int slices = 0;
    do {
        int left = pieces;
        result = scanner.ScanSlice(MemoryReader(log), [&left] { return --left > 0; }, line);
        ++slices;
    } while (result == HostLogScanner::Slice::Unfinished && slices < 100000);
    return slices;
}
}

TEST(HostLogScanner, SlicesExamineEveryLineExactlyOnceWhereverTheyEnd)
{
    // Lines of many lengths, some longer than a piece, so that slices end inside lines, at line ends and
    // inside a carriage return and line feed pair.
    std::string log;
    std::vector<std::string> lines;
    for (int i = 0; i < 3000; ++i) {
        std::string text = "line " + std::to_string(i) + " " + std::string(static_cast<size_t>(i * 37 % 211), 'a');
        if (i % 500 == 7)
            text += std::string(HostLogScanner::kPieceBytes + 11, 'b');
        lines.push_back(text);
        log += text + (i % 3 ? "\r\n" : "\n");
    }
    for (int pieces : {1, 2, 5, 1000}) {
        HostLogScanner scanner = MakeScanner();
        std::vector<std::string> seen;
        scanner.SetDecoder([&seen](const std::string& bytes) {
            seen.push_back(bytes);
            return std::wstring(bytes.begin(), bytes.end());
        });
        HostLogScanner::Slice result;
        std::wstring line;
        int slices = ScanInSlices(scanner, log, pieces, result, line);
        EXPECT_EQ(result, HostLogScanner::Slice::Clean) << pieces;
        EXPECT_EQ(scanner.Offset(), log.size()) << pieces;
        if (pieces == 1)
            EXPECT_GT(slices, 5) << "a slice read more than its one piece";
        // Short lines reach the decoder whole, once each and in order; the long ones in windows.
        std::vector<std::string> whole;
        for (const std::string& bytes : seen)
            if (bytes.size() < 1000 && bytes.compare(0, 5, "line ") == 0)
                whole.push_back(bytes);
        std::vector<std::string> expected;
        for (const std::string& text : lines)
            if (text.size() < 1000)
                expected.push_back(text);
        EXPECT_EQ(whole, expected) << pieces;
    }
}

TEST(HostLogScanner, SlicedScanFindsTheSameErrorLineAsOneScan)
{
    std::string log;
    for (int i = 0; i < 20000; ++i)
        log += "drawing " + std::to_string(i) + " checked\r\n";
    log += "Error: cannot open the external reference\r\nmore\r\n";
    for (int pieces : {1, 3}) {
        HostLogScanner scanner = MakeScanner();
        HostLogScanner::Slice result;
        std::wstring line;
        ScanInSlices(scanner, log, pieces, result, line);
        EXPECT_EQ(result, HostLogScanner::Slice::ErrorLine) << pieces;
        EXPECT_EQ(line, L"Error: cannot open the external reference") << pieces;
        // Found again by the next scan, as the whole scan would.
        EXPECT_EQ(scanner.ScanSlice(MemoryReader(log), [] { return true; }, line), HostLogScanner::Slice::ErrorLine);
    }
    // An error on the unfinished last line is found when the slices reach the end of the file.
    HostLogScanner scanner = MakeScanner();
    std::string unfinished = log.substr(0, log.size() / 2) + "\r\nfailed to save";
    HostLogScanner::Slice result;
    std::wstring line;
    ScanInSlices(scanner, unfinished, 1, result, line);
    EXPECT_EQ(result, HostLogScanner::Slice::ErrorLine);
    EXPECT_EQ(line, L"failed to save");
}

TEST(HostLogScanner, AFailedReadEndsTheSliceWithoutAFinding)
{
    HostLogScanner scanner = MakeScanner();
    std::wstring line;
    auto failing = [](uint64_t, char*, size_t, size_t& read) {
        read = 0;
        return false;
    };
    EXPECT_EQ(scanner.ScanSlice(failing, [] { return true; }, line), HostLogScanner::Slice::Clean);
    EXPECT_EQ(scanner.Offset(), 0u);
}
