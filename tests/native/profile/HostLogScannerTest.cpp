#include "HostLogScanner.h"

#include <gtest/gtest.h>

#include <chrono>

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
