#include "FolderSearch.h"

#include <cwctype>
#include <set>
#include <utility>

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
    std::set<std::wstring> searchedPaths;
    std::set<std::pair<uint32_t, uint64_t>> searchedIds;
    // 1 when the folder was searched already, 0 when not (it is now), -1 when that cannot be told.
    auto seen = [&](const FolderId& id) {
        if (!id.finalPath.empty()) {
            std::wstring key = id.finalPath;
            for (wchar_t& c : key)
                c = static_cast<wchar_t>(std::towlower(c));
            return searchedPaths.insert(key).second ? 0 : 1;
        }
        if (id.index != 0)
            return searchedIds.insert({id.volume, id.index}).second ? 0 : 1;
        return -1;
    };
    // False when the observer stopped the search; a folder searched already is passed over, and so is a link
    // whose target cannot be told apart from others.
    auto enter = [&](uint32_t attributes) {
        FolderId id{0, 0, {}};
        int known = m_lister.Identify(path, id) ? seen(id) : -1;
        if (known == 1 || (known == -1 && (attributes & kReparsePointAttribute) != 0))
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
    std::wstring name(MAX_PATH, L'\0');
    for (DWORD flags : {VOLUME_NAME_DOS, VOLUME_NAME_NT}) {
        DWORD n = GetFinalPathNameByHandleW(handle, &name[0], static_cast<DWORD>(name.size()), flags);
        if (n >= name.size()) {
            name.assign(n + 1, L'\0');
            n = GetFinalPathNameByHandleW(handle, &name[0], static_cast<DWORD>(name.size()), flags);
        }
        if (n > 0 && n < name.size()) {
            id.finalPath.assign(name.c_str(), n);
            break;
        }
    }
    BY_HANDLE_FILE_INFORMATION info;
    bool indexed = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (indexed) {
        id.volume = info.dwVolumeSerialNumber;
        id.index = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    }
    return indexed || !id.finalPath.empty();
}
#endif
