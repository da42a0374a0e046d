// A drawing list (DML) file: the header line (string 2024), then one line per
// drawing with its mark, "[x]" done or "[ ]" to do.
#pragma once
#include "DmlFormat.h"
#include "KestFile.h"

#include <cstdint>
#include <string>
#include <vector>

class KestDmlFile : public KestFile {
public:
    using KestFile::KestFile;

    // No drawing list is larger: reading and marking refuse a larger file, so
    // a huge file cannot exhaust the memory.
    static constexpr int MaxListMegabytes = 256;
    static constexpr uint64_t MaxListBytes = static_cast<uint64_t>(MaxListMegabytes) << 20;

    // One line without its line end; false when it is empty (or the file ended).
    bool ReadLine(std::wstring& line);
    // After Open for reading: the entries without their marks; with skipDone,
    // only those still to do. Lines that cannot be entries (a NUL, too long)
    // are left out and counted in skipped when given. False when the file is
    // no drawing list, or is larger than MaxListBytes (said in a message box).
    bool ReadList(std::vector<std::wstring>& entries, bool skipDone, DmlFormat::Skipped* skipped = nullptr);
    // After Open for writing: the header and every entry, marked done where
    // its byte in done (when given) is non-zero. False when a write failed.
    bool WriteList(const std::vector<std::wstring>& entries, const std::vector<unsigned char>* done = nullptr);
    // Marks the entries named in doneNames (case ignored) as done and leaves
    // everything else of the file as it was. Opens and closes by itself; the
    // new content replaces the file only once it is completely on the disk,
    // or, where the list's folder takes no new file, is written over the list
    // mark by mark, as long as every new mark takes the bytes of the old one;
    // otherwise the list keeps its marks and marksKept (when given) says so.
    // A list larger than MaxListBytes is left alone, without a message; tooLarge
    // (when given) then says so.
    bool MarkDone(const std::vector<std::wstring>& doneNames, bool* tooLarge = nullptr, bool* marksKept = nullptr);

    // Test hook: the list's folder refuses the temporary file, as a folder does
    // where the user may not create files.
    static void SetTempFilesRefusedForTest(bool refused);

    // The open file is larger than MaxListBytes.
    bool IsTooLarge();

private:
    void ReportTooLarge();
    bool WriteMarksInPlace(const std::vector<DmlFormat::MarkChange>& changes);
};
