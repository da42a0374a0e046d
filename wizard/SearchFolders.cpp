#include "SearchFolders.h"
#include "KestFilenm.h"

namespace SearchFolders {
std::wstring FolderKey(const std::wstring& folder)
{
    if (folder.empty())
        return std::wstring();
    std::wstring key = KestFilenm(folder, false).m_path;
    // "c:\dwg" and "c:\dwg\" are one folder; a drive root keeps its separator.
    while (key.size() > 1 && (key.back() == L'\\' || key.back() == L'/')) {
        wchar_t before = key[key.size() - 2];
        if (before == L':' || before == L'\\' || before == L'/')
            break;
        key.pop_back();
    }
    return key;
}

bool IsListed(const std::wstring& folder, const std::vector<std::wstring>& listed)
{
    std::wstring key = FolderKey(folder);
    if (key.empty())
        return false;
    for (const std::wstring& text : listed)
        if (FolderKey(text) == key)
            return true;
    return false;
}

std::vector<std::wstring> DrawingFoldersToAdd(const std::vector<std::wstring>& drawings,
                                              const std::vector<std::wstring>& listed)
{
    std::vector<std::wstring> all = listed, added;
    for (const std::wstring& drawing : drawings) {
        KestFilenm name(drawing, false);
        std::wstring folder = name.m_drive + name.m_dir;
        if (folder.empty() || IsListed(folder, all))
            continue;
        all.push_back(folder);
        added.push_back(folder);
    }
    return added;
}
}
