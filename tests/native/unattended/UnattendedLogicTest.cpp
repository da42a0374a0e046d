// The pure parts of unattended runs: the command line, the CSV report and the time left.
#include "KestCommandLine.h"
#include "ReportCsv.h"
#include "TimeLeft.h"

#include <gtest/gtest.h>

namespace {
struct LineCase {
    std::vector<std::wstring> arguments;
    bool runsUnattended, help;
    std::wstring list, log;
    size_t unknown;
};

TEST(CommandLine, SwitchesValuesAndMistakes)
{
    const LineCase cases[] = {
        {{}, false, false, L"", L"", 0},
        {{L"/unattended", L"/list", L"c:\\a b\\all.dml"}, true, false, L"c:\\a b\\all.dml", L"", 0},
        {{L"-UNATTENDED", L"/LIST", L"x.dml", L"/Log", L"n.log"}, true, false, L"x.dml", L"n.log", 0},
        {{L"/list", L"x.dml", L"/unattended"}, true, false, L"x.dml", L"", 0},
        {{L"/?"}, false, true, L"", L"", 0},
        {{L"/unattended"}, false, false, L"", L"", 1},                    // no list
        {{L"/unattended", L"/list"}, false, false, L"", L"", 1},          // list without value
        {{L"/unattended", L"/list", L"/log", L"n.log"}, false, false, L"", L"n.log", 1},
        {{L"/unattended", L"/list", L"", L"/x"}, false, false, L"", L"", 3},
        {{L"/unattended", L"/list", L"a.dml", L"stray"}, false, false, L"a.dml", L"", 1},
        {{L"/bogus"}, false, false, L"", L"", 1},
        {{L"/"}, false, false, L"", L"", 1},
    };
    for (const LineCase& c : cases) {
        KestCommandLine line = KestCommandLine::Parse(c.arguments);
        const std::wstring first = c.arguments.empty() ? L"(none)" : c.arguments[0];
        SCOPED_TRACE(std::string(first.begin(), first.end()));
        EXPECT_EQ(line.RunsUnattended(), c.runsUnattended);
        EXPECT_EQ(line.help, c.help);
        EXPECT_EQ(line.list, c.list);
        EXPECT_EQ(line.log, c.log);
        EXPECT_EQ(line.unknown.size(), c.unknown);
    }
}

TEST(ReportCsv, FieldsAreQuotedWhereTheyMustBeAndStayText)
{
    const std::pair<std::wstring, std::string> cases[] = {
        {L"c:\\drawings\\part 01.dwg", "c:\\drawings\\part 01.dwg"},
        {L"", ""},
        {L"a,b", "\"a,b\""},
        {L"say \"no\"", "\"say \"\"no\"\"\""},
        {L"two\r\nlines", "\"two\r\nlines\""},
        {L"semi;colon", "\"semi;colon\""},
        {L" padded ", "\" padded \""},
        {L"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {L"+1", "'+1"},
        {L"-2", "'-2"},
        {L"@sum", "'@sum"},
        {std::wstring(L"nul\0byte", 8), "nulbyte"},
        {L"\u00e4\u65e5", "\xC3\xA4\xE6\x97\xA5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReportCsv::Field(c.first), c.second);
}

TEST(ReportCsv, Utf8OfSurrogatesAndBrokenOnes)
{
    std::wstring pair;
    pair += static_cast<wchar_t>(0xD83D);
    pair += static_cast<wchar_t>(0xDE00);
    if (sizeof(wchar_t) == 2)
        EXPECT_EQ(ReportCsv::Utf8(pair), "\xF0\x9F\x98\x80");
    EXPECT_EQ(ReportCsv::Utf8(std::wstring(1, static_cast<wchar_t>(0xDC00)) + L"a"), "\xEF\xBF\xBD" "a");
    EXPECT_EQ(ReportCsv::Utf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

TEST(ReportCsv, DocumentHasTheMarkOneHeaderAndARowPerDrawing)
{
    std::vector<ReportCsv::Row> rows(3);
    rows[0] = {L"c:\\a.dwg", L"Draxil 2010", ReportCsv::Result::Migrated, 12, L""};
    rows[1] = {L"c:\\b,c.dwg", L"", ReportCsv::Result::HostError, 0, L"ERROR: block table \"damaged\""};
    rows[2] = {L"c:\\gone.dwg", L"", ReportCsv::Result::Missing, -1, L""};
    EXPECT_EQ(ReportCsv::Document(rows),
              "\xEF\xBB\xBFpath,release,result,seconds,host error\r\n"
              "c:\\a.dwg,Draxil 2010,migrated,12,\r\n"
              "\"c:\\b,c.dwg\",,host error,0,\"ERROR: block table \"\"damaged\"\"\"\r\n"
              "c:\\gone.dwg,,missing,,\r\n");
    EXPECT_EQ(ReportCsv::Document({}), "\xEF\xBB\xBFpath,release,result,seconds,host error\r\n");
}

TEST(ReportCsv, ReportsOfOtherWorkstationsReadBackAndJoinOneRowPerDrawing)
{
    using R = ReportCsv::Result;
    std::vector<ReportCsv::Row> written = {
        {L"c:\\a.dwg", L"Draxil 2010", R::Migrated, 12, L""},
        {L"c:\\b,c \"x\".dwg", L"", R::HostError, 0, L"ERROR:\r\nline two"},
        {L"c:\\\u00e4\U0001F600.dwg", L" ", R::Missing, -1, L"=1+1"},
    };
    std::vector<ReportCsv::Row> read;
    ASSERT_TRUE(ReportCsv::Parse(ReportCsv::Document(written), read));
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[1].path, written[1].path);
    EXPECT_EQ(read[1].hostError, written[1].hostError);
    EXPECT_EQ(read[2].path, written[2].path);
    EXPECT_EQ(read[2].seconds, -1);
    EXPECT_EQ(read[2].hostError, L"'=1+1") << "stays text when written again";
    EXPECT_EQ(ReportCsv::Document(read), ReportCsv::Document({written[0], written[1], read[2]}));

    const std::string head = "\xEF\xBB\xBFpath,release,result,seconds,host error\r\n";
    const struct {
        std::string bytes;
        bool report;
        size_t rows;
    } cases[] = {
        {"", false, 0},
        {"path,release,result,seconds,host error\r\n", false, 0},   // no byte order mark
        {head, true, 0},
        {head + "\"c:\\open.dwg,,migrated,1,\r\n", false, 0},        // a quote left open
        {head + "\"c:\\a\"x,,migrated,1,\r\n", false, 0},             // bytes after a closing quote
        {head + "c:\\a,,exploded,1,\r\nc:\\b,,migrated,-1,\r\nc:\\c,,migrated,99999999999999,\r\n", true, 0},
        {head + "c:\\a,,migrated\r\n,,migrated,1,\r\n\r\n", true, 0},   // too few fields, no path, empty line
        {head + "c:\\a,\xFF\xC3,migrated,1,\nc:\\b,,missing,,", true, 2},   // broken UTF-8, LF, no last line end
    };
    for (const auto& c : cases) {
        std::vector<ReportCsv::Row> rows;
        EXPECT_EQ(ReportCsv::Parse(c.bytes, rows), c.report) << c.bytes;
        EXPECT_EQ(rows.size(), c.rows) << c.bytes;
    }

    // The later report's row of a drawing wins, whatever the case of its path.
    std::vector<ReportCsv::Row> all = {{L"C:\\A.DWG", L"", R::NotMigrated, -1, L""}, written[1]};
    ReportCsv::Merge(all, {written[0], written[2]});
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].result, R::Migrated);
    EXPECT_EQ(all[2].path, written[2].path);
}

TEST(ReportCsv, NamesOfResultsAndOfTheFileBesideTheLog)
{
    using R = ReportCsv::Result;
    const std::pair<R, std::string> names[] = {
        {R::Migrated, "migrated"},   {R::NotMigrated, "not migrated"}, {R::TimedOut, "timed out"},
        {R::HostError, "host error"}, {R::Missing, "missing"},         {R::ReadOnly, "read-only"},
        {R::OpenElsewhere, "open elsewhere"},
    };
    for (const auto& n : names)
        EXPECT_EQ(ReportCsv::ResultName(n.first), n.second);

    const std::pair<std::wstring, std::wstring> paths[] = {
        {L"c:\\logs\\night.log", L"c:\\logs\\night.csv"},
        {L"c:\\logs\\night", L"c:\\logs\\night.csv"},
        {L"c:\\logs.d\\night", L"c:\\logs.d\\night.csv"},
        {L"DrxlMMigr.log", L"DrxlMMigr.csv"},
        {L"c:\\a\\b.tar.log", L"c:\\a\\b.tar.csv"},
    };
    for (const auto& p : paths)
        EXPECT_EQ(ReportCsv::PathBesideLog(p.first), p.second);
}

TEST(TimeLeft, EstimatedFromTheMeanOfFinishedDrawingsAndRounded)
{
    struct Case {
        int finished, remaining;
        double elapsed;
        TimeLeft::Kind kind;
        int hours, minutes;
    };
    using K = TimeLeft::Kind;
    const Case cases[] = {
        {2, 10, 100.0, K::Unknown, 0, 0},          // fewer than three done
        {3, 0, 100.0, K::Unknown, 0, 0},           // nothing left
        {3, 5, -1.0, K::Unknown, 0, 0},            // clock went back
        {3, 1, 30.0, K::UnderAMinute, 0, 0},       // 10 s
        {3, 3, 59.0, K::UnderAMinute, 0, 0},       // 59 s
        {3, 3, 60.0, K::Minutes, 0, 1},            // 60 s
        {4, 10, 240.0, K::Minutes, 0, 10},
        {3, 2, 3982.5, K::Minutes, 0, 44},         // 44.25 min
        {3, 100, 3 * 78.0, K::Hours, 2, 10},       // 7800 s = 2 h 10 min
        {3, 100, 3 * 107.0, K::Hours, 3, 0},       // 2 h 58 min 20 s -> about 3 h
        {10, 50000, 10 * 40.0, K::Hours, 555, 30}, // an archive: 555 h 33 min
        {3, 1000000, 3 * 1.0e9, K::Unknown, 0, 0}, // absurd
    };
    for (const Case& c : cases) {
        TimeLeft left = TimeLeft::Estimate(c.finished, c.remaining, c.elapsed);
        SCOPED_TRACE(c.elapsed);
        EXPECT_EQ(left.kind, c.kind);
        EXPECT_EQ(left.hours, c.hours);
        EXPECT_EQ(left.minutes, c.minutes);
    }
}

TEST(TimeLeft, TextsOfEachKindAndFormatsThatDoNotFit)
{
    TimeLeft::Texts texts = {L"less than a minute left", L"about %d min left", L"about %d h %d min left",
                             L"about %d h left"};
    TimeLeft left;
    EXPECT_EQ(left.Format(texts), L"");
    left.kind = TimeLeft::Kind::UnderAMinute;
    EXPECT_EQ(left.Format(texts), L"less than a minute left");
    left = TimeLeft::Estimate(3, 100, 3 * 78.0);
    EXPECT_EQ(left.Format(texts), L"about 2 h 10 min left");
    left = TimeLeft::Estimate(3, 100, 3 * 107.0);
    EXPECT_EQ(left.Format(texts), L"about 3 h left");
    left = TimeLeft::Estimate(3, 3, 600.0);
    EXPECT_EQ(left.Format(texts), L"about 10 min left");
    TimeLeft::Texts broken = {L"", L"noch %s", L"%d", L"%d h %d"};
    EXPECT_EQ(left.Format(broken), L"noch %s 10");
    left = TimeLeft::Estimate(3, 100, 3 * 78.0);
    EXPECT_EQ(left.Format(broken), L"%d 2 10");
}
}
