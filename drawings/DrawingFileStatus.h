// The Files page's status of one drawing file: exists, missing, read-only, a folder or offline.
#pragma once
#include <cstdint>
#include <string>

class DrawingFileStatus {
public:
    // Status texts of the Files page's status column (0: no text).
    static constexpr unsigned kMissingId = 2012;
    static constexpr unsigned kReadOnlyId = 2013;
    static constexpr unsigned kDirectoryId = 2014;
    static constexpr unsigned kOfflineId = 2015;
    // What the platform returns for a name that does not exist.
    static constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;

    // Status from file attributes as the platform reports them.
    static DrawingFileStatus FromAttributes(uint32_t attributes);
#ifdef _WIN32
    // Status of the file at a full path, read now.
    static DrawingFileStatus Check(const std::wstring& path);
#endif

    unsigned statusId = 0;
    bool missing = false;
    // Set for a missing file too: neither may be migrated.
    bool readOnly = false;
};
