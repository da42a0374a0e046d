// Native tests of Lustrane's portable logic against fakes of the
// registry, the log and the command line.
#include "FakePlatform.h"
#include "LustraneCore.h"

#include <gtest/gtest.h>

using lustrane::Text;

namespace {

const Text kHeader = u"Sanitizing under HKLM\\SOFTWARE\\Korvane\\Draxil\\R26.0\\DRXL-A105\\Install";
const Text kCannotOpen5 =
    u"  cannot open HKLM\\SOFTWARE\\Korvane\\Draxil\\R26.0\\DRXL-A105\\Install for write; error 5";

// A whole run: program name plus the given names.
struct Session {
    fake::Registry registry;
    fake::Log log;
    int exitCode = -12345;
    int releases = 0;
    std::size_t linesAtRelease = 0;

    int Go(std::vector<Text> names)
    {
        names.insert(names.begin(), u"Lustrane.exe");
        fake::CommandLine commandLine(names, &log);
        exitCode = lustrane::RunLustrane(commandLine, registry, log);
        releases = commandLine.releases;
        linesAtRelease = commandLine.linesAtRelease;
        return exitCode;
    }
};

} // namespace

// ---- NormalizeInstallPath ------------------------------------------------

TEST(NormalizeInstallPath, ThePartsExamples)
{
    using lustrane::NormalizeInstallPath;
    EXPECT_EQ(NormalizeInstallPath(u"D:\\Apps\\Host\\"), u"D:\\Apps\\Host");
    EXPECT_EQ(NormalizeInstallPath(u"D:\\Apps\\Host\\\""), u"D:\\Apps\\Host");
    EXPECT_EQ(NormalizeInstallPath(u"\"D:\\Apps\\Host\\\""), u"\"D:\\Apps\\Host");
    EXPECT_EQ(NormalizeInstallPath(u"C:\\"), u"C:\\");
    EXPECT_EQ(NormalizeInstallPath(u"C:\\\\"), u"C:\\\\");
    EXPECT_EQ(NormalizeInstallPath(u"C:\\\""), u"C:\\");
    EXPECT_EQ(NormalizeInstallPath(u"C:\""), u"C:");
    EXPECT_EQ(NormalizeInstallPath(u"C:"), u"C:");
    EXPECT_EQ(NormalizeInstallPath(u"\\"), u"");
    EXPECT_EQ(NormalizeInstallPath(u"\"\""), u"");
}

TEST(NormalizeInstallPath, EdgeCasesOfThePart)
{
    using lustrane::NormalizeInstallPath;
    EXPECT_EQ(NormalizeInstallPath(u""), u"");
    EXPECT_EQ(NormalizeInstallPath(u"D:\\Apps\\Host\\\\\\"), u"D:\\Apps\\Host"); // three, one step
    EXPECT_EQ(NormalizeInstallPath(u"\"\\\"\\\\\"\""), u"");                   // any mix and number
    EXPECT_EQ(NormalizeInstallPath(u"d:\\apps\\HOST"), u"d:\\apps\\HOST");       // case stays
}

TEST(NormalizeInstallPath, NothingElseChanges)
{
    using lustrane::NormalizeInstallPath;
    // Leading and inner quotes, doubled inner separators, slashes, blanks, ";".
    EXPECT_EQ(NormalizeInstallPath(u"\"D:\\A\"pp\\\\x/y z;E:\\F\\"), u"\"D:\\A\"pp\\\\x/y z;E:\\F");
    EXPECT_EQ(NormalizeInstallPath(u"  D:\\Apps  \\"), u"  D:\\Apps  ");
    EXPECT_EQ(NormalizeInstallPath(u"D:/Apps/"), u"D:/Apps/");
    EXPECT_EQ(NormalizeInstallPath(u"\\\\server\\share\\"), u"\\\\server\\share");
}

TEST(NormalizeInstallPath, DriveRootNeedsALetterAndAColon)
{
    using lustrane::NormalizeInstallPath;
    EXPECT_EQ(NormalizeInstallPath(u"z:\\\""), u"z:\\");
    EXPECT_EQ(NormalizeInstallPath(u"1:\\"), u"1:");  // a digit is no letter
    EXPECT_EQ(NormalizeInstallPath(u":C\\"), u":C");
    EXPECT_EQ(NormalizeInstallPath(u"C;\\"), u"C;");
    EXPECT_EQ(NormalizeInstallPath(u"CD:\\"), u"CD:");
    EXPECT_EQ(NormalizeInstallPath(u"C:x\\"), u"C:x");
    EXPECT_EQ(NormalizeInstallPath(u"\"C:\\"), u"\"C:"); // three characters before the tail
    EXPECT_TRUE(lustrane::IsDriveDesignator(u"Q:"));
    EXPECT_FALSE(lustrane::IsDriveDesignator(u"Q:\\"));
    EXPECT_FALSE(lustrane::IsDriveDesignator(u"_:"));
}

// The mended drive-root rule: a tail that mixes quotes and backslashes keeps
// only the backslashes that directly follow "X:".
TEST(NormalizeInstallPath, DriveRootWithAMixedTail)
{
    using lustrane::NormalizeInstallPath;
    EXPECT_EQ(NormalizeInstallPath(u"C:\"\\"), u"C:");
    EXPECT_EQ(NormalizeInstallPath(u"C:\\\"\\"), u"C:\\");
    EXPECT_EQ(NormalizeInstallPath(u"C:\\\\\"\\\""), u"C:\\\\");
    EXPECT_EQ(NormalizeInstallPath(u"C:\"\"\\\\"), u"C:");
}

TEST(NormalizeInstallPath, Idempotent)
{
    for (const Text& t : {Text(u"D:\\Apps\\Host\\\""), Text(u"C:\\\"\\"), Text(u"C:\\\\"), Text(u"x\"\\")}) {
        Text once = lustrane::NormalizeInstallPath(t);
        EXPECT_EQ(lustrane::NormalizeInstallPath(once), once);
    }
}

// ---- small helpers ---------------------------------------------------------

TEST(Decimal, SignedWithoutLeadingZeros)
{
    EXPECT_EQ(lustrane::Decimal(0), u"0");
    EXPECT_EQ(lustrane::Decimal(5), u"5");
    EXPECT_EQ(lustrane::Decimal(1630), u"1630");
    EXPECT_EQ(lustrane::Decimal(-1), u"-1");
    EXPECT_EQ(lustrane::Decimal(2147483647), u"2147483647");
    EXPECT_EQ(lustrane::Decimal(-2147483647 - 1), u"-2147483648");
}

TEST(ComposeLogPath, DropsWhatDoesNotFit)
{
    Text path;
    char16_t buffer[260] = {};
    const Text temp = u"C:\\users\\me\\Temp\\";
    for (std::size_t i = 0; i < temp.size(); ++i)
        buffer[i] = temp[i];
    ASSERT_TRUE(lustrane::ComposeLogPath(static_cast<std::uint32_t>(temp.size()), buffer, path));
    EXPECT_EQ(path, u"C:\\users\\me\\Temp\\Lustrane.log");
    EXPECT_FALSE(lustrane::ComposeLogPath(0, buffer, path));   // GetTempPathW failed
    EXPECT_FALSE(lustrane::ComposeLogPath(260, buffer, path)); // 260 or more: too long
    EXPECT_FALSE(lustrane::ComposeLogPath(300, buffer, path));

    // 247 characters + "Lustrane.log" (12) + terminator = 260: fits; 248 does not.
    char16_t full[260] = {};
    for (int i = 0; i < 259; ++i)
        full[i] = u'a';
    full[247] = u'\0';
    ASSERT_TRUE(lustrane::ComposeLogPath(247, full, path));
    EXPECT_EQ(path.size(), 259u);
    full[247] = u'a';
    full[248] = u'\0';
    EXPECT_FALSE(lustrane::ComposeLogPath(248, full, path));
    full[248] = u'a';
    full[259] = u'\0';
    EXPECT_FALSE(lustrane::ComposeLogPath(259, full, path));
}

// ---- ReadInstallValue --------------------------------------------------------

TEST(ReadInstallValue, AsksForTheSizeThenReadsWithTheSameFlags)
{
    fake::Registry registry;
    registry.values[u"A"] = fake::String(u"D:\\Apps\\Host\\");
    Text text;
    ASSERT_TRUE(lustrane::ReadInstallValue(registry, u"A", text));
    EXPECT_EQ(text, u"D:\\Apps\\Host\\");
    ASSERT_EQ(registry.gets.size(), 2u);
    for (const fake::GetCall& call : registry.gets) {
        EXPECT_EQ(call.subKey, lustrane::kInstallKey);
        EXPECT_EQ(call.name, u"A");
        EXPECT_EQ(call.flags, 0x10010002u); // RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY | RRF_NOEXPAND
    }
    EXPECT_FALSE(registry.gets[0].withData);
    EXPECT_TRUE(registry.gets[1].withData);
    EXPECT_EQ(registry.gets[1].bytesIn, 28u); // 13 characters and the NUL
}

TEST(ReadInstallValue, FalseForMissingOtherTypeEmptyAndTooSmall)
{
    fake::Registry registry;
    registry.values[u"Number"] = fake::Dword(42);
    registry.values[u"Empty"] = fake::String(u"");
    registry.values[u"Nul"] = fake::String(u"\0x", true);
    registry.values[u"OneByte"] = fake::Value{lustrane::kTypeString, {'x'}};
    registry.values[u"NoBytes"] = fake::Value{lustrane::kTypeString, {}};
    Text text = u"untouched";
    for (const Text& name : {u"Missing", u"Number", u"Empty", u"OneByte", u"NoBytes"}) {
        EXPECT_FALSE(lustrane::ReadInstallValue(registry, name, text)) << std::string(name.begin(), name.end());
    }
    // A value whose first character is NUL reads as empty.
    EXPECT_FALSE(lustrane::ReadInstallValue(registry, u"Nul", text));
}

TEST(ReadInstallValue, AnExpandStringIsNotAPlainString)
{
    fake::Registry registry;
    fake::Value expand = fake::String(u"%SystemDrive%\\x\\");
    expand.type = fake::kExpandString;
    registry.values[u"E"] = expand;
    Text text;
    EXPECT_FALSE(lustrane::ReadInstallValue(registry, u"E", text));
    fake::Log log;
    EXPECT_TRUE(lustrane::SanitizeValue(registry, log, u"E"));
    EXPECT_EQ(log.lines, std::vector<Text>{u"E: not set; nothing to sanitize."});
    EXPECT_TRUE(registry.opens.empty());
}

TEST(ReadInstallValue, CutsAtTheFirstNul)
{
    fake::Registry registry;
    registry.values[u"A"] = fake::String(Text(u"D:\\x\\\0tail\\", 11));
    Text text;
    ASSERT_TRUE(lustrane::ReadInstallValue(registry, u"A", text));
    EXPECT_EQ(text, u"D:\\x\\");
}

TEST(ReadInstallValue, UnterminatedData)
{
    fake::Registry registry;
    registry.values[u"A"] = fake::String(u"D:\\x\\", false);
    Text text;
    ASSERT_TRUE(lustrane::ReadInstallValue(registry, u"A", text));
    EXPECT_EQ(text, u"D:\\x\\");
}

TEST(ReadInstallValue, OddSizeNeverOverrunsTheBuffer)
{
    // 5 bytes: the buffer holds 2 characters, and its own 4 bytes are passed.
    fake::Registry registry;
    registry.values[u"A"] = fake::Value{lustrane::kTypeString, {'a', 0, 'b', 0, 'c'}};
    Text text;
    EXPECT_FALSE(lustrane::ReadInstallValue(registry, u"A", text));
    ASSERT_EQ(registry.gets.size(), 2u);
    EXPECT_EQ(registry.gets[1].bytesIn, 4u);
}

TEST(ReadInstallValue, FalseWhenTheValueGrowsBetweenTheReads)
{
    fake::Registry registry;
    registry.values[u"A"] = fake::String(u"D:\\x\\");
    registry.growAfterSizeQuery.insert(u"A");
    Text text;
    EXPECT_FALSE(lustrane::ReadInstallValue(registry, u"A", text));
}

// ---- WriteInstallValue -------------------------------------------------------

TEST(WriteInstallValue, SetsAPlainStringWithItsNul)
{
    fake::Registry registry;
    fake::Log log;
    ASSERT_TRUE(lustrane::WriteInstallValue(registry, log, u"A", u"D:\\x"));
    ASSERT_EQ(registry.opens.size(), 1u);
    EXPECT_EQ(registry.opens[0].subKey, lustrane::kInstallKey);
    EXPECT_EQ(registry.opens[0].options, 0u);
    EXPECT_EQ(registry.opens[0].access, 0x102u);
    ASSERT_EQ(registry.sets.size(), 1u);
    EXPECT_EQ(registry.sets[0].name, u"A");
    EXPECT_EQ(registry.sets[0].type, 1u);
    EXPECT_EQ(registry.sets[0].data.size(), 10u); // 2 x (4 + 1)
    EXPECT_EQ(registry.sets[0].data[8], 0);
    EXPECT_EQ(registry.sets[0].data[9], 0);
    EXPECT_EQ(registry.closes.size(), 1u);
    EXPECT_EQ(registry.openKeys, 0);
    EXPECT_TRUE(log.lines.empty());
}

TEST(WriteInstallValue, FailingOpen)
{
    fake::Registry registry;
    registry.openError = 5;
    fake::Log log;
    EXPECT_FALSE(lustrane::WriteInstallValue(registry, log, u"A", u"D:\\x"));
    EXPECT_EQ(log.lines, std::vector<Text>{kCannotOpen5});
    EXPECT_TRUE(registry.sets.empty());
    EXPECT_TRUE(registry.closes.empty());
}

TEST(WriteInstallValue, FailingSetClosesTheKey)
{
    fake::Registry registry;
    registry.setError[u"A b"] = 1018; // ERROR_KEY_DELETED
    fake::Log log;
    EXPECT_FALSE(lustrane::WriteInstallValue(registry, log, u"A b", u"D:\\x"));
    EXPECT_EQ(log.lines, std::vector<Text>{u"  cannot write A b; error 1018"});
    EXPECT_EQ(registry.closes.size(), 1u);
    EXPECT_EQ(registry.openKeys, 0);
}

TEST(WriteInstallValue, NegativeErrorCodes)
{
    fake::Registry registry;
    registry.openError = -1;
    fake::Log log;
    EXPECT_FALSE(lustrane::WriteInstallValue(registry, log, u"A", u"x"));
    EXPECT_EQ(log.lines, std::vector<Text>{
                             u"  cannot open HKLM\\SOFTWARE\\Korvane\\Draxil\\R26.0\\DRXL-A105\\Install for write; "
                             u"error -1"});
}

// ---- SanitizeValue: every row of the outcome table ---------------------------

TEST(SanitizeValue, NotSetIsClean)
{
    fake::Registry registry;
    registry.values[u"Number"] = fake::Dword(7);
    registry.values[u"Empty"] = fake::String(u"");
    fake::Log log;
    EXPECT_TRUE(lustrane::SanitizeValue(registry, log, u"Missing"));
    EXPECT_TRUE(lustrane::SanitizeValue(registry, log, u"Number"));
    EXPECT_TRUE(lustrane::SanitizeValue(registry, log, u"Empty"));
    EXPECT_EQ(log.lines, (std::vector<Text>{u"Missing: not set; nothing to sanitize.",
                                            u"Number: not set; nothing to sanitize.",
                                            u"Empty: not set; nothing to sanitize."}));
    EXPECT_TRUE(registry.opens.empty());
    EXPECT_EQ(registry.values[u"Number"].type, fake::kDword);
}

TEST(SanitizeValue, NormalizesToNothingIsDirtyAndUntouched)
{
    fake::Registry registry;
    registry.values[u"C"] = fake::String(u"\"\\\"");
    fake::Log log;
    EXPECT_FALSE(lustrane::SanitizeValue(registry, log, u"C"));
    EXPECT_EQ(log.lines, std::vector<Text>{u"C: [\"\\\"] normalizes to nothing; left as is."});
    EXPECT_TRUE(registry.opens.empty());
    EXPECT_EQ(registry.StringOf(u"C"), u"\"\\\"");
}

TEST(SanitizeValue, AlreadyCleanIsNotWritten)
{
    fake::Registry registry;
    registry.values[u"A"] = fake::String(u"d:\\Apps\\HOST");
    registry.openError = 5; // no write access is needed
    fake::Log log;
    EXPECT_TRUE(lustrane::SanitizeValue(registry, log, u"A"));
    EXPECT_EQ(log.lines, std::vector<Text>{u"A: already clean [d:\\Apps\\HOST]."});
    EXPECT_TRUE(registry.opens.empty());
}

TEST(SanitizeValue, Rewritten)
{
    fake::Registry registry;
    registry.values[u"A"] = fake::String(u"D:\\Apps\\Host\\\\\\");
    fake::Log log;
    EXPECT_TRUE(lustrane::SanitizeValue(registry, log, u"A"));
    EXPECT_EQ(log.lines, std::vector<Text>{u"A: [D:\\Apps\\Host\\\\\\] -> [D:\\Apps\\Host]."});
    EXPECT_EQ(registry.StringOf(u"A"), u"D:\\Apps\\Host");
    EXPECT_EQ(registry.sets.size(), 1u);
}

TEST(SanitizeValue, RewriteFailedAtOpen)
{
    fake::Registry registry;
    registry.values[u"A"] = fake::String(u"C:\\\"");
    registry.openError = 5;
    fake::Log log;
    EXPECT_FALSE(lustrane::SanitizeValue(registry, log, u"A"));
    EXPECT_EQ(log.lines, (std::vector<Text>{kCannotOpen5, u"A: [C:\\\"] -> [C:\\] FAILED."}));
    EXPECT_EQ(registry.StringOf(u"A"), u"C:\\\"");
}

TEST(SanitizeValue, RewriteFailedAtSet)
{
    fake::Registry registry;
    registry.values[u"A"] = fake::String(u"D:\\x\\");
    registry.setError[u"A"] = 1021; // ERROR_CHILD_MUST_BE_VOLATILE, any code will do
    fake::Log log;
    EXPECT_FALSE(lustrane::SanitizeValue(registry, log, u"A"));
    EXPECT_EQ(log.lines, (std::vector<Text>{u"  cannot write A; error 1021", u"A: [D:\\x\\] -> [D:\\x] FAILED."}));
    EXPECT_EQ(registry.openKeys, 0);
}

// ---- RunLustrane ------------------------------------------------------------

TEST(RunLustrane, WorkedExample)
{
    Session run;
    run.registry.values[u"A"] = fake::String(u"D:\\Apps\\Host\\");
    run.registry.values[u"C"] = fake::String(u"\\");
    EXPECT_EQ(run.Go({u"A", u"B", u"C"}), 1);
    EXPECT_EQ(run.log.lines, (std::vector<Text>{
                                 kHeader,
                                 u"A: [D:\\Apps\\Host\\] -> [D:\\Apps\\Host].",
                                 u"B: not set; nothing to sanitize.",
                                 u"C: [\\] normalizes to nothing; left as is.",
                                 u"Done; 1 value(s) left dirty.",
                             }));
    EXPECT_EQ(run.registry.StringOf(u"A"), u"D:\\Apps\\Host");
    EXPECT_EQ(run.registry.StringOf(u"C"), u"\\");
    EXPECT_EQ(run.releases, 1);
    EXPECT_EQ(run.linesAtRelease, 4u); // released before the summary line
}

TEST(RunLustrane, NoNames)
{
    Session run;
    EXPECT_EQ(run.Go({}), 1);
    EXPECT_EQ(run.log.lines,
              std::vector<Text>{u"No value names given. Usage: Lustrane.exe <valueName> [<valueName> ...]"});
    EXPECT_EQ(run.releases, 1);
    EXPECT_TRUE(run.registry.gets.empty());
}

TEST(RunLustrane, UnsplittableCommandLine)
{
    fake::Registry registry;
    fake::Log log;
    fake::CommandLine commandLine({u"Lustrane.exe", u"A"}, &log);
    commandLine.splits = false;
    EXPECT_EQ(lustrane::RunLustrane(commandLine, registry, log), 1);
    EXPECT_EQ(log.lines, std::vector<Text>{u"Unable to read the command line."});
    EXPECT_EQ(commandLine.releases, 0);
    EXPECT_TRUE(registry.gets.empty());
}

TEST(RunLustrane, AllCleanExitsZero)
{
    Session run;
    run.registry.values[u"A"] = fake::String(u"D:\\Apps\\Host\\\"");
    run.registry.values[u"R"] = fake::String(u"C:\\");
    EXPECT_EQ(run.Go({u"A", u"R", u"Missing"}), 0);
    EXPECT_EQ(run.log.lines.back(), u"Done; 0 value(s) left dirty.");
}

TEST(RunLustrane, TwoNamesOneRewriteFails)
{
    Session run;
    run.registry.values[u"A"] = fake::String(u"D:\\a\\");
    run.registry.values[u"B"] = fake::String(u"D:\\b\\");
    run.registry.setError[u"A"] = 5;
    EXPECT_EQ(run.Go({u"A", u"B"}), 1);
    EXPECT_EQ(run.log.lines,
              (std::vector<Text>{kHeader, u"  cannot write A; error 5", u"A: [D:\\a\\] -> [D:\\a] FAILED.",
                                 u"B: [D:\\b\\] -> [D:\\b].", u"Done; 1 value(s) left dirty."}));
}

TEST(RunLustrane, WithoutElevationEveryDirtyValueFails)
{
    Session run;
    run.registry.values[u"A"] = fake::String(u"D:\\a\\");
    run.registry.values[u"B"] = fake::String(u"D:\\b");
    run.registry.values[u"C"] = fake::String(u"D:\\c\"");
    run.registry.openError = 5;
    EXPECT_EQ(run.Go({u"A", u"B", u"C", u"D"}), 2);
    EXPECT_EQ(run.log.lines,
              (std::vector<Text>{kHeader, kCannotOpen5, u"A: [D:\\a\\] -> [D:\\a] FAILED.",
                                 u"B: already clean [D:\\b].", kCannotOpen5, u"C: [D:\\c\"] -> [D:\\c] FAILED.",
                                 u"D: not set; nothing to sanitize.", u"Done; 2 value(s) left dirty."}));
}

TEST(RunLustrane, ExceptionWhileReadingOneValue)
{
    Session run;
    run.registry.values[u"A"] = fake::String(u"D:\\a\\");
    run.registry.values[u"B"] = fake::String(u"D:\\b\\");
    run.registry.throwOnRead.insert(u"A");
    EXPECT_EQ(run.Go({u"A", u"B"}), 1);
    EXPECT_EQ(run.log.lines, (std::vector<Text>{kHeader, u"A: unexpected failure.", u"B: [D:\\b\\] -> [D:\\b].",
                                                u"Done; 1 value(s) left dirty."}));
}

TEST(RunLustrane, ExceptionWhileSettingClosesTheKeyAndGoesOn)
{
    Session run;
    run.registry.values[u"A"] = fake::String(u"D:\\a\\");
    run.registry.values[u"B"] = fake::String(u"\\");
    run.registry.values[u"C"] = fake::String(u"D:\\c\\");
    run.registry.throwOnSet.insert(u"A");
    EXPECT_EQ(run.Go({u"A", u"B", u"C"}), 2);
    EXPECT_EQ(run.log.lines, (std::vector<Text>{kHeader, u"A: unexpected failure.",
                                                u"B: [\\] normalizes to nothing; left as is.",
                                                u"C: [D:\\c\\] -> [D:\\c].", u"Done; 2 value(s) left dirty."}));
    EXPECT_EQ(run.registry.openKeys, 0);
    EXPECT_EQ(run.registry.closes.size(), 2u);
}

TEST(RunLustrane, NameGivenTwice)
{
    Session run;
    run.registry.values[u"A"] = fake::String(u"D:\\a\\\"");
    EXPECT_EQ(run.Go({u"A", u"A"}), 0);
    EXPECT_EQ(run.log.lines, (std::vector<Text>{kHeader, u"A: [D:\\a\\\"] -> [D:\\a].", u"A: already clean [D:\\a].",
                                                u"Done; 0 value(s) left dirty."}));
    EXPECT_EQ(run.registry.sets.size(), 1u);
}

TEST(RunLustrane, NamesAreUsedUnchanged)
{
    Session run;
    run.registry.values[u" Install Dir "] = fake::String(u"E:\\Host\\");
    EXPECT_EQ(run.Go({u" Install Dir ", u"install dir"}), 0);
    EXPECT_EQ(run.log.lines[1], u" Install Dir : [E:\\Host\\] -> [E:\\Host].");
    EXPECT_EQ(run.log.lines[2], u"install dir: not set; nothing to sanitize.");
}

TEST(RunLustrane, ASecondRunFindsTheValuesClean)
{
    Session run;
    run.registry.values[u"A"] = fake::String(u"D:\\a\\");
    run.registry.values[u"R"] = fake::String(u"C:\\\"");
    EXPECT_EQ(run.Go({u"A", u"R"}), 0);
    run.log.lines.clear();
    EXPECT_EQ(run.Go({u"A", u"R"}), 0);
    EXPECT_EQ(run.log.lines, (std::vector<Text>{kHeader, u"A: already clean [D:\\a].", u"R: already clean [C:\\].",
                                                u"Done; 0 value(s) left dirty."}));
}

TEST(RunLustrane, NonAsciiText)
{
    Session run;
    run.registry.values[u"\u00c4"] = fake::String(u"D:\\\u00dcber\\\U0001F600\\");
    EXPECT_EQ(run.Go({u"\u00c4"}), 0);
    EXPECT_EQ(run.log.lines[1], u"\u00c4: [D:\\\u00dcber\\\U0001F600\\] -> [D:\\\u00dcber\\\U0001F600].");
}
