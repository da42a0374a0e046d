// A file or folder name as one lowercase full path split into drive, folder,
// title and extension; also makes temporary names and display abbreviations.
#pragma once
#include <cstddef>
#include <string>

class KestFilenm {
public:
    KestFilenm() = default;
    KestFilenm(const std::wstring& name, bool forwardSlashes);
    virtual ~KestFilenm() = default;
    KestFilenm(const KestFilenm&) = default;
    KestFilenm& operator=(const KestFilenm&) = default;

    void SetName(const std::wstring& name);
    // A fresh name "<temp folder>lorn<counter hex>.<ext>"; an empty ext means "TMP".
    void SetTempName(const std::wstring& ext);
    // m_path, or an abbreviation of about maxLen characters with "..." for the middle folders.
    std::wstring Shorten(size_t maxLen) const;

    // drive + dir: the folder of the name, ending in a separator.
    std::wstring Folder() const { return m_drive + m_dir; }

    std::wstring m_name;
    std::wstring m_path;
    std::wstring m_drive;
    std::wstring m_dir;
    std::wstring m_title;
    std::wstring m_ext;
    bool m_forwardSlashes = false;

    // Test hook for the process-wide counter behind SetTempName.
    static void SetTempCounterForTest(unsigned short value);
};
