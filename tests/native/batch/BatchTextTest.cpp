#include "BatchText.h"
#include "PathPlatform.h"

#include <gtest/gtest.h>

#include <map>

namespace {
// The line that starts the host: tried once more when the start printed
// anything, then the log told.
std::wstring StartLine(const std::wstring& profile)
{
    const std::wstring start =
        L"start /wait drxl.exe /b \"%KEST_SCRIPT%\" /p " + profile + L" /nologo > \"%KEST_STARTED%\" 2>&1";
    return start + L" & for %%f in (\"%KEST_STARTED%\") do if not %%~zf==0 " + start +
           L" & for %%g in (\"%KEST_STARTED%\") do if not %%~zg==0 "
           L"copy /b \"%KEST_LOG%\"+\"%KEST_NOT_STARTED%\"+\"%KEST_STARTED%\" \"%KEST_LOG%\"";
}
using Lines = std::vector<std::wstring>;

// A multibyte code page for the tests: UTF-8 (characters of the basic plane).
void Encode(const std::wstring& text, std::string& bytes)
{
    for (wchar_t wc : text) {
        auto c = static_cast<unsigned>(wc);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

std::string Utf8(const std::wstring& text)
{
    std::string bytes;
    Encode(text, bytes);
    return bytes;
}

Lines Split(const std::string& bytes)
{
    Lines lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.emplace_back(bytes.begin() + start, bytes.begin() + end);
    EXPECT_EQ(start, bytes.size()) << "text must end with CR LF";
    for (size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1))
        EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "lone line feed at " << i;
    return lines;
}

class BatchTextTest : public ::testing::Test {
protected:
    void SetUp() override { PathPlatform::SetCurrentDirectoryForTest(L"C:\\Work"); }

    BatchText::Job MigrateJob()
    {
        BatchText::Job job;
        job.progressFile = L"c:\\temp\\lorn1.tmp";
        job.logFile = L"C:\\Logs\\DrxlMMigr.log";
        job.headScript = L"c:\\temp\\lorn3.scr";
        job.drawingScript = L"c:\\temp\\lorn2.scr";
        job.firstBody = L"c:\\temp\\lorn4.scr";
        job.secondBody = L"c:\\temp\\lorn5.scr";
        job.hostFolder = L"C:\\Program Files\\Draxil\\";
        job.profileName = L"<<DRXLMPP>>";
        job.pathValue = L"c:\\windows";
        job.pieces = L"c:\\temp\\lorn6";
        job.startOutput = L"c:\\temp\\lorn8.txt";
        job.message = [](const std::wstring& name) { return L"Migrating drawing " + name; };
        job.encode = Encode;
        job.piece = [this, pieces = job.pieces](size_t number, const wchar_t* extension, const std::string& bytes) {
            const std::wstring path = pieces + L"\\" + std::to_wstring(number) + L"." + extension;
            EXPECT_EQ(m_pieces.count(path), 0u) << "written twice";
            m_pieces[path] = bytes;
            m_order.push_back(path);
        };
        return job;
    }

    // The ten lines of one block with ASCII names, as they must stand.
    static Lines Block(int number, const std::wstring& drawing, const std::wstring& fileName, const wchar_t* body,
                       const wchar_t* verb = L"Migrating")
    {
        return {L"",
                L"echo " + std::to_wstring(number) + L" > \"%KEST_PROGRESS%\"",
                L"echo. >> \"%KEST_LOG%\"",
                L"echo " + std::wstring(verb) + L" drawing " + fileName + L" >> \"%KEST_LOG%\"",
                L"copy \"%KEST_HEAD%\" \"%KEST_SCRIPT%\"",
                L"echo _.OPEN>> \"%KEST_SCRIPT%\"",
                L"echo \"" + drawing + L"\">> \"%KEST_SCRIPT%\"",
                L"type \"%" + std::wstring(body) + L"%\" >> \"%KEST_SCRIPT%\"",
                L"cd /d \"%KEST_HOST%\"",
                StartLine(L"\"<<DRXLMPP>>\"")};
    }

    std::map<std::wstring, std::string> m_pieces;
    Lines m_order;
};
}

TEST_F(BatchTextTest, HeaderNamesTheKindOfRun)
{
    EXPECT_EQ(BatchText::Header(true), "@echo off\r\nrem Scan the DWG's and write list of xrefs.\r\n");
    EXPECT_EQ(BatchText::Header(false), "@echo off\r\nrem Save/update the DWG's.\r\n");
}

TEST_F(BatchTextTest, MigrateBlocksChooseTheBodyScriptByTheDrawingList)
{
    const Lines batch = {L"D:\\Plans\\Gear.DWG", L"d:\\plans\\other.dwg"};
    const Lines drawings = {L"d:\\PLANS\\gear.dwg"};
    std::string text;
    BatchText::AppendBlocks(MigrateJob(), batch, drawings, text);
    Lines expected = Block(1, L"D:\\Plans\\Gear.DWG", L"gear.dwg", L"KEST_BODY1");
    Lines second = Block(2, L"d:\\plans\\other.dwg", L"other.dwg", L"KEST_BODY2");
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(Split(text), expected);
}

TEST_F(BatchTextTest, AnalysisBlocksAllUseTheFirstBodyScript)
{
    BatchText::Job job = MigrateJob();
    job.analysis = true;
    job.message = [](const std::wstring& name) { return L"Scanning drawing " + name; };
    const Lines list = {L"c:\\a\\one.dwg", L"c:\\a\\two"};
    std::string text;
    BatchText::AppendBlocks(job, list, Lines{}, text);
    Lines expected = Block(1, L"c:\\a\\one.dwg", L"one.dwg", L"KEST_BODY1", L"Scanning");
    Lines second = Block(2, L"c:\\a\\two", L"two.", L"KEST_BODY1", L"Scanning");
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(Split(text), expected);
}

TEST_F(BatchTextTest, RestartKeepsTheNumbersAndSkipsEarlierDrawings)
{
    const Lines list = {L"c:\\a.dwg", L"c:\\b.dwg", L"c:\\c.dwg", L"c:\\d.dwg"};
    std::string text;
    BatchText::Job job = MigrateJob();
    job.restartIndex = 2;
    BatchText::AppendBlocks(job, list, list, text);
    Lines lines = Split(text);
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[1], L"echo 3 > \"%KEST_PROGRESS%\"");
    EXPECT_EQ(lines[11], L"echo 4 > \"%KEST_PROGRESS%\"");
    EXPECT_EQ(lines[6], L"echo \"c:\\c.dwg\">> \"%KEST_SCRIPT%\"");

    for (int index : {4, 5, 1000}) {
        text.clear();
        job.restartIndex = index;
        BatchText::AppendBlocks(job, list, list, text);
        EXPECT_EQ(text, "") << index;
    }
    text.clear();
    job.restartIndex = -3;
    BatchText::AppendBlocks(job, list, list, text);
    EXPECT_EQ(Split(text).size(), 40u);
}

TEST_F(BatchTextTest, SpillingInPiecesGivesTheSameText)
{
    std::vector<std::wstring> list;
    for (int i = 0; i < 50; ++i)
        list.push_back(L"c:\\d\\" + std::to_wstring(i) + L".dwg");
    std::string whole;
    BatchText::AppendBlocks(MigrateJob(), list, list, whole);
    std::string pieces;
    std::string out = "head";
    int spills = 0;
    BatchText::AppendBlocks(
        MigrateJob(), list, list, out,
        [&](std::string& text) {
            pieces += text;
            text.clear();
            ++spills;
        },
        3000);
    pieces += out;
    EXPECT_GT(spills, 3);
    EXPECT_TRUE(pieces == "head" + whole) << "pieces differ from the whole text";
}

TEST_F(BatchTextTest, SpecialCharactersStayText)
{
    BatchText::Job job = MigrateJob();
    std::string text;
    BatchText::AppendBlocks(job, {L"c:\\R&D 100%\\a&b^c.dwg"}, {}, text);
    Lines lines = Split(text);
    EXPECT_EQ(lines[3], L"echo Migrating drawing a^&b^^c.dwg >> \"%KEST_LOG%\"");
    EXPECT_EQ(lines[6], L"echo \"c:\\R&D 100%%\\a&b^c.dwg\">> \"%KEST_SCRIPT%\"");
    EXPECT_TRUE(m_pieces.empty());

    EXPECT_EQ(BatchText::Escaped(L"a<b>c|d %x% \"q&|\" e&"), L"a^<b^>c^|d %%x%% \"q&|\" e^&");
    EXPECT_EQ(BatchText::Quoted(L"c:\\50%.dwg"), L"\"c:\\50%%.dwg\"");
}

TEST_F(BatchTextTest, EveryByteIsAsciiWhateverTheNames)
{
    const Lines batch = {
        L"C:\\Users\\M\u00fcller\\Caf\u00e9 \u00fcbersicht.dwg",
        L"d:\\\u56f3\u9762\\\u8a2d\u8a08 1.dwg",
        L"d:\\R&D ^ 100%\\Jos\u00e9 & 50%.dwg",
        L"d:\\plain\\a & b ^ 5%.dwg",
    };
    BatchText::Job job = MigrateJob();
    job.progressFile = L"C:\\Users\\M\u00fcller\\AppData\\Local\\Temp\\lorn1.tmp";
    job.logFile = L"D:\\Protokoll f\u00fcr Jos\u00e9\\migr.log";
    job.hostFolder = L"C:\\\u30c9\u30e9\u30af\u30b7\u30eb\\";
    job.pathValue = L"c:\\m\u00fcller\\support\\;c:\\windows";
    job.profileName = L"<<PROFIL \u00c9>>";
    std::string text = BatchText::Header(false);
    BatchText::AppendBlocks(job, batch, batch, text);
    for (size_t i = 0; i < text.size(); ++i)
        ASSERT_LT(static_cast<unsigned char>(text[i]), 128u) << "byte " << i;

    Lines lines = Split(text);
    ASSERT_EQ(lines.size(), 2u + 3 * 11 + 10);
    // A drawing outside ASCII: its log line and its path come from pieces,
    // once the last of them is there.
    EXPECT_EQ(lines[4], L"if not exist \"%KEST_PIECES%\\1.opn\" call \"%KEST_WAIT%\" 1.opn");
    EXPECT_EQ(lines[6], L"copy /b \"%KEST_LOG%\"+\"%KEST_PIECES%\\1.msg\" \"%KEST_LOG%\"");
    EXPECT_EQ(lines[9], L"copy /b \"%KEST_SCRIPT%\"+\"%KEST_PIECES%\\1.opn\" \"%KEST_SCRIPT%\"");
    EXPECT_EQ(lines[12], StartLine(L"\"%KEST_PROFILE%\""));
    EXPECT_EQ(lines[2 + 11 + 7], L"copy /b \"%KEST_SCRIPT%\"+\"%KEST_PIECES%\\2.opn\" \"%KEST_SCRIPT%\"");
    // An ASCII drawing in the same batch is echoed as it always was.
    EXPECT_EQ(lines[2 + 33 + 3], L"echo Migrating drawing a ^& b ^^ 5%%.dwg >> \"%KEST_LOG%\"");
    EXPECT_EQ(lines[2 + 33 + 6], L"echo \"d:\\plain\\a & b ^ 5%%.dwg\">> \"%KEST_SCRIPT%\"");

    // The pieces hold exactly what the echo lines wrote: no escapes, no doubled "%".
    const std::map<std::wstring, std::string> pieces = {
        {L"c:\\temp\\lorn6\\1.msg", Utf8(L"Migrating drawing caf\u00e9 \u00fcbersicht.dwg \r\n")},
        {L"c:\\temp\\lorn6\\1.opn", "\"" + Utf8(batch[0]) + "\"\r\n"},
        {L"c:\\temp\\lorn6\\2.msg", Utf8(L"Migrating drawing \u8a2d\u8a08 1.dwg \r\n")},
        {L"c:\\temp\\lorn6\\2.opn", "\"" + Utf8(batch[1]) + "\"\r\n"},
        {L"c:\\temp\\lorn6\\3.msg", Utf8(L"Migrating drawing jos\u00e9 & 50%.dwg \r\n")},
        {L"c:\\temp\\lorn6\\3.opn", "\"" + Utf8(batch[2]) + "\"\r\n"},
    };
    EXPECT_EQ(m_pieces.size(), pieces.size());
    for (const auto& piece : pieces)
        EXPECT_EQ(m_pieces[piece.first], piece.second);
}

// A log line outside ASCII (the module's language), or a line longer than the
// interpreter reads once its variables are expanded, comes from a piece.
TEST_F(BatchTextTest, ForeignOrLongTextsComeFromPiecesWaitedForInOrder)
{
    BatchText::Job job = MigrateJob();
    job.message = [](const std::wstring& name) { return L"Zeichnung " + name + L" wird \u00fcbertragen"; };
    job.drawingScript = L"c:\\temp\\" + std::wstring(100, L's') + L".scr";
    // "echo", the quoted path, ">>" and the quoted script path: 8,191 characters.
    const std::wstring fits = L"c:\\" + std::wstring(8191 - 5 - 2 - 3 - 2 - 112 - 7, L'f') + L".dwg";
    const std::wstring tooLong = fits.substr(0, 3) + L"g" + fits.substr(3);
    std::string text;
    BatchText::AppendBlocks(job, {L"c:\\a.dwg", fits, tooLong}, {}, text);
    Lines lines = Split(text);
    ASSERT_EQ(lines.size(), 33u);
    EXPECT_EQ(lines[2], L"if not exist \"%KEST_PIECES%\\1.msg\" call \"%KEST_WAIT%\" 1.msg");
    EXPECT_EQ(lines[4], L"copy /b \"%KEST_LOG%\"+\"%KEST_PIECES%\\1.msg\" \"%KEST_LOG%\"");
    EXPECT_EQ(lines[7], L"echo \"c:\\a.dwg\">> \"%KEST_SCRIPT%\"");
    EXPECT_EQ(lines[11 + 7].size(), 8191u - 112 + 13);   // before "%KEST_SCRIPT%" is expanded
    EXPECT_EQ(lines[22 + 2], L"if not exist \"%KEST_PIECES%\\3.opn\" call \"%KEST_WAIT%\" 3.opn");
    EXPECT_EQ(lines[22 + 7], L"copy /b \"%KEST_SCRIPT%\"+\"%KEST_PIECES%\\3.opn\" \"%KEST_SCRIPT%\"");
    EXPECT_EQ(m_order, (Lines{L"c:\\temp\\lorn6\\1.msg", L"c:\\temp\\lorn6\\2.msg", L"c:\\temp\\lorn6\\3.msg",
                              L"c:\\temp\\lorn6\\3.opn"}));
    EXPECT_EQ(m_pieces[L"c:\\temp\\lorn6\\2.msg"], Utf8(L"Zeichnung " + PathPlatform::Lower(fits.substr(3)) +
                                                           L" wird \u00fcbertragen \r\n"));
    EXPECT_EQ(m_pieces[L"c:\\temp\\lorn6\\3.opn"], "\"" + Utf8(tooLong) + "\"\r\n");
}

TEST_F(BatchTextTest, RestartWritesThePiecesOfItsBlocksUnderTheDrawingNumbers)
{
    Lines list;
    for (int i = 1; i <= 5; ++i)
        list.push_back(L"c:\\pl\u00e4ne\\pl\u00e4ne " + std::to_wstring(i) + L".dwg");
    BatchText::Job job = MigrateJob();
    job.restartIndex = 3;
    std::string text;
    BatchText::AppendBlocks(job, list, list, text);
    Lines lines = Split(text);
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[1], L"echo 4 > \"%KEST_PROGRESS%\"");
    EXPECT_EQ(lines[7], L"copy /b \"%KEST_SCRIPT%\"+\"%KEST_PIECES%\\4.opn\" \"%KEST_SCRIPT%\"");
    EXPECT_EQ(lines[11 + 4], L"copy /b \"%KEST_LOG%\"+\"%KEST_PIECES%\\5.msg\" \"%KEST_LOG%\"");
    EXPECT_EQ(m_order, (Lines{L"c:\\temp\\lorn6\\4.msg", L"c:\\temp\\lorn6\\4.opn", L"c:\\temp\\lorn6\\5.msg",
                              L"c:\\temp\\lorn6\\5.opn"}));
    EXPECT_EQ(m_pieces[L"c:\\temp\\lorn6\\5.opn"], "\"" + Utf8(list[4]) + "\"\r\n");
}

TEST_F(BatchTextTest, VariablesNameEveryFolderPathOfTheJob)
{
    BatchText::Job job = MigrateJob();
    job.logFile = L"C:\\Logs 100%\\\u00fc.log";
    const BatchEnvironment::Variables expected = {
        {L"KEST_PROGRESS", L"c:\\temp\\lorn1.tmp"},
        {L"KEST_LOG", L"C:\\Logs 100%\\\u00fc.log"},
        {L"KEST_HEAD", L"c:\\temp\\lorn3.scr"},
        {L"KEST_SCRIPT", L"c:\\temp\\lorn2.scr"},
        {L"KEST_BODY1", L"c:\\temp\\lorn4.scr"},
        {L"KEST_BODY2", L"c:\\temp\\lorn5.scr"},
        {L"KEST_HOST", L"C:\\Program Files\\Draxil\\"},
        {L"KEST_PIECES", L"c:\\temp\\lorn6"},
        {L"KEST_WAIT", L"c:\\temp\\lorn6\\wait.bat"},
        {L"KEST_PROFILE", L"<<DRXLMPP>>"},
        {L"KEST_STARTED", L"c:\\temp\\lorn8.txt"},
        {L"KEST_NOT_STARTED", L"c:\\temp\\lorn6-nohost.txt"},
        {L"PATH", L"c:\\windows"},   // the host's PATH as it is: no batch line sets it
    };
    EXPECT_EQ(BatchText::Variables(job), expected);

    EXPECT_EQ(BatchText::PiecePrefix(L"c:\\temp\\lorn7.bat"), L"c:\\temp\\lorn7");
    EXPECT_EQ(BatchText::PiecePrefix(L"c:\\te.mp\\batch"), L"c:\\te.mp\\batch");
    EXPECT_EQ(BatchText::PiecePrefix(L"c:\\temp\\a.b.bat"), L"c:\\temp\\a.b");
    EXPECT_EQ(BatchText::PiecePath(job, 12, L"opn"), L"c:\\temp\\lorn6\\12.opn");
}

// Whatever the user set for the interpreter (AutoRun, delayed expansion, which
// would take "!" out of names), the batch runs with neither; /C takes off the
// outer quotes only, so any path stays one quoted word.
TEST_F(BatchTextTest, TheInterpreterRunsTheBatchWithoutTheUsersSettings)
{
    const struct {
        const wchar_t* interpreter;
        const wchar_t* batch;
        const wchar_t* line;
    } cases[] = {
        {L"C:\\Windows\\system32\\cmd.exe", L"c:\\temp\\lorn7.bat",
         L"C:\\Windows\\system32\\cmd.exe /D /V:OFF /C \"\"c:\\temp\\lorn7.bat\"\""},
        {L"C:\\Win NT\\cmd.exe", L"c:\\R&D (1)!\\lorn7.bat",
         L"\"C:\\Win NT\\cmd.exe\" /D /V:OFF /C \"\"c:\\R&D (1)!\\lorn7.bat\"\""},
        {L"\"C:\\Win NT\\cmd.exe\"", L"c:\\t\\b.bat", L"\"C:\\Win NT\\cmd.exe\" /D /V:OFF /C \"\"c:\\t\\b.bat\"\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BatchText::CommandLine(c.interpreter, c.batch), c.line);
    EXPECT_EQ(BatchText::CallPath(L"c:\\100%\\w.bat"), L"c:\\100%%\\w.bat");
}

TEST_F(BatchTextTest, PathValueAddsOnlyMissingFolders)
{
    const std::wstring path = L"C:\\Windows;C:\\Lib;D:\\Tools\\;E:\\Last";
    EXPECT_EQ(BatchText::PathValue(path, {}), L"c:\\windows;c:\\lib;d:\\tools\\;e:\\last");
    EXPECT_EQ(BatchText::PathValue(path, {L"c:\\lib", L"C:\\LIB\\", L"d:\\tools", L"e:\\last", L"F:\\Support\\"}),
              L"e:\\last\\;f:\\support\\;c:\\windows;c:\\lib;d:\\tools\\;e:\\last");
    // The value stands in a variable: no escapes; letters outside ASCII as they are.
    EXPECT_EQ(BatchText::PathValue(L"c:\\x;", {L"c:\\a&b 50%", L"D:\\M\u00fcLLER"}),
              L"c:\\a&b 50%\\;d:\\m\u00fcller\\;c:\\x;");
    // Quotes would end the quoted line that sets it.
    EXPECT_EQ(BatchText::PathValue(L"\"C:\\R&D\";c:\\y", {}), L"c:\\r&d;c:\\y");
    // Too long for one line of the interpreter: cut after the last whole folder.
    EXPECT_EQ(BatchText::PathValue(L"c:\\aa;c:\\bb;c:\\cc", {L"c:\\s"}, 14), L"c:\\s\\;c:\\aa");
    EXPECT_EQ(BatchText::PathValue(L"c:\\aa;c:\\bb;c:\\cc", {L"c:\\s"}, 15), L"c:\\s\\;c:\\aa");
    EXPECT_EQ(BatchText::PathValue(L"c:\\aa;c:\\bb", {}, 12), L"c:\\aa;c:\\bb");
    EXPECT_EQ(BatchText::PathValue(L"c:\\aaaaaaaa", {}, 5), L"c:\\aa");
    std::wstring longPath;
    while (longPath.size() < 40000)
        longPath += L"c:\\program files\\some tool\\bin;";
    std::wstring value = BatchText::PathValue(longPath, {L"c:\\support"});
    EXPECT_LE(value.size(), BatchText::kMaxPathValue);
    EXPECT_EQ(value.rfind(L"c:\\support\\;c:\\program files\\", 0), 0u);
    EXPECT_EQ(value.back(), L'n');
}

TEST_F(BatchTextTest, FoldersAndNames)
{
    EXPECT_EQ(BatchText::WithTrailingSeparator(L"C:\\Host"), L"C:\\Host\\");
    EXPECT_EQ(BatchText::WithTrailingSeparator(L"C:\\Host\\"), L"C:\\Host\\");
    EXPECT_EQ(BatchText::WithTrailingSeparator(L"C:\\Host/"), L"C:\\Host/");
    EXPECT_EQ(BatchText::WithTrailingSeparator(L""), L"\\");

    EXPECT_EQ(BatchText::Absolute(L"DrxlMMigr.log"), L"C:\\Work\\DrxlMMigr.log");
    EXPECT_EQ(BatchText::Absolute(L"..\\Logs\\x.log"), L"C:\\Logs\\x.log");
    EXPECT_EQ(BatchText::Absolute(L"D:\\Logs\\X.log"), L"D:\\Logs\\X.log");
    EXPECT_EQ(BatchText::Absolute(L"\\\\server\\share\\x.log"), L"\\\\server\\share\\x.log");

    EXPECT_EQ(BatchText::DrawingFileName(L"D:\\Plans\\Gear Plan.DWG"), L"gear plan.dwg");
    EXPECT_EQ(BatchText::DrawingFileName(L"d:\\plans\\archive.tar.gz"), L"archive.tar.gz");
    EXPECT_EQ(BatchText::DrawingFileName(L"d:\\plans.v2\\Makefile"), L"makefile.");
    EXPECT_EQ(BatchText::DrawingFileName(L"d:/plans/A.DWG"), L"a.dwg");
}

TEST_F(BatchTextTest, PlainStringFormatsSplitAroundTheirConversion)
{
    std::wstring prefix, suffix;
    EXPECT_TRUE(BatchText::SplitFormat(L"Migrating %s now", prefix, suffix));
    EXPECT_EQ(prefix, L"Migrating ");
    EXPECT_EQ(suffix, L" now");
    EXPECT_TRUE(BatchText::SplitFormat(L"100%% of %s (%%s)", prefix, suffix));
    EXPECT_EQ(prefix, L"100% of ");
    EXPECT_EQ(suffix, L" (%s)");
    for (const wchar_t* format : {L"no conversion", L"%s and %s", L"%-20s", L"%d files", L"trailing %", L"%%s"})
        EXPECT_FALSE(BatchText::SplitFormat(format, prefix, suffix)) << format;
}
