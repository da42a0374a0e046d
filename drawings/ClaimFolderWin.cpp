#include "ClaimFolderWin.h"

#include <windows.h>

namespace {
// 1970-01-01 in FILETIME units (100 ns since 1601).
const int64_t kUnixEpoch = 116444736000000000LL;
const int64_t kTicksPerSecond = 10000000;
// Claims are a few lines; anything longer is not ours.
const DWORD kMaxClaimBytes = 4096;
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

int64_t Seconds(const FILETIME& time)
{
    int64_t ticks = static_cast<int64_t>(static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime);
    return (ticks - kUnixEpoch) / kTicksPerSecond;
}
}

ClaimFolderWin::ClaimFolderWin(const std::wstring& folder) : m_folder(folder)
{
    // A list near the length limit still gets its claims: the folder and its files are named in the long form.
    DWORD size = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    if (size == 0 || GetFullPathNameW(folder.c_str(), size, &full[0], nullptr) + 1 != size ||
        full.compare(0, 4, L"\\\\?\\") == 0)
        return;
    full.resize(size - 1);
    m_folder = full.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
}

int64_t ClaimFolderWin::Now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return Seconds(now);
}

int64_t ClaimFolderWin::ServerNow()
{
    std::wstring probe = PathOf(L"clock-" + ComputerName() + L"-" + std::to_wstring(GetCurrentProcessId()));
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Now();
    DWORD written = 0;
    bool ok = WriteFile(file, "t", 1, &written, nullptr) && written == 1;
    CloseHandle(file);
    WIN32_FILE_ATTRIBUTE_DATA data;
    ok = ok && GetFileAttributesExW(probe.c_str(), GetFileExInfoStandard, &data);
    DeleteFileW(probe.c_str());
    return ok ? Seconds(data.ftLastWriteTime) : Now();
}

std::wstring ClaimFolderWin::ComputerName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {0};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? std::wstring(name, size) : std::wstring(L"?");
}

bool ClaimFolderWin::Make()
{
    return CreateDirectoryW(m_folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

ClaimFolder::Created ClaimFolderWin::CreateNew(const std::wstring& name, const std::string& content)
{
    HANDLE file = CreateFileW(PathOf(name).c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Created::Exists : Created::Failed;
    }
    // The content only tells people who holds the claim; the file's existence is the claim.
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    return Created::Yes;
}

bool ClaimFolderWin::Exists(const std::wstring& name)
{
    return GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ClaimFolderWin::Read(const std::wstring& name, std::string& content)
{
    HANDLE file = CreateFileW(PathOf(name).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string buffer(kMaxClaimBytes + 1, '\0');
    DWORD read = 0;
    bool ok = ReadFile(file, &buffer[0], kMaxClaimBytes + 1, &read, nullptr) && read <= kMaxClaimBytes;
    CloseHandle(file);
    if (ok)
        content.assign(buffer, 0, read);
    return ok;
}

bool ClaimFolderWin::LastWrite(const std::wstring& name, int64_t& seconds)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(PathOf(name).c_str(), GetFileExInfoStandard, &data))
        return false;
    seconds = Seconds(data.ftLastWriteTime);
    return true;
}

bool ClaimFolderWin::SetLastWrite(const std::wstring& name, int64_t seconds)
{
    // Only the attributes are written: no reader ever sees a claim half rewritten.
    HANDLE file =
        CreateFileW(PathOf(name).c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    uint64_t ticks = static_cast<uint64_t>(seconds * kTicksPerSecond + kUnixEpoch);
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    bool ok = SetFileTime(file, nullptr, nullptr, &time) != 0;
    CloseHandle(file);
    return ok;
}

bool ClaimFolderWin::MoveNoReplace(const std::wstring& from, const std::wstring& to)
{
    return MoveFileExW(PathOf(from).c_str(), PathOf(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

bool ClaimFolderWin::Remove(const std::wstring& name) { return DeleteFileW(PathOf(name).c_str()) != 0; }

bool ClaimFolderWin::List(std::vector<std::wstring>& names)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(PathOf(L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return true;
}

bool ClaimFolderWin::RemoveFolder() { return RemoveDirectoryW(m_folder.c_str()) != 0; }
