// A drawing list that several workstations mark at once, on a share. Marking
// takes a byte-range lock of the list, which the file server keeps between
// workstations (sharing modes are not enough: not every server holds them
// between clients), re-reads the list under it and sets only the mark bytes
// in place: "[ ]" and "[x]" have the same length, so a reader at any moment
// sees the whole list, and marks written by others meanwhile stay.
#pragma once
#include "KestDmlFile.h"
#include "KestListClaims.h"

class KestSharedList : public KestDmlFile {
public:
    using KestDmlFile::KestDmlFile;

    // The locked byte lies beyond any list that can be read (MaxListBytes),
    // so the lock never keeps a reader from the list's bytes.
    static constexpr uint64_t LockOffset = uint64_t(1) << 30;
    static_assert(LockOffset > MaxListBytes, "the lock must lie beyond every list");

    // The entries and their done marks, read as the list is now. False when it
    // is no drawing list, cannot be read or is too large (said when m_showErrors).
    bool ReadMarks(std::vector<std::wstring>& entries, std::vector<bool>& done);
    // What the claims of the list at path read its marks with: without messages, for runs that nobody watches.
    static KestListClaims::MarkReader MarkReaderFor(const std::wstring& path);
    // Marks the entries named in doneNames (case ignored) under the list's lock,
    // waiting for it at most waitMs. Entries whose mark is no three-byte mark
    // cannot be set in place; they are left and counted in notMarked. True when
    // every entry named is marked now.
    bool MarkDoneLocked(const std::vector<std::wstring>& doneNames, unsigned waitMs, size_t* notMarked = nullptr);

private:
    bool Lock(unsigned waitMs);
    void Unlock();
    bool ReadLines(std::string& data, std::vector<std::wstring>& entries, std::vector<DmlFormat::Line>& lines);
};
