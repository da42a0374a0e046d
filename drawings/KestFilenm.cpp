#include "KestFilenm.h"
#include "PathPlatform.h"

#include <atomic>
#include <cwchar>

namespace {
std::atomic<unsigned short> g_tempCounter{0};

unsigned short NextCounter()
{
    unsigned short current = g_tempCounter.load();
    unsigned short next;
    do {
        next = static_cast<unsigned short>(current + 1);
        if (next == 0xFFFF)
            next = 0;
    } while (!g_tempCounter.compare_exchange_weak(current, next));
    return next;
}

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
}

void KestFilenm::SetTempCounterForTest(unsigned short value) { g_tempCounter = value; }

KestFilenm::KestFilenm(const std::wstring& name, bool forwardSlashes) : m_forwardSlashes(forwardSlashes)
{
    SetName(name);
}

void KestFilenm::SetName(const std::wstring& name)
{
    m_name = PathPlatform::Lower(name);
    std::wstring full;
    size_t platformFilePart = 0;
    if (!PathPlatform::FullPath(m_name, full, platformFilePart)) {
        // No full path can be formed (an empty name, say): nothing to split.
        m_path.clear();
        m_drive.clear();
        m_dir.clear();
        m_title.clear();
        m_ext.clear();
        return;
    }
    m_path = PathPlatform::Lower(full);
    if (m_forwardSlashes)
        for (wchar_t& c : m_path)
            if (c == L'\\')
                c = L'/';

    // Only a letter and ":" at the very start name a drive; a ":" further on belongs to a name (a UNC
    // path's file with a stream, say).
    const bool hasDrive = m_path.size() >= 2 && m_path[1] == L':' && IsAsciiLetter(m_path[0]);
    m_drive = hasDrive ? m_path.substr(0, 2) : std::wstring();

    // The folder ends at the last separator; title and extension come from what follows it.
    size_t separator = m_path.find_last_of(L"\\/");
    size_t fileStart = separator == std::wstring::npos ? 0 : separator + 1;
    if (fileStart < m_drive.size())
        fileStart = m_drive.size();
    std::wstring file = m_path.substr(fileStart);
    size_t dot = file.rfind(L'.');
    m_title = dot == std::wstring::npos ? file : file.substr(0, dot);
    m_ext = dot == std::wstring::npos ? std::wstring() : file.substr(dot + 1);
    m_dir = m_path.substr(m_drive.size(), fileStart - m_drive.size());
}

void KestFilenm::SetTempName(const std::wstring& ext)
{
    std::wstring folder;
    if (!PathPlatform::TempFolder(folder))
        folder = L".\\";
    unsigned short counter = NextCounter();
    wchar_t hex[8];
    swprintf(hex, 8, L"%x", static_cast<unsigned>(counter));
    SetName(folder + L"lorn" + hex + L"." + (ext.empty() ? std::wstring(L"TMP") : ext));
}

std::wstring KestFilenm::Shorten(size_t maxLen) const
{
    if (m_path.size() <= maxLen)
        return m_path;
    const wchar_t sep = m_forwardSlashes ? L'/' : L'\\';
    std::wstring tail = std::wstring(L"...") + sep + m_title + L"." + m_ext;
    std::wstring head = m_dir.empty() ? std::wstring() : m_dir.substr(0, 1);
    for (size_t p = m_dir.find(sep, 1); p != std::wstring::npos; p = m_dir.find(sep, p + 1)) {
        if (m_drive.size() + p + 1 + tail.size() > maxLen)
            break;
        head = m_dir.substr(0, p + 1);
    }
    return m_drive + head + tail;
}
