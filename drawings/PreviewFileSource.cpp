#include "PreviewFileSource.h"

#include <limits>

namespace {
#ifdef _WIN32
std::FILE* OpenRead(const std::wstring& path) { return _wfopen(path.c_str(), L"rb"); }
bool SeekTo(std::FILE* f, int64_t pos, int whence) { return _fseeki64(f, pos, whence) == 0; }
int64_t Tell(std::FILE* f) { return _ftelli64(f); }
#else
// wchar_t holds whole code points here; the file system takes UTF-8.
std::string Utf8(const std::wstring& text)
{
    std::string out;
    for (wchar_t wc : text) {
        auto c = static_cast<uint32_t>(wc);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
std::FILE* OpenRead(const std::wstring& path) { return std::fopen(Utf8(path).c_str(), "rb"); }
bool SeekTo(std::FILE* f, int64_t pos, int whence) { return fseeko(f, static_cast<off_t>(pos), whence) == 0; }
int64_t Tell(std::FILE* f) { return static_cast<int64_t>(ftello(f)); }
#endif
}

std::unique_ptr<PreviewFileSource> PreviewFileSource::Open(const std::wstring& path)
{
    if (path.empty())
        return nullptr;
    std::FILE* f = OpenRead(path);
    if (!f)
        return nullptr;
    int64_t size = -1;
    if (SeekTo(f, 0, SEEK_END))
        size = Tell(f);
    if (size < 0) {
        std::fclose(f);
        return nullptr;
    }
    return std::unique_ptr<PreviewFileSource>(new PreviewFileSource(f, static_cast<uint64_t>(size)));
}

PreviewFileSource::~PreviewFileSource()
{
    if (m_file)
        std::fclose(m_file);
}

bool PreviewFileSource::ReadAt(uint64_t offset, void* dst, size_t n)
{
    if (offset > m_size || n > m_size - offset || offset > uint64_t(std::numeric_limits<int64_t>::max()))
        return false;
    if (n == 0)
        return true;
    if (!SeekTo(m_file, static_cast<int64_t>(offset), SEEK_SET))
        return false;
    return std::fread(dst, 1, n, m_file) == n;
}
