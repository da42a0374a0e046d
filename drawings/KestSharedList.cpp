#include "KestSharedList.h"
#include "MemoryChars.h"
#include "PathPlatform.h"
#include "../app/RunIds.h"

#include <windows.h>

#include <unordered_set>

namespace {
OVERLAPPED LockRange()
{
    OVERLAPPED range = {};
    range.Offset = static_cast<DWORD>(KestSharedList::LockOffset);
    range.OffsetHigh = static_cast<DWORD>(KestSharedList::LockOffset >> 32);
    return range;
}
}

bool KestSharedList::ReadLines(std::string& data, std::vector<std::wstring>& entries,
                               std::vector<DmlFormat::Line>& lines)
{
    CString header;
    if (!header.LoadString(IDS_DML_HEADER) || !ReadAll(data, MaxListBytes))
        return false;
    MemoryChars chars(MemoryReader(data));
    return DmlFormat::ReadList(chars, header.Str(), false, entries, &lines);
}

bool KestSharedList::ReadMarks(std::vector<std::wstring>& entries, std::vector<bool>& done)
{
    entries.clear();
    done.clear();
    if (!Open(false))
        return false;
    std::string data;
    std::vector<DmlFormat::Line> lines;
    bool ok = ReadLines(data, entries, lines);
    Close();
    for (const DmlFormat::Line& line : lines)
        done.push_back(DmlFormat::MarkOf(line.text) == DmlFormat::DoneMark);
    return ok;
}

KestListClaims::MarkReader KestSharedList::MarkReaderFor(const std::wstring& path)
{
    return [path](std::vector<bool>& done) {
        KestSharedList list(path);
        list.m_showErrors = false;
        std::vector<std::wstring> entries;
        return list.ReadMarks(entries, done);
    };
}

bool KestSharedList::Lock(unsigned waitMs)
{
    // Several workstations finishing a drawing at once each wait a different while before trying again.
    DWORD pause = 10 + GetCurrentProcessId() % 23;
    DWORD start = GetTickCount();
    for (;;) {
        OVERLAPPED range = LockRange();
        if (LockFileEx(m_file.m_hFile, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range))
            return true;
        DWORD error = GetLastError();
        if ((error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) || GetTickCount() - start >= waitMs)
            return false;
        Sleep(pause);
        pause = pause < 200 ? pause * 2 : pause;
    }
}

void KestSharedList::Unlock()
{
    OVERLAPPED range = LockRange();
    UnlockFileEx(m_file.m_hFile, 0, 1, 0, &range);
}

bool KestSharedList::MarkDoneLocked(const std::vector<std::wstring>& doneNames, unsigned waitMs, size_t* notMarked)
{
    if (notMarked)
        *notMarked = 0;
    CFileException error;
    if (!m_file.Open(m_fileName.c_str(), CFile::modeReadWrite, &error)) {
        ReportError(error.m_cause);
        return false;
    }
    if (!Lock(waitMs)) {
        m_file.Abort();
        ReportError(CFileException::lockViolation);
        return false;
    }
    std::string data;
    std::vector<std::wstring> entries;
    std::vector<DmlFormat::Line> lines;
    bool ok = ReadLines(data, entries, lines);

    std::unordered_set<std::wstring> done;
    for (const std::wstring& name : doneNames)
        done.insert(PathPlatform::Lower(name));
    std::vector<DmlFormat::MarkChange> changes = DmlFormat::PlanMarkDone(
        lines, [&done](const std::wstring& entry) { return done.count(PathPlatform::Lower(entry)) != 0; });
    size_t left = 0;
    try {
        for (const DmlFormat::MarkChange& change : changes) {
            if (!ok || change.end - change.start != DmlFormat::MarkLength) {
                ++left;
                continue;
            }
            LARGE_INTEGER at;
            at.QuadPart = static_cast<LONGLONG>(change.start);
            if (!SetFilePointerEx(m_file.m_hFile, at, nullptr, FILE_BEGIN))
                CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_fileName.c_str());
            m_file.Write("[x]", DmlFormat::MarkLength);
        }
        m_file.Flush();
    } catch (const CFileException& e) {
        ReportError(e.m_cause);
        ok = false;
    }
    Unlock();
    m_file.Abort();
    if (notMarked)
        *notMarked = left;
    return ok && left == 0;
}
