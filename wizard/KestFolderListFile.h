// A folder list file ("pth") of the Search page: read whole on open, in the
// encoding its first bytes announce; written in the ANSI code page, or as
// UTF-8 with a byte order mark when a folder's name does not fit that code page.
#pragma once
#include "KestFile.h"

#include <string>
#include <vector>

class KestFolderListFile : public KestFile {
public:
    using KestFile::KestFile;

    // After Open for reading. False (after the file class's message) when the
    // file cannot be read, or is too large to be a folder list.
    bool ReadFolders(std::vector<std::wstring>& folders);
    // After Open for writing: every folder and its CR LF; false at the first
    // failed write (the file class shows the error).
    bool WriteFolders(const std::vector<std::wstring>& folders);

    // No list of folders is anywhere near this large.
    static const size_t MaxFileBytes = 16u << 20;

private:
    bool FitsCodePage(const std::wstring& text) const;
};
