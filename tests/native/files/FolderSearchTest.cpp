// Which files of a folder tree the search reports, in which order, and how it stops.
#include "FolderSearch.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {
constexpr uint32_t kFile = 0x20, kDir = 0x10, kHidden = 0x2, kSystem = 0x4, kReadOnly = 0x1, kTemp = 0x100,
                   kOffline = 0x1000;

// A folder tree in memory: folder path -> its entries in listing order.
class FakeTree : public FolderSearch::Lister {
public:
    bool List(const std::wstring& folder, std::vector<FolderSearch::Entry>& entries) override
    {
        listed.push_back(folder);
        auto it = folders.find(folder);
        if (it == folders.end())
            return false;
        entries = it->second;
        return true;
    }
    // A folder reached through a link is the folder it leads to; unknown folders cannot be identified.
    bool Identify(const std::wstring& folder, FolderSearch::FolderId& id) override
    {
        auto link = links.find(folder);
        const std::wstring& real = link == links.end() ? folder : link->second;
        if (unidentifiable.count(real))
            return false;
        id = {7, ids.emplace(real, ids.size() + 1).first->second, {}};
        if (kind == Ids::Zero)
            id.index = 0;   // a redirector's answer
        if (kind == Ids::SharedWithPaths)
            id = {7, 5, L"\\\\?\\" + real};   // one index for all, as some file systems give
        return true;
    }
    enum class Ids { Unique, Zero, SharedWithPaths } kind = Ids::Unique;
    std::map<std::wstring, std::vector<FolderSearch::Entry>> folders;
    std::map<std::wstring, std::wstring> links;
    std::set<std::wstring> unidentifiable;
    std::map<std::wstring, uint64_t> ids;
    std::vector<std::wstring> listed;
};

class Collector : public FolderSearch::Observer {
public:
    bool OnFolder(const std::wstring&) override { return ++folderCalls <= stopAfterFolders; }
    bool OnDrawing(const std::wstring& path, uint32_t) override
    {
        found.push_back(path);
        return found.size() < stopAfterDrawings;
    }
    std::vector<std::wstring> found;
    size_t folderCalls = 0;
    size_t stopAfterFolders = SIZE_MAX;
    size_t stopAfterDrawings = SIZE_MAX;
};

std::wstring Show(const std::vector<std::wstring>& paths)
{
    std::wstring all;
    for (const std::wstring& p : paths)
        all += p + L"\n";
    return all;
}
}

TEST(FolderSearch, ReportsVisibleDrawingsOfTheWholeTreeInWalkOrder)
{
    FakeTree tree;
    tree.folders[L"c:\\work"] = {{L".", kDir},      {L"..", kDir},
                                 {L"a.dwg", kFile}, {L"sub", kDir},
                                 {L"B.DWG", kFile}, {L"notes.txt", kFile},
                                 {L"dwg", kFile},   {L"x.dwgx", kFile},
                                 {L".dwg", kFile},  {L"locked.dwg", kFile | kReadOnly}};
    tree.folders[L"c:\\work\\sub"] = {{L".", kDir}, {L"..", kDir}, {L"c.Dwg", kFile}};
    Collector seen;
    FolderSearch search(tree);
    EXPECT_TRUE(search.Run(L"c:\\work", seen));
    // Read-only drawings are found: the page lists them and leaves them out at Next.
    std::vector<std::wstring> want = {L"c:\\work\\a.dwg", L"c:\\work\\sub\\c.Dwg", L"c:\\work\\B.DWG",
                                      L"c:\\work\\.dwg", L"c:\\work\\locked.dwg"};
    EXPECT_EQ(seen.found, want) << Show(seen.found);
    EXPECT_EQ(search.m_foldersSearched, 2u);
}

TEST(FolderSearch, SkipsHiddenSystemTemporaryAndOfflineFilesButSearchesHiddenFolders)
{
    FakeTree tree;
    tree.folders[L"d:\\tree"] = {{L"hidden.dwg", kFile | kHidden},
                                 {L"system.dwg", kFile | kSystem},
                                 {L"temp.dwg", kFile | kTemp},
                                 {L"offline.dwg", kFile | kOffline},
                                 {L"h", kDir | kHidden},
                                 {L"s", kDir | kSystem | kHidden},
                                 {L".git", kDir},
                                 {L"..weird", kDir},
                                 {L"..file.dwg", kFile}};
    tree.folders[L"d:\\tree\\h"] = {{L"in-hidden.dwg", kFile}};
    tree.folders[L"d:\\tree\\s"] = {{L"in-system.dwg", kFile}};
    tree.folders[L"d:\\tree\\.git"] = {{L"in-dot.dwg", kFile}};
    tree.folders[L"d:\\tree\\..weird"] = {{L"never.dwg", kFile}};
    Collector seen;
    FolderSearch search(tree);
    search.Run(L"d:\\tree", seen);
    std::vector<std::wstring> want = {L"d:\\tree\\h\\in-hidden.dwg", L"d:\\tree\\s\\in-system.dwg",
                                      L"d:\\tree\\.git\\in-dot.dwg", L"d:\\tree\\..file.dwg"};
    EXPECT_EQ(seen.found, want) << Show(seen.found);
    for (const std::wstring& folder : tree.listed)
        EXPECT_EQ(folder.find(L"..weird"), std::wstring::npos)
            << "listed " << std::string(folder.begin(), folder.end());
}

TEST(FolderSearch, DriveRootKeepsOneSeparatorAndItsFirstEntryCounts)
{
    FakeTree tree;
    // A drive root lists no "." entry: its first entry is a real one.
    tree.folders[L"e:\\"] = {{L"first.dwg", kFile}, {L"sub", kDir}};
    tree.folders[L"e:\\sub"] = {{L"second.dwg", kFile}};
    Collector seen;
    FolderSearch(tree).Run(L"e:\\", seen);
    std::vector<std::wstring> want = {L"e:\\first.dwg", L"e:\\sub\\second.dwg"};
    EXPECT_EQ(seen.found, want) << Show(seen.found);
}

TEST(FolderSearch, UnlistableFolderCountsAsEmpty)
{
    FakeTree tree;
    tree.folders[L"c:\\a"] = {{L"gone", kDir}, {L"z.dwg", kFile}};
    Collector seen;
    EXPECT_TRUE(FolderSearch(tree).Run(L"c:\\a", seen));
    EXPECT_EQ(seen.found, std::vector<std::wstring>{L"c:\\a\\z.dwg"}) << Show(seen.found);
}

TEST(FolderSearch, ObserverStopsTheSearch)
{
    FakeTree tree;
    tree.folders[L"c:\\a"] = {{L"1.dwg", kFile}, {L"b", kDir}, {L"2.dwg", kFile}};
    tree.folders[L"c:\\a\\b"] = {{L"3.dwg", kFile}};
    Collector byDrawing;
    byDrawing.stopAfterDrawings = 2;
    EXPECT_FALSE(FolderSearch(tree).Run(L"c:\\a", byDrawing));
    EXPECT_EQ(byDrawing.found.size(), 2u) << Show(byDrawing.found);

    Collector byFolder;
    byFolder.stopAfterFolders = 1;
    FolderSearch search(tree);
    EXPECT_FALSE(search.Run(L"c:\\a", byFolder));
    EXPECT_EQ(byFolder.found, std::vector<std::wstring>{L"c:\\a\\1.dwg"}) << Show(byFolder.found);
    EXPECT_EQ(search.m_foldersSearched, 1u);
}

TEST(FolderSearch, DeepTreeNeedsNoStackOfItsOwn)
{
    // Far deeper than a recursive walk with a find record per level could go on a thread's stack:
    // every folder holds one folder "d" down to the given depth, and the last one a drawing.
    class Chain : public FolderSearch::Lister {
    public:
        bool List(const std::wstring& folder, std::vector<FolderSearch::Entry>& entries) override
        {
            size_t depth = (folder.size() - 7) / 2;
            if (depth < kDepth)
                entries = {{L"d", kDir}};
            else
                entries = {{L"bottom.dwg", kFile}};
            return true;
        }
        bool Identify(const std::wstring& folder, FolderSearch::FolderId& id) override
        {
            id = {1, folder.size()};
            return true;
        }
        const size_t kDepth = 20000;
    } chain;
    Collector seen;
    FolderSearch search(chain);
    EXPECT_TRUE(search.Run(L"c:\\deep", seen));
    ASSERT_EQ(seen.found.size(), 1u);
    EXPECT_EQ(seen.found[0].size(), 7 + 2 * chain.kDepth + 11);
    EXPECT_EQ(search.m_foldersSearched, chain.kDepth + 1);
}

TEST(FolderSearch, EachFolderIsSearchedOnceWhateverLinksLeadToIt)
{
    constexpr uint32_t kLink = 0x400;
    FakeTree tree;
    // "up" leads back to the top, "again" to a folder searched already, "other" to a folder outside the tree
    // (searched once, where it is first reached); "broken" is a link whose target cannot be identified, and
    // "plain" a folder that cannot be identified either.
    tree.folders[L"c:\\t"] = {{L"a.dwg", kFile}, {L"sub", kDir}, {L"again", kDir | kLink}, {L"other", kDir | kLink},
                              {L"broken", kDir | kLink}, {L"plain", kDir}};
    tree.folders[L"c:\\t\\sub"] = {{L"b.dwg", kFile}, {L"up", kDir | kLink}};
    tree.folders[L"c:\\t\\other"] = {{L"c.dwg", kFile}, {L"back", kDir | kLink}};
    tree.folders[L"c:\\t\\plain"] = {{L"d.dwg", kFile}};
    tree.folders[L"c:\\t\\broken"] = {{L"never.dwg", kFile}};
    tree.links = {{L"c:\\t\\sub\\up", L"c:\\t"}, {L"c:\\t\\again", L"c:\\t\\sub"},
                  {L"c:\\t\\other\\back", L"c:\\t\\other"}, {L"c:\\t\\broken", L"c:\\gone"}};
    tree.unidentifiable = {L"c:\\gone", L"c:\\t\\plain"};
    Collector seen;
    FolderSearch search(tree);
    EXPECT_TRUE(search.Run(L"c:\\t", seen));
    std::vector<std::wstring> want = {L"c:\\t\\a.dwg", L"c:\\t\\sub\\b.dwg", L"c:\\t\\other\\c.dwg",
                                      L"c:\\t\\plain\\d.dwg"};
    EXPECT_EQ(seen.found, want) << Show(seen.found);
    EXPECT_EQ(search.m_foldersSearched, 4u);
    EXPECT_EQ(seen.folderCalls, 4u);
}

TEST(FolderSearch, DrawingNames)
{
    EXPECT_TRUE(FolderSearch::IsDrawingName(L"a.dwg"));
    EXPECT_TRUE(FolderSearch::IsDrawingName(L"A.DwG"));
    EXPECT_TRUE(FolderSearch::IsDrawingName(L"archive.tar.dwg"));
    EXPECT_FALSE(FolderSearch::IsDrawingName(L"a.dwg.bak"));
    EXPECT_FALSE(FolderSearch::IsDrawingName(L"a.dwt"));
    EXPECT_FALSE(FolderSearch::IsDrawingName(L"a.dw"));
    EXPECT_FALSE(FolderSearch::IsDrawingName(L"adwg"));
    EXPECT_FALSE(FolderSearch::IsDrawingName(L""));
}

TEST(FolderSearch, FoldersAreToldApartWhereIndexesAreZeroOrRepeated)
{
    constexpr uint32_t kLink = 0x400;
    for (FakeTree::Ids kind : {FakeTree::Ids::Zero, FakeTree::Ids::SharedWithPaths}) {
        FakeTree tree;
        tree.kind = kind;
        tree.folders[L"c:\\t"] = {{L"a.dwg", kFile}, {L"sub", kDir}, {L"two", kDir}};
        tree.folders[L"c:\\t\\sub"] = {{L"b.dwg", kFile}, {L"up", kDir | kLink}};
        tree.folders[L"c:\\t\\two"] = {{L"c.dwg", kFile}};
        tree.links = {{L"c:\\t\\sub\\up", L"c:\\t"}};
        Collector seen;
        EXPECT_TRUE(FolderSearch(tree).Run(L"c:\\t", seen));
        EXPECT_EQ(seen.found, (std::vector<std::wstring>{L"c:\\t\\a.dwg", L"c:\\t\\sub\\b.dwg",
                                                         L"c:\\t\\two\\c.dwg"}))
            << static_cast<int>(kind) << "\n" << Show(seen.found);
    }
}
