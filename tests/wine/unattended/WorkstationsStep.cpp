// The steps of workstations.sh inside one prefix: a workstation's user and
// host ("Setup"; the first also writes the drawings and the list on the
// share), and the share after every workstation ended ("Check").
#include "BatchIds.h"
#include "RecoveryBed.h"
#include "ReportCsv.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

namespace {
std::wstring Env(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {0};
    DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
    return n > 0 && n < MAX_PATH ? value : L"";
}

int Drawings() { return _wtoi(Env(L"KEST_DRAWINGS").c_str()); }

// The drawings a workstation's log says it started, by file name.
std::map<std::string, int> Starts(const std::string& log, std::map<std::string, int> into)
{
    std::string prefix = wts::Narrow(rb::Text(IDS_BATCH_MIGRATE_DRAWING));
    prefix = prefix.substr(0, prefix.find("%s"));
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (line.compare(0, prefix.size(), prefix) == 0)
            ++into[line.substr(prefix.size())];
    }
    return into;
}
}

TEST(Workstations, Setup)
{
    const std::wstring share = Env(L"KEST_SHARE");
    rb::PrepareUser(wts::FreshDir(L"workstation-host"), wts::FreshDir(L"workstation") + L"\\stored.log", 1);
    if (wts::FileExists(share + L"\\all.dml"))
        return;
    rb::WriteList(share + L"\\all.dml", rb::MakeDrawings(share, Drawings(), 0, "none"));
}

// Every drawing migrated and marked, one summary row each, the claims gone, and no
// drawing started twice but one under way on the workstation that was ended.
TEST(Workstations, Check)
{
    const std::wstring share = Env(L"KEST_SHARE"), ended = Env(L"KEST_ENDED");
    const std::string list = wts::ReadFileBytes(share + L"\\all.dml");
    std::vector<ReportCsv::Row> summary;
    ASSERT_TRUE(ReportCsv::Parse(wts::ReadFileBytes(share + L"\\all-summary.csv"), summary));
    EXPECT_EQ(summary.size(), static_cast<size_t>(Drawings()));
    std::map<std::string, int> starts, endedStarts;
    for (const wchar_t* computer : {L"WS-A", L"WS-B", L"WS-C"}) {
        const std::string log = wts::ReadFileBytes(share + L"\\all-" + computer + L".log");
        starts = Starts(log, starts);
        if (ended == computer)
            endedStarts = Starts(log, {});
    }
    EXPECT_FALSE(endedStarts.empty()) << "the ended workstation ran nothing";
    int twice = 0;
    for (int i = 1; i <= Drawings(); ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\part %02d.dwg", i);
        const std::string path = wts::Narrow(share + name), file = wts::Narrow(name + 1);
        EXPECT_NE(list.find("[x]" + path + "\r\n"), std::string::npos) << path << " not marked";
        auto row = std::find_if(summary.begin(), summary.end(), 
                                [&](const ReportCsv::Row& r) { return wts::Narrow(r.path) == path; });
        EXPECT_TRUE(row != summary.end() && row->result == ReportCsv::Result::Migrated) << path;
        EXPECT_GE(starts[file], 1) << path;
        if (starts[file] > 1) {
            ++twice;
            EXPECT_EQ(starts[file], 2) << path;
            EXPECT_EQ(endedStarts[file], 1) << path << " started twice, not by the ended workstation";
        }
    }
    EXPECT_LE(twice, 1);
    EXPECT_FALSE(wts::FileExists(share + L"\\all.claims")) << "the claims outlived the list";
    EXPECT_EQ(rb::TempFiles(), std::vector<std::wstring>()) << "the run's temporary files outlived it";
}
