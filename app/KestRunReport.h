// What the run did with each of its drawings, gathered as it goes: decided at
// the start (missing, read-only, open elsewhere), timed and noted by the
// supervision, and settled against MIGRATED.TXT at the end.
#pragma once
#include "ReportCsv.h"

#include <windows.h>
#include <string>
#include <unordered_map>
#include <vector>

class KestRunReport {
public:
    void Clear();
    bool Empty() const { return m_entries.empty(); }
    // A drawing of the run, in list order. A result other than NotMigrated
    // excludes it from the run; a drawing already known keeps its first entry.
    void Add(const std::wstring& path, const std::wstring& release,
             ReportCsv::Result decided = ReportCsv::Result::NotMigrated);
    bool Knows(const std::wstring& path) const;
    // Leaves a known drawing out of the run with this result.
    void Exclude(const std::wstring& path, ReportCsv::Result why);
    // The drawings that go to the host, in order.
    std::vector<std::wstring> RunDrawings() const;
    // Each excluded drawing with its result, in order.
    std::vector<std::pair<std::wstring, ReportCsv::Result>> Excluded() const;

    // The supervision: a look found the batch still on the same drawing; or
    // it moved on to next (none at its end or Stop). passed are drawings it
    // finished between two looks beyond the one under way: the time since the
    // last look is shared out among them and that one.
    void StillOn() { m_seen = GetTickCount64(); }
    void MovedOn(const std::vector<std::wstring>& passed, const std::wstring* next);
    void Stopped() { MovedOn({}, nullptr); }
    void NoteTimeout();
    void NoteHostError(const std::wstring& line);

    // Rows in list order with the results settled against the migrated names (case ignored).
    std::vector<ReportCsv::Row> Rows(const std::vector<std::wstring>& migrated) const;

    // Whether the drawing can be handed to the host: false with missing,
    // read-only (attribute or no right to write) or open elsewhere.
    static bool Usable(const std::wstring& path, ReportCsv::Result& why);

private:
    enum class Event { None, TimedOut, HostError };
    struct Entry {
        ReportCsv::Row row;
        bool excluded = false;
        bool ran = false;
        ULONGLONG ms = 0;
        Event event = Event::None;
    };
    std::vector<Entry> m_entries;
    std::unordered_map<std::wstring, size_t> m_index;
    size_t m_current = SIZE_MAX;
    ULONGLONG m_since = 0;
    ULONGLONG m_seen = 0;
};
