#include "KestPieceWriter.h"

#include <cwchar>

namespace {
bool EndsWith(const std::wstring& text, const wchar_t* end)
{
    const size_t n = wcslen(end);
    return text.size() > n && _wcsicmp(text.c_str() + text.size() - n, end) == 0;
}

bool IsPieceFolderFile(const std::wstring& name)
{
    // "N.go": a claimed run's batch goes on to drawing N.
    return EndsWith(name, L".msg") || EndsWith(name, L".opn") || EndsWith(name, L".msg~") ||
           EndsWith(name, L".opn~") || EndsWith(name, L".go") || EndsWith(name, L".go~") ||
           _wcsicmp(name.c_str(), L"wait.bat") == 0;
}
}

KestPieceWriter::~KestPieceWriter() { Stop(); }

void KestPieceWriter::Pieces::Add(size_t number, const wchar_t* extension, const std::string& piece)
{
    bytes += piece;
    entries.push_back({number, extension, bytes.size()});
}

std::wstring KestPieceWriter::Pieces::Path(size_t index) const
{
    const Entry& entry = entries[index];
    return folder + L"\\" + std::to_wstring(entry.number) + L"." + entry.extension;
}

std::string KestPieceWriter::Pieces::Bytes(size_t index) const
{
    const size_t start = index > 0 ? entries[index - 1].end : 0;
    return bytes.substr(start, entries[index].end - start);
}

void KestPieceWriter::Start(Pieces pieces)
{
    Stop();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pieces = std::move(pieces);
    m_next = 0;
    m_stop = false;
    m_failed.clear();
    if (!m_pieces.entries.empty())
        m_thread = std::thread(&KestPieceWriter::Run, this);
}

void KestPieceWriter::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failed.clear();
}

std::wstring KestPieceWriter::Failed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failed;
}

bool KestPieceWriter::WaitWritten(DWORD ms)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(ms),
                       [this] { return m_next >= m_pieces.entries.size() || !m_failed.empty(); });
    return m_next >= m_pieces.entries.size() && m_failed.empty();
}

void KestPieceWriter::Hold(bool held)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held = held;
    }
    m_changed.notify_all();
}

void KestPieceWriter::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_next < m_pieces.entries.size()) {
        m_changed.wait(lock, [this] { return m_stop || !m_held; });
        if (m_stop)
            return;
        // Only this thread reads the pieces while it runs; Start waits for it before replacing them.
        const std::wstring path = m_pieces.Path(m_next);
        const std::string bytes = m_pieces.Bytes(m_next);
        lock.unlock();
        const bool written = Write(path, bytes);
        lock.lock();
        if (!written) {
            m_failed = path;
            break;
        }
        ++m_next;
    }
    lock.unlock();
    m_changed.notify_all();
}

bool KestPieceWriter::Write(const std::wstring& path, const std::string& bytes)
{
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    const std::wstring part = path + L"~";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                       written == bytes.size();
    const bool closed = CloseHandle(file) != 0;
    if (whole && closed && MoveFileExW(part.c_str(), path.c_str(), 0))
        return true;
    const DWORD error = GetLastError();
    DeleteFileW(part.c_str());
    // Published meanwhile by an earlier writer of the same bytes.
    return whole && closed && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS);
}

void KestPieceWriter::DeleteTempPath(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(path.c_str());
        return;
    }
    // Only what a pieces folder holds: a folder named by a damaged record
    // keeps every other file, and itself.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsPieceFolderFile(name))
                DeleteFileW((path + L"\\" + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}
