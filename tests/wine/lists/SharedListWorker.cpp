// The steps of shared-list.sh: two processes on one drawing list at once, as
// two workstations on a share, running batches by claims and marking them
// under the list's lock ("--claim") while the wizard reads it ("--read").
#include "ClaimFolderWin.h"
#include "KestListClaims.h"
#include "KestSharedList.h"
#include "ListsTest.h"
#include "RunIds.h"

#include <windows.h>

#include <iostream>

namespace {
const size_t kEntries = 200;
const int64_t kStale = 60;

std::wstring Entry(size_t i) { return L"z:\\archive\\part" + std::to_wstring(1000 + i) + L".dwg"; }

bool Mark(const std::wstring& list, size_t entry)
{
    KestSharedList file(list);
    file.m_showErrors = false;
    return file.MarkDoneLocked({Entry(entry)}, 30000);
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

// Worker: runs batches of the list as an unattended run will, writing each entry it runs to its own file.
int ClaimWorker(const std::wstring& list, const std::wstring& computer, const std::wstring& runs)
{
    ClaimFolderWin folder(KestListClaims::FolderFor(list));
    KestListClaims claims(folder, computer, GetCurrentProcessId(), kStale, KestSharedList::MarkReaderFor(list),
                          [&folder] { return folder.ServerNow(); });
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
        std::string from;
        uint32_t process = 0;
        if (claims.TakenOver(from, process))
            ran += "took " + from + " " + std::to_string(process) + "\r\n";
        for (size_t e : entries) {
            if (!claims.StillMine(batch))
                return 5;
            ran += std::to_string(e) + "\r\n";
            if (!Mark(list, e))
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
    std::string bytes = wts::Narrow(liststest::Text(IDS_DML_HEADER), 1252) + "\r\n";
    for (size_t i = 0; i < kEntries; ++i)
        bytes += "[ ]" + wts::Narrow(Entry(i)) + "\r\n";
    wts::WriteFileBytes(list, bytes);
    ClaimFolderWin folder(KestListClaims::FolderFor(list));
    return folder.Make() &&
           folder.CreateNew(L"list.txt", "batch=3\r\nentries=200\r\n") == ClaimFolder::Created::Yes &&
           folder.CreateNew(L"000002-0.claim", "Transmora claim\r\ncomputer=GONE\r\nprocess=1\r\n") ==
               ClaimFolder::Created::Yes &&
           folder.SetLastWrite(L"000002-0.claim", ClaimFolderWin::Now() - 3600) && Mark(list, 6);
}

// What is wrong with the list and the workers' records after a run of batches; empty when nothing.
std::string CheckRuns(const std::wstring& list, const std::vector<std::wstring>& runs)
{
    std::string faults;
    std::vector<int> count(kEntries, 0);
    int last = 0, took = 0;
    for (const std::wstring& run : runs)
        for (const std::string& line : liststest::SplitCrLf(wts::ReadFileBytes(run)))
            if (line == "last" || line == "took GONE 1")
                ++(line == "last" ? last : took);
            else if (!line.empty() && std::stoul(line) < kEntries)
                ++count[std::stoul(line)];
    for (size_t i = 0; i < kEntries; ++i)
        if (count[i] != (i == 6 ? 0 : 1))
            faults += "entry " + std::to_string(i) + " ran " + std::to_string(count[i]) + " times\n";
    if (took != 1)
        faults += "the stopped workstation's claim was taken over " + std::to_string(took) + " times\n";
    if (last != 1)
        faults += std::to_string(last) + " workers finished the list\n";
    if (wts::FileExists(KestListClaims::FolderFor(list)))
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

// The wizard loading the list while the workers mark it: every read finds the whole list. Ends once the
// file stop exists.
int ReadWorker(const std::wstring& list, const std::wstring& stop)
{
    if (!AwaitGo(L"read"))
        return 6;
    size_t reads = 0;
    for (DWORD start = GetTickCount(); !wts::FileExists(stop) && GetTickCount() - start < 300000; ++reads) {
        KestDmlFile file(list);
        file.m_showErrors = false;
        std::vector<std::wstring> entries;
        if (!file.Open(false) || !file.ReadList(entries, false) || entries.size() != kEntries) {
            std::cout << "read " << reads << " found " << entries.size() << " entries\n";
            return 1;
        }
    }
    std::cout << reads << " whole reads\n";
    return reads > 0 ? 0 : 1;
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    std::wstring mode = argv[1];
    liststest::UseResources();
    KestFile::SetCodePageForTest(1252);
    std::wstring list = argv[2];
    if (mode == L"--claim" && argc == 5)
        return ClaimWorker(list, argv[3], argv[4]);
    if (mode == L"--read" && argc == 4)
        return ReadWorker(list, argv[3]);
    if (mode == L"--prepare")
        return argc == 3 && PrepareClaims(list) ? 0 : 1;
    std::string faults = mode == L"--check" ? CheckRuns(list, std::vector<std::wstring>(argv + 3, argv + argc)) : "?";
    std::cout << faults;
    return faults.empty() ? 0 : 2;
}
