// A drawing list (DML) file: the header line (string 2024), then one line per
// drawing with its mark, "[x]" done or "[ ]" to do.
#pragma once
#include "KestFile.h"

#include <string>
#include <vector>

class KestDmlFile : public KestFile {
public:
    using KestFile::KestFile;

    // One line without its line end; false when it is empty (or the file ended).
    bool ReadLine(std::wstring& line);
    // After Open for reading: the entries without their marks; with skipDone,
    // only those still to do. False when the file is no drawing list.
    bool ReadList(std::vector<std::wstring>& entries, bool skipDone);
    // After Open for writing: the header and every entry, marked done where
    // its byte in done (when given) is non-zero. False when a write failed.
    bool WriteList(const std::vector<std::wstring>& entries, const std::vector<unsigned char>* done = nullptr);
    // Marks the entries named in doneNames (case ignored) as done and leaves
    // everything else of the file as it was. Opens and closes by itself; the
    // new content replaces the file only once it is completely on the disk.
    bool MarkDone(const std::vector<std::wstring>& doneNames);
};
