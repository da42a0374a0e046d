#include "KestDmlFile.h"
#include "DmlFormat.h"
#include "FormatCheck.h"
#include "MemoryChars.h"
#include "PathPlatform.h"
#include "../app/ResourceIds.h"
#include "../app/RunIds.h"
#include "../app/RunMessages.h"

#include <windows.h>

#include <atomic>
#include <unordered_set>

namespace {
std::atomic<bool> g_refuseTempFiles{false};
// The done mark as the list holds it: ASCII in every code page.
const char kDoneMarkBytes[] = "[x]";
const size_t kMarkBytes = sizeof kDoneMarkBytes - 1;

// A file of a fresh name in the folder, as GetTempFileNameW makes one; false when the folder refuses.
bool MakeTempFile(const std::wstring& folder, wchar_t (&temp)[MAX_PATH + 1])
{
    if (g_refuseTempFiles) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return GetTempFileNameW(folder.c_str(), L"dml", 0, temp) != 0;
}

class FileChars : public DmlCharSource {
public:
    explicit FileChars(KestFile& file) : m_file(file) {}
    bool ReadChar(wchar_t& c) override { return m_file.ReadChar(c); }
    uint64_t Position() const override { return m_file.Position(); }

private:
    KestFile& m_file;
};

bool LoadHeader(std::wstring& header)
{
    CString text;
    if (!text.LoadString(IDS_DML_HEADER))
        return false;
    header = text.Str();
    return true;
}

// The folder part of a path, with its separator; empty for a bare name.
std::wstring FolderOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? std::wstring(L".\\") : path.substr(0, slash + 1);
}
}

bool KestDmlFile::ReadLine(std::wstring& line)
{
    FileChars chars(*this);
    DmlFormat::Line read;
    bool ok = DmlFormat::ReadLine(chars, read);
    line = read.text;
    return ok;
}

void KestDmlFile::SetTempFilesRefusedForTest(bool refused) { g_refuseTempFiles = refused; }

bool KestDmlFile::IsTooLarge()
{
    LARGE_INTEGER size;
    return IsOpen() && GetFileSizeEx(m_file.m_hFile, &size) && static_cast<uint64_t>(size.QuadPart) > MaxListBytes;
}

bool KestDmlFile::ReadList(std::vector<std::wstring>& entries, bool skipDone, DmlFormat::Skipped* skipped)
{
    entries.clear();
    if (skipped)
        *skipped = DmlFormat::Skipped();
    std::wstring header;
    if (!LoadHeader(header))
        return false;
    if (IsTooLarge()) {
        ReportTooLarge();
        return false;
    }
    FileChars chars(*this);
    return DmlFormat::ReadList(chars, header, skipDone, entries, nullptr, skipped);
}

void KestDmlFile::ReportTooLarge()
{
    if (!m_showErrors)
        return;
    CString format, text;
    format.LoadString(IDS_DML_TOO_LARGE);
    if (FormatTakes(format.Str(), "sd"))
        text.Format(format, m_fileName.c_str(), MaxListMegabytes);
    else
        text.Format(L"%s\n%d MB", m_fileName.c_str(), MaxListMegabytes);
    RunMessages::Show(nullptr, text.Str(), MB_OK | MB_ICONERROR);
}

bool KestDmlFile::WriteList(const std::vector<std::wstring>& entries, const std::vector<unsigned char>* done)
{
    std::wstring header;
    if (!LoadHeader(header) || !IsOpen())
        return false;
    WriteText(header + L"\r\n");
    for (size_t i = 0; i < entries.size(); ++i) {
        bool isDone = done && i < done->size() && (*done)[i] != 0;
        if (!WriteText(DmlFormat::EntryLine(entries[i], isDone)))
            return false;
    }
    return true;
}

bool KestDmlFile::MarkDone(const std::vector<std::wstring>& doneNames, bool* tooLarge, bool* marksKept)
{
    if (tooLarge)
        *tooLarge = false;
    if (marksKept)
        *marksKept = false;
    std::wstring header;
    if (!LoadHeader(header) || !Open(false))
        return false;
    std::string data;
    // The limit holds while reading too, and a list that grew meanwhile is too large as well.
    bool read = !IsTooLarge() && ReadAll(data, MaxListBytes);
    bool large = !read && IsTooLarge();
    Close();
    if (!read) {
        if (tooLarge)
            *tooLarge = large;
        return false;
    }

    MemoryChars chars(MemoryReader(data));
    std::vector<std::wstring> entries;
    std::vector<DmlFormat::Line> lines;
    if (!DmlFormat::ReadList(chars, header, false, entries, &lines))
        return false;

    std::unordered_set<std::wstring> done;
    for (const std::wstring& name : doneNames)
        done.insert(PathPlatform::Lower(name));
    std::vector<DmlFormat::MarkChange> changes = DmlFormat::PlanMarkDone(
        lines, [&done](const std::wstring& entry) { return done.count(PathPlatform::Lower(entry)) != 0; });
    if (changes.empty())
        return true;
    std::string updated = DmlFormat::ApplyMarkChanges(data, changes);

    // The list must be writable as it stands; this also gives the usual message when it is not.
    CFileException error;
    if (!m_file.Open(m_fileName.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite, &error)) {
        ReportError(error.m_cause);
        return false;
    }
    m_file.Abort();

    // The new content goes to a file beside the list and replaces it in one
    // step, so a failure or a crash on the way leaves the list as it was.
    // Where the folder takes no new file (the user may write the list, not create files beside it), the
    // marks are written over in place instead, but only where each keeps its length: a mark of another
    // length would shift the rest of the list, and a failure on the way would leave it half shifted.
    wchar_t temp[MAX_PATH + 1] = {0};
    if (!MakeTempFile(FolderOf(m_fileName), temp)) {
        for (const DmlFormat::MarkChange& change : changes)
            if (change.end - change.start != kMarkBytes) {
                if (marksKept)
                    *marksKept = true;
                return false;
            }
        return WriteMarksInPlace(changes);
    }
    CFile out;
    bool written = false;
    if (out.Open(temp, CFile::modeCreate | CFile::modeWrite, &error)) {
        try {
            out.Write(updated.data(), static_cast<UINT>(updated.size()));
            out.Flush();
            out.Close();
            written = true;
        } catch (const CFileException& e) {
            error = e;
        }
    }
    if (written && !ReplaceFileW(m_fileName.c_str(), temp, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                 nullptr) &&
        !MoveFileExW(temp, m_fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        LONG osError = static_cast<LONG>(GetLastError());
        error = CFileException(CFileException::OsErrorToException(osError), osError, m_fileName.c_str());
        written = false;
    }
    if (!written) {
        out.Abort();
        DeleteFileW(temp);
        ReportError(error.m_cause);
        return false;
    }
    return true;
}

bool KestDmlFile::WriteMarksInPlace(const std::vector<DmlFormat::MarkChange>& changes)
{
    CFileException error;
    CFile out;
    if (!out.Open(m_fileName.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite, &error)) {
        ReportError(error.m_cause);
        return false;
    }
    try {
        for (const DmlFormat::MarkChange& change : changes) {
            LARGE_INTEGER at;
            at.QuadPart = static_cast<LONGLONG>(change.start);
            if (!SetFilePointerEx(out.m_hFile, at, nullptr, FILE_BEGIN))
                CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_fileName.c_str());
            out.Write(kDoneMarkBytes, kMarkBytes);
        }
        out.Flush();
        out.Close();
    } catch (const CFileException& e) {
        out.Abort();
        ReportError(e.m_cause);
        return false;
    }
    return true;
}
