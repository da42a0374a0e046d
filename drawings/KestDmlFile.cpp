#include "KestDmlFile.h"
#include "DmlFormat.h"
#include "PathPlatform.h"
#include "../app/RunIds.h"

#include <windows.h>

#include <unordered_set>

namespace {
// A list file larger than this is no drawing list; MarkDone leaves it alone.
const size_t kMaxListBytes = 256u << 20;

class FileChars : public DmlCharSource {
public:
    explicit FileChars(KestFile& file) : m_file(file) {}
    bool ReadChar(wchar_t& c) override { return m_file.ReadChar(c); }
    uint64_t Position() const override { return m_file.Position(); }

private:
    KestFile& m_file;
};

class MemoryChars : public DmlCharSource {
public:
    explicit MemoryChars(MultiByteReader reader) : m_reader(std::move(reader)) {}
    bool ReadChar(wchar_t& c) override { return m_reader.ReadChar(c); }
    uint64_t Position() const override { return m_reader.Position(); }

private:
    MultiByteReader m_reader;
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

bool KestDmlFile::ReadList(std::vector<std::wstring>& entries, bool skipDone)
{
    entries.clear();
    std::wstring header;
    if (!LoadHeader(header))
        return false;
    FileChars chars(*this);
    return DmlFormat::ReadList(chars, header, skipDone, entries);
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

bool KestDmlFile::MarkDone(const std::vector<std::wstring>& doneNames)
{
    std::wstring header;
    if (!LoadHeader(header) || !Open(false))
        return false;
    std::string data;
    bool read = ReadAll(data, kMaxListBytes);
    Close();
    if (!read)
        return false;

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
    wchar_t temp[MAX_PATH + 1] = {0};
    if (!GetTempFileNameW(FolderOf(m_fileName).c_str(), L"dml", 0, temp)) {
        ReportError(CFileException::OsErrorToException(static_cast<LONG>(GetLastError())));
        return false;
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
