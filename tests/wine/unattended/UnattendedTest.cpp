// Transmora.exe started as a scheduled task starts it: no window waits for an
// answer, the exit code says how the run went, and the log and the report
// beside it name what became of every drawing.
#include "ProgressIds.h"
#include "RecoveryBed.h"
#include "RecoveryIds.h"
#include "ResourceIds.h"
#include "UnattendedIds.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace {
const char kHostError[] = "ERROR: block table damaged";

struct Outcome {
    DWORD exitCode = 0xFFFFFFFF;
    std::vector<std::wstring> waiting;   // windows that would have waited for a person
    bool progressShown = false;
    bool stopOffered = false;
};

// Watches the run to its end (at most timeoutMs) for windows that wait for an answer.
Outcome Watch(rb::Transmora& app, DWORD timeoutMs)
{
    Outcome outcome;
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!app.WaitForExit(100)) {
        // Dialogs of the process other than the progress dialog: message boxes and the wizard.
        for (HWND window : wts::WindowsOf(app.pid, [](HWND w) {
                 return wts::ClassOf(w) == L"#32770" && !GetDlgItem(w, IDC_PROGRESS_BAR);
             })) {
            outcome.waiting.push_back(wts::WindowText(window) + L": " + wiz::BoxText(window));
            // Answered, so that the test ends rather than hangs.
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        if (HWND progress = wiz::FindDialogWithItem(app.pid, IDC_PROGRESS_BAR)) {
            outcome.progressShown = true;
            if (IsWindowEnabled(GetDlgItem(progress, IDC_PROGRESS_STOP)))
                outcome.stopOffered = true;
        }
        if (GetTickCount64() > end) {
            app.Kill();
            return outcome;
        }
    }
    outcome.exitCode = app.ExitCode();
    return outcome;
}

std::string Joined(const std::vector<std::wstring>& windows)
{
    std::string text;
    for (const std::wstring& w : windows)
        text += wts::Narrow(w) + "\n";
    return text;
}

// The report's rows by path: result and host error line; the raw text for the rest.
std::map<std::string, std::pair<std::string, std::string>> ReportRows(const std::string& csv)
{
    std::map<std::string, std::pair<std::string, std::string>> rows;
    const size_t header = csv.find("\r\n");
    std::istringstream in(header == std::string::npos ? std::string() : csv.substr(header + 2));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        std::string field;
        bool quoted = false;
        for (size_t i = 0; i < line.size(); ++i) {
            char c = line[i];
            if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
                field += line[++i];
            else if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted)
                fields.push_back(field), field.clear();
            else
                field += c;
        }
        fields.push_back(field);
        if (fields.size() == 5)
            rows[fields[0]] = {fields[2], fields[4]};
    }
    return rows;
}

bool Marked(const std::string& list, const std::wstring& drawing)
{
    return list.find("[x]" + wts::Narrow(drawing)) != std::string::npos;
}
}

TEST(Unattended, ListOfEveryKind_NoWindowWaits_ExitCode1_LogAndReportNameEachDrawing)
{
    const std::wstring root = wts::FreshDir(L"unattended-a");
    const std::wstring log = root + L"\\night.log", list = root + L"\\night.dml", stored = root + L"\\stored.log";
    rb::PrepareUser(wts::FreshDir(L"unattended-a-host"), stored, 1);
    const rb::Export before = rb::ExportProfile();
    std::vector<std::wstring> drawings = rb::MakeDrawings(root, 4, 4, "logerror:ERROR: block table damaged");
    const std::wstring readOnly = root + L"\\read only.dwg", missing = root + L"\\missing.dwg",
                       held = root + L"\\held.dwg";
    ASSERT_TRUE(CopyFileW(drawings[0].c_str(), readOnly.c_str(), FALSE));
    ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CopyFileW(drawings[0].c_str(), held.c_str(), FALSE));
    drawings.insert(drawings.begin() + 1, readOnly);
    drawings.insert(drawings.begin() + 3, missing);
    drawings.push_back(held);
    rb::WriteList(list, drawings);
    // Another program holds the drawing without sharing it.
    HANDLE holder = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    Outcome outcome;
    {
        rb::Transmora app(L"/unattended /list " + wts::Quoted(list) + L" /log " + wts::Quoted(log));
        outcome = Watch(app, 400000);
    }
    CloseHandle(holder);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(outcome.exitCode, 1u);
    EXPECT_TRUE(outcome.waiting.empty()) << Joined(outcome.waiting);
    EXPECT_TRUE(outcome.progressShown) << "nobody passing by sees the run";
    EXPECT_FALSE(outcome.stopOffered) << "Stop in a run that nobody can resume";
    EXPECT_TRUE(wiz::Notepads(L"night.log").empty()) << "notepad opened on the log";
    EXPECT_FALSE(wts::FileExists(stored)) << "the stored log was used";

    const std::string text = wts::ReadFileBytes(log);
    EXPECT_NE(text.find(wts::Line(IDS_EXCLUDED_READ_ONLY, readOnly)), std::string::npos) << text;
    EXPECT_NE(text.find(wts::Line(IDS_EXCLUDED_MISSING, missing)), std::string::npos) << text;
    EXPECT_NE(text.find(wts::Line(IDS_EXCLUDED_ELSEWHERE, held)), std::string::npos) << text;
    EXPECT_NE(text.find(kHostError), std::string::npos) << text;
    EXPECT_NE(text.find(wts::Line(IDS_UNATTENDED_EXIT, 1)), std::string::npos) << text;

    const std::string csv = wts::ReadFileBytes(root + L"\\night.csv");
    ASSERT_EQ(csv.compare(0, 3, "\xEF\xBB\xBF"), 0) << "no byte order mark";
    const std::string header = "path,release,result,seconds,host error\r\n";
    EXPECT_EQ(csv.compare(3, header.size(), header), 0) << csv;
    auto rows = ReportRows(csv);
    EXPECT_EQ(rows.size(), drawings.size()) << csv;
    const std::pair<std::wstring, std::string> expected[] = {
        {drawings[0], "migrated"}, {readOnly, "read-only"},        {drawings[2], "migrated"}, {missing, "missing"},
        {drawings[4], "migrated"}, {drawings[5], "host error"}, {held, "open elsewhere"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(rows[wts::Narrow(e.first)].first, e.second) << wts::Narrow(e.first) << "\n" << csv;
    EXPECT_EQ(rows[wts::Narrow(drawings[5])].second, kHostError);
    // Every drawing handed to the host ran for some whole seconds; those left out did not run.
    for (const std::string& line : {wts::Narrow(drawings[0]) + ",", wts::Narrow(held) + ","}) {
        size_t at = csv.find(line);
        ASSERT_NE(at, std::string::npos);
        std::string row = csv.substr(at, csv.find("\r\n", at) - at);
        size_t seconds = row.rfind(',', row.rfind(',') - 1);
        EXPECT_EQ(row[seconds + 1] != ',', line.find("held") == std::string::npos) << row;
    }

    const std::string marks = wts::ReadFileBytes(list);
    for (int i : {0, 2, 4})
        EXPECT_TRUE(Marked(marks, drawings[static_cast<size_t>(i)])) << marks;
    for (int i : {1, 3, 5, 6})
        EXPECT_FALSE(Marked(marks, drawings[static_cast<size_t>(i)])) << marks;
    // Saved, prepared and restored as in the wizard's run; the run counted once.
    EXPECT_EQ(rb::Diff(rb::Counted(before), rb::ExportProfile()), "");
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, rb::MigrationKey(), L"RunRecord"));
}

TEST(Unattended, NoSuchList_ExitCode2_NoWindow_TheReasonInTheLog)
{
    const std::wstring root = wts::FreshDir(L"unattended-b");
    const std::wstring log = root + L"\\night.log", list = root + L"\\gone.dml";
    rb::PrepareUser(wts::FreshDir(L"unattended-b-host"), root + L"\\stored.log", 1);
    const rb::Export before = rb::ExportProfile();
    rb::Transmora app(L"/unattended /list " + wts::Quoted(list) + L" /log " + wts::Quoted(log));
    Outcome outcome = Watch(app, 60000);
    EXPECT_EQ(outcome.exitCode, 2u);
    EXPECT_TRUE(outcome.waiting.empty()) << Joined(outcome.waiting);
    EXPECT_FALSE(outcome.progressShown);
    const std::string text = wts::ReadFileBytes(log);
    EXPECT_NE(text.find(wts::Line(IDS_NO_SUCH_LIST, list)), std::string::npos) << text;
    EXPECT_NE(text.find(wts::Line(IDS_UNATTENDED_EXIT, 2)), std::string::npos) << text;
    EXPECT_EQ(rb::Diff(before, rb::ExportProfile()), "");

    // Nor when the log cannot be written either: the reason goes to the event log.
    rb::Transmora nowhere(L"/unattended /list " + wts::Quoted(list) + L" /log " +
                          wts::Quoted(root + L"\\gone\\night.log"));
    outcome = Watch(nowhere, 60000);
    EXPECT_EQ(outcome.exitCode, 2u);
    EXPECT_TRUE(outcome.waiting.empty()) << Joined(outcome.waiting);
}

TEST(Unattended, Usage_ShownForQuestionMarkAndUnknownSwitches_NeverUnattended)
{
    const std::wstring root = wts::FreshDir(L"unattended-c");
    rb::PrepareUser(wts::FreshDir(L"unattended-c-host"), root + L"\\stored.log", 1);
    const struct {
        const wchar_t* arguments;
        DWORD exitCode;
    } boxes[] = {{L"/?", 0}, {L"/bogus", 2}, {L"/list x.dml", 2}};
    for (const auto& c : boxes) {
        rb::Transmora app(c.arguments);
        HWND box = app.WaitForBox();
        ASSERT_NE(box, nullptr) << wts::Narrow(c.arguments);
        EXPECT_NE(wiz::BoxText(box).find(rb::Text(IDS_USAGE).substr(0, 20)), std::wstring::npos)
            << wts::Narrow(c.arguments);
        EXPECT_EQ(wiz::FindTitled(app.pid, rb::Text(IDS_CAPTION), box), nullptr) << "a wizard besides the usage";
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(app.WaitForExit(30000));
        EXPECT_EQ(app.ExitCode(), c.exitCode) << wts::Narrow(c.arguments);
    }
    rb::Transmora app(L"/unattended /list x.dml /bogus /log " + wts::Quoted(root + L"\\bad.log"));
    Outcome outcome = Watch(app, 60000);
    EXPECT_EQ(outcome.exitCode, 2u);
    EXPECT_TRUE(outcome.waiting.empty()) << Joined(outcome.waiting);
    EXPECT_NE(wts::ReadFileBytes(root + L"\\bad.log").find("/bogus"), std::string::npos);
}

TEST(Unattended, Interrupted_TheNextUnattendedStartGoesOnUnasked_TheReportCoversTheWholeList)
{
    const std::wstring root = wts::FreshDir(L"unattended-d");
    const std::wstring log = root + L"\\night.log", list = root + L"\\night.dml";
    rb::PrepareUser(wts::FreshDir(L"unattended-d-host"), root + L"\\stored.log", 1);
    const rb::Export before = rb::ExportProfile();
    std::vector<std::wstring> drawings = rb::MakeDrawings(root, 4, 2, "delay:20");
    const std::wstring missing = root + L"\\missing.dwg";
    drawings.push_back(missing);
    rb::WriteList(list, drawings);
    const std::wstring arguments = L"/unattended /list " + wts::Quoted(list) + L" /log " + wts::Quoted(log);
    {
        rb::Transmora app(arguments);
        HWND progress = app.WaitForProgress();
        ASSERT_NE(progress, nullptr);
        ASSERT_TRUE(rb::WaitForDrawing(progress, 2, true));
        EXPECT_EQ(app.Kill(), 0);
    }
    rb::Transmora next(arguments);
    Outcome outcome = Watch(next, 300000);
    EXPECT_TRUE(outcome.waiting.empty()) << Joined(outcome.waiting);
    EXPECT_EQ(outcome.exitCode, 1u) << "the missing drawing was not migrated";
    const std::string text = wts::ReadFileBytes(log);
    EXPECT_EQ(text.find(wts::Narrow(rb::Text(IDS_CONTINUE_QUESTION)).substr(0, 20)), std::string::npos) << text;
    auto rows = ReportRows(wts::ReadFileBytes(root + L"\\night.csv"));
    EXPECT_EQ(rows.size(), drawings.size());
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(rows[wts::Narrow(drawings[i])].first, "migrated") << wts::Narrow(drawings[i]);
    EXPECT_EQ(rows[wts::Narrow(missing)].first, "missing");
    EXPECT_EQ(rb::Diff(rb::Counted(before), rb::ExportProfile()), "");
    EXPECT_FALSE(wts::RegValueExists(HKEY_CURRENT_USER, rb::MigrationKey(), L"RunRecord"));
}

TEST(Unattended, WithoutLog_EachWorkstationLogsBesideTheList_TheLastJoinsTheReports_ALaterStartFindsNothingLeft)
{
    const std::wstring root = wts::FreshDir(L"unattended-e");
    const std::wstring list = root + L"\\night.dml";
    rb::PrepareUser(wts::FreshDir(L"unattended-e-host"), root + L"\\stored.log", 1);
    std::vector<std::wstring> drawings = rb::MakeDrawings(root, 4, 4, "");
    drawings.push_back(root + L"\\missing.dwg");
    rb::WriteList(list, drawings);
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {0};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(GetComputerNameW(name, &size));
    const std::wstring log = root + L"\\night-" + name + L".log";
    const std::wstring arguments = L"/unattended /list " + wts::Quoted(list);
    {
        rb::Transmora app(arguments);
        Outcome outcome = Watch(app, 300000);
        EXPECT_EQ(outcome.exitCode, 1u);
        EXPECT_TRUE(outcome.waiting.empty()) << Joined(outcome.waiting);
    }
    EXPECT_EQ(ReportRows(wts::ReadFileBytes(root + L"\\night-" + name + L".csv")).size(), drawings.size());
    auto summary = ReportRows(wts::ReadFileBytes(root + L"\\night-summary.csv"));
    EXPECT_EQ(summary.size(), drawings.size());
    EXPECT_EQ(summary[wts::Narrow(drawings[3])].first, "migrated");
    EXPECT_EQ(summary[wts::Narrow(drawings.back())].first, "missing");
    EXPECT_FALSE(wts::FileExists(root + L"\\night.claims")) << "the last workstation leaves its claims";
    const std::string marks = wts::ReadFileBytes(list);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_TRUE(Marked(marks, drawings[i])) << marks;

    // A list whose every entry is marked leaves nothing to this workstation: no progress, exit code 0.
    rb::WriteList(list, {drawings[0]});
    {
        rb::Transmora app(arguments);
        EXPECT_EQ(Watch(app, 120000).exitCode, 0u);
    }
    ASSERT_TRUE(Marked(wts::ReadFileBytes(list), drawings[0]));
    DeleteFileW(log.c_str());
    rb::Transmora app(arguments);
    Outcome outcome = Watch(app, 60000);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_FALSE(outcome.progressShown);
    const std::string text = wts::ReadFileBytes(log);
    EXPECT_NE(text.find(wts::Narrow(rb::Text(IDS_LIST_ALL_TAKEN))), std::string::npos) << text;
    EXPECT_NE(text.find(wts::Line(IDS_UNATTENDED_EXIT, 0)), std::string::npos) << text;
}
