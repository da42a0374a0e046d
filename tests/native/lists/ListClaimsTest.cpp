#include "KestListClaims.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {
const int64_t kStale = 30 * 60;

// A claims folder in memory; beforeCreate lets another workstation act between a look and a create.
class MemoryFolder : public ClaimFolder {
public:
    explicit MemoryFolder(const int64_t& now) : m_now(now) {}
    struct File {
        std::string content;
        int64_t written;
    };
    std::map<std::wstring, File> files;
    bool made = false;
    std::function<void(const std::wstring&)> beforeCreate;

    bool Make() override { return made = true; }
    Created CreateNew(const std::wstring& name, const std::string& content) override
    {
        if (auto hook = std::exchange(beforeCreate, nullptr))
            hook(name);
        if (!made)
            return Created::Failed;
        return files.emplace(name, File{content, m_now}).second ? Created::Yes : Created::Exists;
    }
    bool Exists(const std::wstring& name) override { return files.count(name) != 0; }
    bool Read(const std::wstring& name, std::string& content) override
    {
        return Find(name) && (content = Find(name)->content, true);
    }
    bool LastWrite(const std::wstring& name, int64_t& seconds) override
    {
        return Find(name) && (seconds = Find(name)->written, true);
    }
    bool SetLastWrite(const std::wstring& name, int64_t seconds) override
    {
        return Find(name) && (Find(name)->written = seconds, true);
    }
    bool MoveNoReplace(const std::wstring& from, const std::wstring& to) override
    {
        return Find(from) && files.emplace(to, *Find(from)).second && files.erase(from);
    }
    bool Remove(const std::wstring& name) override { return files.erase(name) != 0; }
    bool List(std::vector<std::wstring>& names) override
    {
        for (const auto& f : files)
            names.push_back(f.first);
        return made;
    }
    bool RemoveFolder() override { return files.empty() && !(made = false); }

private:
    File* Find(const std::wstring& name) { return files.count(name) ? &files[name] : nullptr; }
    const int64_t& m_now;
};

class ListClaims : public ::testing::Test {
protected:
    int64_t now = 1'000'000;
    MemoryFolder folder{now};
    std::vector<bool> marks = std::vector<bool>(10, false);
    size_t batch = 0;              // what the last NextBatch gave
    std::vector<size_t> entries;

    std::unique_ptr<KestListClaims> Workstation(const std::wstring& name, uint32_t pid = 7)
    {
        return std::make_unique<KestListClaims>(
            folder, name, pid, kStale, [this](std::vector<bool>& done) { return done = marks, true; },
            [this] { return now; });
    }
    // Runs the batch as the unattended run does: marks its entries, then calls it done.
    void Finish(KestListClaims& ws, size_t batch, const std::vector<size_t>& entries)
    {
        for (size_t e : entries)
            marks[e] = true;
        EXPECT_TRUE(ws.Done(batch));
    }
    using Next = KestListClaims::Next;
};

TEST_F(ListClaims, WorkstationsShareTheListAndOneFinishesIt)
{
    marks[4] = true;   // migrated on an earlier night
    auto a = Workstation(L"WS-A"), b = Workstation(L"WS-B");
    std::vector<int> runs(marks.size(), 0);
    // A takes two batches to each one of B, as a faster workstation would.
    std::vector<KestListClaims*> turns = {a.get(), a.get(), b.get()};
    for (size_t turn = 0; turn < 20; ++turn) {
        KestListClaims& ws = *turns[turn % turns.size()];
        Next next = ws.NextBatch(3, batch, entries);
        if (next == Next::Finished)
            break;
        ASSERT_EQ(next, Next::Batch);
        for (size_t e : entries)
            ++runs[e];
        Finish(ws, batch, entries);
    }
    EXPECT_EQ(runs, std::vector<int>({1, 1, 1, 1, 0, 1, 1, 1, 1, 1}));
    marks[7] = false;   // failed: it stays unmarked, its batch done
    EXPECT_EQ(b->NextBatch(3, batch, entries), Next::Finished);
    ASSERT_TRUE(a->ClaimLast());
    EXPECT_FALSE(b->ClaimLast());
    // A is removing the claims, the folder not yet: B does not finish the list again.
    folder.files.clear();
    EXPECT_FALSE(b->ClaimLast());
    a->RemoveAll();
    EXPECT_TRUE(folder.files.empty());
    EXPECT_FALSE(folder.made);
    marks[7] = true;
    // One started on the finished list neither finishes it again nor leaves claims behind.
    auto late = Workstation(L"WS-C");
    EXPECT_EQ(late->NextBatch(3, batch, entries), Next::Finished);
    EXPECT_FALSE(late->ClaimLast());
    EXPECT_FALSE(folder.made);
}

TEST_F(ListClaims, RunBatchesWithFailuresAreNotRunAgain)
{
    auto a = Workstation(L"WS-A"), b = Workstation(L"WS-B");
    size_t batchA = 0;
    std::vector<size_t> entriesA;
    marks.resize(8);
    ASSERT_EQ(a->NextBatch(4, batchA, entriesA), Next::Batch);
    EXPECT_EQ(entriesA, (std::vector<size_t>{0, 1, 2, 3}));
    // B asks for another size: the folder's size holds, and batch 0 is not B's.
    ASSERT_EQ(b->NextBatch(2, batch, entries), Next::Batch);
    EXPECT_EQ(entries, (std::vector<size_t>{4, 5, 6, 7}));
    EXPECT_EQ(b->BatchSize(), 4u);
    Finish(*b, batch, entries);
    EXPECT_EQ(b->NextBatch(4, batch, entries), Next::Wait);
    EXPECT_FALSE(b->ClaimLast());
    // A's entries 1 and 3 fail: they stay unmarked. A finishes the list; B, waiting, does not run them again.
    marks[0] = marks[2] = true;
    EXPECT_TRUE(a->Done(batchA));
    EXPECT_EQ(a->NextBatch(4, batchA, entriesA), Next::Finished);
    ASSERT_TRUE(a->ClaimLast());
    folder.files.clear();   // A is removing the claims, the folder not yet
    EXPECT_EQ(b->NextBatch(4, batch, entries), Next::Finished);
    EXPECT_FALSE(b->ClaimLast());
    a->RemoveAll();
    // A list of another length is not run on claims made for this one.
    ASSERT_EQ(Workstation(L"WS-C")->NextBatch(4, batch, entries), Next::Batch);
    marks.push_back(false);
    EXPECT_EQ(Workstation(L"WS-D")->NextBatch(4, batch, entries), Next::OtherList);
}

TEST_F(ListClaims, StoppedWorkstationsAreTakenOverOnceAfterTheirHeartbeatStops)
{
    auto a = Workstation(L"WS-A"), b = Workstation(L"WS-B"), c = Workstation(L"WS-C");
    size_t batchA = 0;
    std::vector<size_t> entriesA;
    marks.resize(4);
    ASSERT_EQ(a->NextBatch(2, batchA, entriesA), Next::Batch);
    ASSERT_EQ(b->NextBatch(2, batch, entries), Next::Batch);
    Finish(*b, batch, entries);
    // A renews: however long it works, nobody takes its batch.
    for (int i = 0; i < 5; ++i) {
        now += kStale - 1;
        a->Renew();
        int64_t wait = 0;
        EXPECT_EQ(b->NextBatch(2, batch, entries, &wait), Next::Wait);
        EXPECT_EQ(wait, kStale);
        EXPECT_FALSE(b->ClaimLast());
    }
    marks[entriesA[0]] = true;   // A migrated its first drawing, then stopped
    now += kStale;
    KestListClaims::Progress seen;
    ASSERT_TRUE(b->Survey(seen));
    EXPECT_EQ(std::vector<size_t>({seen.entries, seen.marked, seen.held, seen.stale, seen.done}),
              std::vector<size_t>({4, 3, 0, 1, 1}));
    // B has judged A's claim stale; C takes it over first: B must not win as well.
    folder.beforeCreate = [&](const std::wstring&) {
        EXPECT_EQ(c->NextBatch(2, batch, entries), Next::Batch);
        EXPECT_EQ(entries, std::vector<size_t>{entriesA[1]});
    };
    EXPECT_EQ(b->NextBatch(2, batch, entries), Next::Wait);
    std::string computer;
    uint32_t process = 0;
    EXPECT_TRUE(c->TakenOver(computer, process) && computer == "WS-A" && process == 7) << computer << process;
    EXPECT_FALSE(b->TakenOver(computer, process));
    // A comes back: it has lost its batch and starts no further drawing of it.
    std::vector<size_t> lost;
    a->Renew(&lost);
    EXPECT_EQ(lost, std::vector<size_t>{batchA});
    EXPECT_FALSE(a->StillMine(batchA));
    EXPECT_FALSE(a->Done(batchA));
    EXPECT_TRUE(c->StillMine(batchA));
    ASSERT_TRUE(b->Survey(seen));
    EXPECT_EQ(std::vector<size_t>({seen.held, seen.stale, seen.done}), std::vector<size_t>({1, 0, 1}));
    Finish(*c, batchA, {entriesA[1]});
    EXPECT_EQ(b->NextBatch(2, batch, entries), Next::Finished);
}

TEST_F(ListClaims, ReleasedClaimsAndMarksMadeMeanwhile)
{
    auto a = Workstation(L"WS-A"), b = Workstation(L"WS-B");
    marks.resize(2);
    ASSERT_EQ(a->NextBatch(2, batch, entries), Next::Batch);
    // B finds the batch done between its claim and its look at the marks.
    a->Release(batch);
    EXPECT_TRUE(folder.files.count(L"000000.done") == 0);
    folder.beforeCreate = [&](const std::wstring&) {
        size_t batchA = 0;
        std::vector<size_t> entriesA;
        ASSERT_EQ(a->NextBatch(2, batchA, entriesA), Next::Batch);
        Finish(*a, batchA, entriesA);
        folder.files.erase(L"000000.done");   // as if B looked before the done file came
    };
    EXPECT_EQ(b->NextBatch(2, batch, entries), Next::Finished);
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(KestListClaims::FolderFor(L"\\\\server\\share\\all.dml"), L"\\\\server\\share\\all.claims");
    EXPECT_EQ(KestListClaims::FolderFor(L"c:\\lists.v2\\night"), L"c:\\lists.v2\\night.claims");
    EXPECT_EQ(KestListClaims::WorkstationFile(L"\\\\s\\all.dml", L"WS3", L"log"), L"\\\\s\\all-WS3.log");
}
}
