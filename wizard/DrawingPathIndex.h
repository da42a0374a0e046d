// The full paths of the Files page's rows, beside the list, so that the duplicate test of each added
// drawing takes constant time however long the list is. Paths are kept as KestFilenm gives them:
// full and lower case, so a path differing only in letter case finds its row.
#pragma once
#include <string>
#include <unordered_set>

class DrawingPathIndex {
public:
    // False when the path is listed already.
    bool Add(const std::wstring& lowerPath) { return m_paths.insert(lowerPath).second; }
    void Remove(const std::wstring& lowerPath) { m_paths.erase(lowerPath); }
    bool Contains(const std::wstring& lowerPath) const { return m_paths.count(lowerPath) != 0; }
    void Clear() { m_paths.clear(); }
    size_t Size() const { return m_paths.size(); }

private:
    std::unordered_set<std::wstring> m_paths;
};
