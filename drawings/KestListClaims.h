// Claims of several workstations on one drawing list, kept in a folder beside
// the list ("all.claims" beside "all.dml"). The list's entries fall into
// batches of a fixed size; a workstation claims a batch by creating a file
// that must not exist yet, so the file server decides which one gets it.
//
//   <batch>-<generation>.claim   held; its last-write time is the heartbeat
//   <batch>.done                 the batch was run (its failures stay unmarked)
//   list.txt                     batch size and entry count, fixed by the first
//   finished                     the workstation that finishes the list
// The last one removes list.txt first: whoever finds it gone knows the list
// finished.
//
// A claim whose heartbeat stopped for staleSeconds is taken over by creating
// the next generation's file: of two takers only one creates it.
#pragma once
#include "ClaimFolder.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class KestListClaims {
public:
    // Seconds since 1970 (UTC).
    using Clock = std::function<int64_t()>;
    // The done marks of every entry of the list as it is now; false when the list cannot be read.
    using MarkReader = std::function<bool(std::vector<bool>& done)>;

    enum class Next {
        Batch,        // a batch is now held by this run: its unmarked entries
        Wait,         // every batch left is held by others whose heartbeat runs
        Finished,     // every batch is marked or done
        Unreadable,   // the list could not be read
        Failed,       // the claims folder cannot be used
        OtherList     // the claims were made for a list of another length
    };

    KestListClaims(ClaimFolder& folder, const std::wstring& computer, uint32_t processId, int64_t staleSeconds,
                   MarkReader readMarks, Clock clock);

    // The claims folder of a list: its folder, then the list's title and ".claims".
    static std::wstring FolderFor(const std::wstring& listPath);
    // A file of one workstation beside the list: "all-WS3.log" for "all.dml", computer "WS3" and extension "log".
    static std::wstring WorkstationFile(const std::wstring& listPath, const std::wstring& computer,
                                        const std::wstring& extension);

    // Claims the next free batch (of batchSize entries, unless the folder fixed
    // another size first) and gives its number and its unmarked entries, by
    // their index in the list. With Wait, waitSeconds is how long until the
    // first claim of another workstation may go stale.
    Next NextBatch(size_t batchSize, size_t& batch, std::vector<size_t>& entries, int64_t* waitSeconds = nullptr);
    // Renews the heartbeat of every batch held; call it at least once per
    // drawing (a drawing's budget is a third of staleSeconds). A batch taken
    // over by another workstation (this one was taken for stopped) is no
    // longer held and goes to lost.
    void Renew(std::vector<size_t>* lost = nullptr);
    // Whether this run still holds the batch: ask before starting each drawing.
    bool StillMine(size_t batch);
    // The batch's drawings are run and their marks are in the list.
    bool Done(size_t batch);
    // Gives a batch up unrun, for another workstation to take at once.
    void Release(size_t batch);
    // True for exactly one workstation, once every batch is marked or done:
    // one that ran a batch of the list, and the last to call its batch done.
    // It writes what ends the list and then calls RemoveAll.
    bool ClaimLast();
    // Removes every claim and the folder.
    void RemoveAll();

    // What the list and its claims show now, for the log of a long run.
    struct Progress {
        size_t entries = 0;   // of the list
        size_t marked = 0;    // entries marked done
        size_t held = 0;      // batches whose claim's heartbeat runs
        size_t stale = 0;     // batches whose claim's heartbeat stopped
        size_t done = 0;      // batches run
    };
    bool Survey(Progress& progress);

    size_t BatchSize() const { return m_batchSize; }
    // After NextBatch gave a batch taken over from a stopped workstation: that
    // workstation's name (UTF-8) and process, for the log. False for a free batch.
    bool TakenOver(std::string& computer, uint32_t& process) const;

private:
    bool FixLayout(size_t batchSize, size_t entryCount, Next& failure);
    bool AllMarked(const std::vector<bool>& marks, size_t batch) const;
    bool IsDone(size_t batch);
    enum class Claim { Made, Busy, Failed };
    // Creates the batch's claim, taking over a stale one.
    Claim TryClaim(size_t batch, int64_t& retryAt);
    void RemoveGenerations(size_t batch, unsigned upTo);

    std::wstring ClaimName(size_t batch, unsigned generation) const;
    std::wstring DoneName(size_t batch) const;

    ClaimFolder& m_folder;
    std::string m_content;   // what a claim of this run holds
    int64_t m_staleSeconds;
    MarkReader m_readMarks;
    Clock m_clock;
    int64_t m_now = 0;   // the clock, read once per operation: the server's clock costs a file
    size_t m_batchSize = 0;
    size_t m_entryCount = 0;
    std::map<size_t, unsigned> m_held;   // batch -> generation of its claim
    std::set<size_t> m_done;             // done batches seen: done stays done
    std::string m_takenFrom;             // the stale claim that the last batch was taken from
    bool m_ranBatch = false;             // this run called a batch of its own done
};
