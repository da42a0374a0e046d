// Two processes on one drawing list at once, as two workstations on a share:
// marks under the list's lock, and batches taken by claims. The suite starts
// itself as the second and third process ("--mark" and "--claim").
#include "ClaimFolderWin.h"
#include "KestListClaims.h"
#include "KestSharedList.h"
#include "ListsTest.h"
#include "RunIds.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <iostream>

namespace {
const size_t kEntries = 60;
const int64_t kStale = 60;

std::wstring Entry(size_t i) { return L"z:\\archive\\part" + std::to_wstring(1000 + i) + L".dwg"; }

void WriteList(const std::wstring& path)
{
    std::string bytes = liststest::InCodePage(liststest::Text(IDS_DML_HEADER), 1252) + "\r\n";
    for (size_t i = 0; i < kEntries; ++i)
        bytes += "[ ]" + wts::Narrow(Entry(i)) + "\r\n";
    wts::WriteFileBytes(path, bytes);
}

// Workers start their work together: each says it is ready (a file beside the go file) and waits for go.
bool AwaitGo(const std::wstring& id)
{
    wchar_t go[MAX_PATH] = {0};
    if (!GetEnvironmentVariableW(L"KEST_SHARED_GO", go, MAX_PATH))
        return true;
    wts::WriteFileBytes(std::wstring(go) + L"." + id, "");
    for (DWORD start = GetTickCount(); GetTickCount() - start < 120000; Sleep(5))
        if (wts::FileExists(go))
            return true;
    return false;
}

// Worker: marks its half of the entries (every second one from first), one locked mark at a time.
int MarkWorker(const std::wstring& list, size_t first)
{
    if (!AwaitGo(std::to_wstring(first)))
        return 6;
    for (size_t i = first; i < kEntries; i += 2) {
        KestSharedList file(list);
        file.m_showErrors = false;
        if (!file.MarkDoneLocked({Entry(i)}, 30000))
            return 3;
    }
    return 0;
}

// Worker: runs batches of the list as an unattended run will, writing each entry it runs to its own file.
int ClaimWorker(const std::wstring& list, const std::wstring& computer, const std::wstring& runs)
{
    ClaimFolderWin folder(KestListClaims::FolderFor(list));
    KestListClaims claims(folder, computer, GetCurrentProcessId(), kStale,
                          [&list](std::vector<bool>& done) {
                              KestSharedList file(list);
                              file.m_showErrors = false;
                              std::vector<std::wstring> entries;
                              return file.ReadMarks(entries, done);
                          },
                          ClaimFolderWin::Now);
    if (!AwaitGo(computer))
        return 6;
    std::string ran;
    DWORD start = GetTickCount();
    for (;;) {
        size_t batch = 0;
        std::vector<size_t> entries;
        KestListClaims::Next next = claims.NextBatch(3, batch, entries);
        if (next == KestListClaims::Next::Finished)
            break;
        if (next == KestListClaims::Next::Wait && GetTickCount() - start < 60000) {
            Sleep(20);
            continue;
        }
        if (next != KestListClaims::Next::Batch)
            return 4;
        for (size_t e : entries) {
            if (!claims.StillMine(batch))
                return 5;
            ran += std::to_string(e) + "\r\n";
            KestSharedList file(list);
            file.m_showErrors = false;
            if (!file.MarkDoneLocked({Entry(e)}, 30000))
                return 3;
            claims.Renew();
        }
        claims.Done(batch);
    }
    if (claims.ClaimLast()) {
        ran += "last\r\n";
        claims.RemoveAll();
    }
    wts::WriteFileBytes(runs, ran);
    return 0;
}

// A workstation that stopped an hour ago while on batch 2 (entries 6 to 8), its entry 6 migrated.
bool PrepareClaims(const std::wstring& list)
{
    WriteList(list);
    ClaimFolderWin folder(KestListClaims::FolderFor(list));
    KestSharedList file(list);
    return folder.Make() &&
           folder.CreateNew(L"list.txt", "batch=3\r\nentries=60\r\n") == ClaimFolder::Created::Yes &&
           folder.CreateNew(L"000002-0.claim", "Transmora claim\r\ncomputer=GONE\r\nprocess=1\r\n") ==
               ClaimFolder::Created::Yes &&
           folder.SetLastWrite(L"000002-0.claim", ClaimFolderWin::Now() - 3600) &&
           file.MarkDoneLocked({Entry(6)}, 1000);
}

// What is wrong with the list and the workers' records after a run of batches; empty when nothing.
std::string CheckRuns(const std::wstring& list, const std::vector<std::wstring>& runs, bool claimed)
{
    std::string faults;
    std::vector<int> count(kEntries, 0);
    int last = 0;
    for (size_t w = 0; claimed && w < runs.size(); ++w) {
        size_t ran = 0;
        for (const std::string& line : liststest::SplitCrLf(wts::ReadFileBytes(runs[w]))) {
            if (line == "last")
                ++last;
            else if (!line.empty() && std::stoul(line) < kEntries)
                ++count[std::stoul(line)], ++ran;
        }
        std::cout << "worker " << w << " ran " << ran << " entries\n";
    }
    for (size_t i = 0; claimed && i < kEntries; ++i)
        if (count[i] != (i == 6 ? 0 : 1))
            faults += "entry " + std::to_string(i) + " ran " + std::to_string(count[i]) + " times\n";
    if (claimed && last != 1)
        faults += std::to_string(last) + " workers finished the list\n";
    if (claimed && wts::FileExists(KestListClaims::FolderFor(list)))
        faults += "the claims stayed\n";
    KestSharedList file(list);
    std::vector<std::wstring> entries;
    std::vector<bool> done;
    if (!file.ReadMarks(entries, done) || entries.size() != kEntries)
        return faults + "the list is not whole\n";
    for (size_t i = 0; i < kEntries; ++i)
        if (!done[i])
            faults += "entry " + std::to_string(i) + " lost its mark\n";
    return faults;
}

class SharedList : public ::testing::Test {
protected:
    void SetUp() override
    {
        liststest::UseResources();
        KestFile::SetCodePageForTest(1252);
        m_dir = wts::FreshDir(L"shared");
        m_list = m_dir + L"\\all.dml";
        WriteList(m_list);
    }
    void TearDown() override { KestFile::SetCodePageForTest(0); }

    // Starts both workers and lets them go once both are ready.
    std::vector<HANDLE> StartWorkers(const std::wstring& args0, const std::wstring& id0, const std::wstring& args1,
                                     const std::wstring& id1)
    {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring go = m_dir + L"\\go";
        std::vector<HANDLE> workers;
        for (const std::wstring& args : {args0, args1})
            workers.push_back(wts::Start(L"\"" + std::wstring(self) + L"\" " + args, L"KEST_SHARED_GO=" + go));
        for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(5))
            if (wts::FileExists(go + L"." + id0) && wts::FileExists(go + L"." + id1))
                break;
        wts::WriteFileBytes(go, "");
        return workers;
    }
    // Waits for both workers (bounded) and gives their exit codes.
    std::vector<DWORD> Finish(std::vector<HANDLE> workers)
    {
        std::vector<DWORD> codes;
        for (HANDLE worker : workers) {
            DWORD code = 999;
            if (WaitForSingleObject(worker, 120000) == WAIT_OBJECT_0)
                GetExitCodeProcess(worker, &code);
            else
                TerminateProcess(worker, 999);
            CloseHandle(worker);
            codes.push_back(code);
        }
        return codes;
    }
    std::wstring m_dir, m_list;
};

TEST_F(SharedList, MarksOfTwoProcessesAreNeverLostAndReadersSeeWholeLists)
{
    std::vector<HANDLE> workers =
        StartWorkers(L"--mark \"" + m_list + L"\" 0", L"0", L"--mark \"" + m_list + L"\" 1", L"1");
    ASSERT_TRUE(workers[0] && workers[1]);
    // The wizard loading the list meanwhile always reads all of it.
    size_t reads = 0;
    while (WaitForMultipleObjects(2, workers.data(), TRUE, 0) == WAIT_TIMEOUT && reads < 100000) {
        KestDmlFile file(m_list);
        file.m_showErrors = false;
        std::vector<std::wstring> entries;
        ASSERT_TRUE(file.Open(false) && file.ReadList(entries, false)) << "read " << reads;
        ASSERT_EQ(entries.size(), kEntries) << "read " << reads;
        ++reads;
    }
    EXPECT_EQ(Finish(workers), std::vector<DWORD>({0, 0}));
    EXPECT_GT(reads, 0u);
    EXPECT_EQ(CheckRuns(m_list, {}, false), "");
}

TEST_F(SharedList, TwoProcessesRunEveryEntryOnceAndTakeOverAStoppedClaimOnce)
{
    ASSERT_TRUE(PrepareClaims(m_list));
    std::vector<std::wstring> runs = {m_dir + L"\\a.txt", m_dir + L"\\b.txt"};
    std::vector<HANDLE> workers = StartWorkers(L"--claim \"" + m_list + L"\" WS-A \"" + runs[0] + L"\"", L"WS-A",
                                               L"--claim \"" + m_list + L"\" WS-B \"" + runs[1] + L"\"", L"WS-B");
    ASSERT_TRUE(workers[0] && workers[1]);
    EXPECT_EQ(Finish(workers), std::vector<DWORD>({0, 0}));

    EXPECT_EQ(CheckRuns(m_list, {runs[0], runs[1]}, true), "");
}
}

// Besides the suite: the workers, and the steps of the run in two prefixes (two-prefixes.sh).
int wmain(int argc, wchar_t** argv)
{
    std::wstring mode = argc > 2 ? argv[1] : L"";
    if (mode.empty()) {
        ::testing::InitGoogleTest(&argc, argv);
        return RUN_ALL_TESTS();
    }
    liststest::UseResources();
    KestFile::SetCodePageForTest(1252);
    std::wstring list = argv[2];
    if (mode == L"--mark" && argc == 4)
        return MarkWorker(list, static_cast<size_t>(_wtoi(argv[3])));
    if (mode == L"--claim" && argc == 5)
        return ClaimWorker(list, argv[3], argv[4]);
    if (mode == L"--prepare")
        return argc == 3 && PrepareClaims(list) ? 0 : 1;
    if (mode == L"--new")
        return WriteList(list), 0;
    if (mode == L"--check") {
        std::string faults = CheckRuns(list, std::vector<std::wstring>(argv + 3, argv + argc), argc > 3);
        std::cout << faults;
        return faults.empty() ? 0 : 1;
    }
    return 2;
}
