#include "KestRunReport.h"
#include "../drawings/PathPlatform.h"

#include <unordered_set>

using ReportCsv::Result;

void KestRunReport::Clear()
{
    m_entries.clear();
    m_index.clear();
    m_current = SIZE_MAX;
}

void KestRunReport::Add(const std::wstring& path, const std::wstring& release, Result decided)
{
    const std::wstring key = PathPlatform::Lower(path);
    if (m_index.count(key))
        return;
    Entry entry;
    entry.row.path = path;
    entry.row.release = release;
    entry.row.result = decided;
    entry.excluded = decided != Result::NotMigrated;
    m_index[key] = m_entries.size();
    m_entries.push_back(entry);
}

bool KestRunReport::Knows(const std::wstring& path) const { return m_index.count(PathPlatform::Lower(path)) != 0; }

void KestRunReport::Exclude(const std::wstring& path, Result why)
{
    auto found = m_index.find(PathPlatform::Lower(path));
    if (found == m_index.end() || why == Result::NotMigrated)
        return;
    m_entries[found->second].row.result = why;
    m_entries[found->second].excluded = true;
}

std::vector<std::wstring> KestRunReport::RunDrawings() const
{
    std::vector<std::wstring> drawings;
    for (const Entry& entry : m_entries)
        if (!entry.excluded)
            drawings.push_back(entry.row.path);
    return drawings;
}

std::vector<std::pair<std::wstring, Result>> KestRunReport::Excluded() const
{
    std::vector<std::pair<std::wstring, Result>> excluded;
    for (const Entry& entry : m_entries)
        if (entry.excluded)
            excluded.emplace_back(entry.row.path, entry.row.result);
    return excluded;
}

void KestRunReport::MovedOn(const std::vector<std::wstring>& passed, const std::wstring* next)
{
    const ULONGLONG now = GetTickCount64();
    std::vector<size_t> shares;
    if (m_current < m_entries.size())
        shares.push_back(m_current);
    for (const std::wstring& path : passed) {
        auto found = m_index.find(PathPlatform::Lower(path));
        if (found != m_index.end() && found->second != m_current)
            shares.push_back(found->second);
    }
    const bool timed = m_current < m_entries.size();
    if (timed)
        m_entries[m_current].ms += m_seen - m_since;
    const ULONGLONG each = timed ? (now - m_seen) / shares.size() : 0;
    for (size_t index : shares) {
        m_entries[index].ms += each;
        m_entries[index].ran = true;
    }
    m_current = SIZE_MAX;
    if (next) {
        auto found = m_index.find(PathPlatform::Lower(*next));
        if (found != m_index.end()) {
            m_current = found->second;
            m_entries[m_current].ran = true;
        }
    }
    m_since = m_seen = now;
}

void KestRunReport::NoteTimeout()
{
    if (m_current < m_entries.size())
        m_entries[m_current].event = Event::TimedOut;
}

void KestRunReport::NoteHostError(const std::wstring& line)
{
    if (m_current >= m_entries.size())
        return;
    m_entries[m_current].event = Event::HostError;
    m_entries[m_current].row.hostError = line;
}

std::vector<ReportCsv::Row> KestRunReport::Rows(const std::vector<std::wstring>& migrated) const
{
    std::unordered_set<std::wstring> done;
    for (const std::wstring& name : migrated)
        done.insert(PathPlatform::Lower(name));
    std::vector<ReportCsv::Row> rows;
    rows.reserve(m_entries.size());
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& entry = m_entries[i];
        ReportCsv::Row row = entry.row;
        if (!entry.excluded) {
            ULONGLONG ms = entry.ms + (i == m_current ? m_seen - m_since : 0);
            row.seconds = entry.ran ? static_cast<long long>((ms + 500) / 1000) : -1;
            if (done.count(PathPlatform::Lower(entry.row.path)))
                row.result = Result::Migrated;
            else if (entry.event == Event::TimedOut)
                row.result = Result::TimedOut;
            else if (entry.event == Event::HostError)
                row.result = Result::HostError;
            else
                row.result = Result::NotMigrated;
        }
        rows.push_back(row);
    }
    return rows;
}

bool KestRunReport::Usable(const std::wstring& path, Result& why)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        why = Result::Missing;
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        why = Result::ReadOnly;
        return false;
    }
    // Opened for writing as the host will open it, sharing everything: only a
    // program that holds the file without sharing makes this fail.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
        why = Result::OpenElsewhere;
        return false;
    }
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        why = Result::Missing;
        return false;
    }
    if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT) {
        why = Result::ReadOnly;
        return false;
    }
    // Anything else (a network hiccup) is for the host to meet and the report to show.
    return true;
}
