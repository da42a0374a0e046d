// The file operations that claims on a shared drawing list rely on, in the
// folder of claims beside the list. Each must be one operation of the file
// server, so that workstations need no server of ours to agree.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class ClaimFolder {
public:
    enum class Created { Yes, Exists, Failed };

    virtual ~ClaimFolder() = default;
    // Creates the folder when it is missing; false when it neither is nor can be made.
    virtual bool Make() = 0;
    // Creates a file that must not exist yet: of two workstations, only one gets Yes.
    virtual Created CreateNew(const std::wstring& name, const std::string& content) = 0;
    virtual bool Exists(const std::wstring& name) = 0;
    virtual bool Read(const std::wstring& name, std::string& content) = 0;
    // The last-write time, seconds since 1970 (UTC); false when the file is gone.
    virtual bool LastWrite(const std::wstring& name, int64_t& seconds) = 0;
    virtual bool SetLastWrite(const std::wstring& name, int64_t seconds) = 0;
    // Renames only when no file of the new name exists.
    virtual bool MoveNoReplace(const std::wstring& from, const std::wstring& to) = 0;
    virtual bool Remove(const std::wstring& name) = 0;
    virtual bool List(std::vector<std::wstring>& names) = 0;
    // Removes the folder once it is empty.
    virtual bool RemoveFolder() = 0;
};
