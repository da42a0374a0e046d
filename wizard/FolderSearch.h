// The Files page's search of a folder tree for drawings: every visible "dwg" file of the whole tree,
// hidden and system folders included. The tree is walked with a stack of its own, not by recursion, so
// no depth of folders can exhaust the thread's stack; the order is the one a recursive walk gives.
// Each folder is searched once, known by its final path (every link resolved), or by its volume and file
// index where no final path can be had and the index is not 0: a junction or a symbolic link that leads
// back up the tree (or to a folder searched already) is not followed again, so the search ends and adds
// each drawing once. Redirectors give index 0 and some file systems repeat indexes, so an index alone
// never outranks a final path.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class FolderSearch {
public:
    struct Entry {
        std::wstring name;
        uint32_t attributes;
    };

    // What makes a folder the same folder whatever path leads to it.
    struct FolderId {
        uint32_t volume;
        uint64_t index;           // 0: the file system gives none
        std::wstring finalPath;   // empty when the system could not name it
    };

    // Lists the entries of one folder in the platform's order (the seam for tests).
    class Lister {
    public:
        virtual ~Lister() = default;
        // False when the folder cannot be listed; it then counts as empty.
        virtual bool List(const std::wstring& folder, std::vector<Entry>& entries) = 0;
        // The folder's identity; false when no part of it can be read.
        virtual bool Identify(const std::wstring& folder, FolderId& id) = 0;
    };

    // Told of each folder before it is listed and of each drawing found; false from either stops the search.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual bool OnFolder(const std::wstring& /*folder*/) { return true; }
        virtual bool OnDrawing(const std::wstring& path, uint32_t attributes) = 0;
    };

    // File attributes that keep a file out of the search: hidden, system, temporary, offline.
    static constexpr uint32_t kSkippedFileAttributes = 0x1106;
    static constexpr uint32_t kDirectoryAttribute = 0x10;
    // A junction or symbolic link: followed only when the folder it leads to can be identified.
    static constexpr uint32_t kReparsePointAttribute = 0x400;

    explicit FolderSearch(Lister& lister) : m_lister(lister) {}

    // Searches folder and everything below it. False when the observer stopped the search.
    bool Run(const std::wstring& folder, Observer& observer);

    // A file name whose extension is "dwg" in any letter case.
    static bool IsDrawingName(const std::wstring& name);
    // "." and every folder name beginning with "..": never searched.
    static bool IsSkippedFolderName(const std::wstring& name);
    // folder + "\" + name, without doubling a separator that folder ends with (a drive root).
    static std::wstring Join(const std::wstring& folder, const std::wstring& name);

    size_t m_foldersSearched = 0;

private:
    Lister& m_lister;
};

#ifdef _WIN32
// The platform's lister: FindFirstFileExW on folder + "\*.*".
class FindFileLister : public FolderSearch::Lister {
public:
    bool List(const std::wstring& folder, std::vector<FolderSearch::Entry>& entries) override;
    // The final path, volume serial number and file index of the folder itself (a link is followed to its
    // target).
    bool Identify(const std::wstring& folder, FolderSearch::FolderId& id) override;
};
#endif
