#include "FolderSearch.h"

#include <set>

#ifdef _WIN32
#include <windows.h>
#endif

bool FolderSearch::IsDrawingName(const std::wstring& name)
{
    size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos || name.size() - dot != 4)
        return false;
    const wchar_t* ext = name.c_str() + dot + 1;
    return (ext[0] | 0x20) == L'd' && (ext[1] | 0x20) == L'w' && (ext[2] | 0x20) == L'g';
}

bool FolderSearch::IsSkippedFolderName(const std::wstring& name)
{
    return name == L"." || name.compare(0, 2, L"..") == 0;
}

std::wstring FolderSearch::Join(const std::wstring& folder, const std::wstring& name)
{
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        return folder + name;
    return folder + L'\\' + name;
}

bool FolderSearch::Run(const std::wstring& folder, Observer& observer)
{
    // One frame per folder being walked: its entries, read in one go, how far the walk has come, and the
    // length of its path in `path`, the one path string that all frames share.
    struct Frame {
        size_t pathLength;
        std::vector<Entry> entries;
        size_t next;
    };
    std::vector<Frame> stack;
    std::wstring path = folder;
    std::set<FolderId> searched;
    // False when the observer stopped the search; a folder searched already is passed over.
    auto enter = [&](uint32_t attributes) {
        FolderId id;
        if (m_lister.Identify(path, id) ? !searched.insert(id).second : (attributes & kReparsePointAttribute) != 0)
            return true;
        if (!observer.OnFolder(path))
            return false;
        ++m_foldersSearched;
        stack.push_back(Frame{path.size(), {}, 0});
        if (!m_lister.List(path, stack.back().entries))
            stack.back().entries.clear();
        return true;
    };
    if (!enter(0))
        return false;
    while (!stack.empty()) {
        Frame& top = stack.back();
        path.resize(top.pathLength);
        if (top.next == top.entries.size()) {
            stack.pop_back();
            continue;
        }
        const Entry& entry = top.entries[top.next++];
        if (entry.attributes & kDirectoryAttribute) {
            if (IsSkippedFolderName(entry.name))
                continue;
            if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
                path += L'\\';
            path += entry.name;
            if (!enter(entry.attributes))
                return false;
        } else if (!(entry.attributes & kSkippedFileAttributes) && IsDrawingName(entry.name)) {
            if (!observer.OnDrawing(Join(path, entry.name), entry.attributes))
                return false;
        }
    }
    return true;
}

#ifdef _WIN32
bool FindFileLister::List(const std::wstring& folder, std::vector<FolderSearch::Entry>& entries)
{
    WIN32_FIND_DATAW data;
    // Basic information only: the short names are never used, and fetching them costs time per entry.
    HANDLE find = FindFirstFileExW(FolderSearch::Join(folder, L"*.*").c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    do
        entries.push_back(FolderSearch::Entry{data.cFileName, data.dwFileAttributes});
    while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

bool FindFileLister::Identify(const std::wstring& folder, FolderSearch::FolderId& id)
{
    // No access asked for: the handle only answers the question. Backup semantics open folders.
    HANDLE handle = CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool known = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (!known)
        return false;
    id.volume = info.dwVolumeSerialNumber;
    id.index = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    return true;
}
#endif
