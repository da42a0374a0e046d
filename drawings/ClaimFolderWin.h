// The claims folder on a disk or a share, through the file functions whose
// atomicity the file server keeps between workstations: a new file that must
// not exist yet, a rename that replaces nothing, a file's last-write time.
#pragma once
#include "ClaimFolder.h"

class ClaimFolderWin : public ClaimFolder {
public:
    explicit ClaimFolderWin(const std::wstring& folder);

    // The system time, seconds since 1970 (UTC).
    static int64_t Now();
    // The file server's time, the clock of claims: the last-write time it gives
    // a file written now. So a workstation whose clock is off neither takes over
    // live claims nor keeps stopped ones. The system time where the folder
    // cannot be written.
    int64_t ServerNow();
    // The name a claim gives its workstation: the computer's name.
    static std::wstring ComputerName();

    bool Make() override;
    Created CreateNew(const std::wstring& name, const std::string& content) override;
    bool Exists(const std::wstring& name) override;
    bool Read(const std::wstring& name, std::string& content) override;
    bool LastWrite(const std::wstring& name, int64_t& seconds) override;
    bool SetLastWrite(const std::wstring& name, int64_t seconds) override;
    bool MoveNoReplace(const std::wstring& from, const std::wstring& to) override;
    bool Remove(const std::wstring& name) override;
    bool List(std::vector<std::wstring>& names) override;
    bool RemoveFolder() override;

private:
    std::wstring PathOf(const std::wstring& name) const { return m_folder + L"\\" + name; }

    std::wstring m_folder;
};
