#include "PathPlatform.h"

#include <cwctype>
#include <vector>

#ifdef _WIN32
#include <windows.h>

namespace PathPlatform {
bool FullPath(const std::wstring& name, std::wstring& full, size_t& filePart)
{
    if (name.empty())
        return false;
    std::vector<wchar_t> buffer(260);
    wchar_t* file = nullptr;
    for (;;) {
        DWORD n = GetFullPathNameW(name.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), &file);
        if (n == 0)
            return false;
        if (n < buffer.size()) {
            full.assign(buffer.data(), n);
            filePart = file ? static_cast<size_t>(file - buffer.data()) : full.size();
            return true;
        }
        buffer.assign(buffer.size() + 260 > n + 1 ? buffer.size() + 260 : n + 1, 0);
    }
}

bool TempFolder(std::wstring& folder)
{
    wchar_t buffer[260] = {0};
    DWORD n = GetTempPathW(260, buffer);
    if (n == 0 || n >= 260)
        return false;
    folder.assign(buffer, n);
    return true;
}

std::wstring Lower(const std::wstring& text)
{
    std::wstring out = text;
    if (!out.empty())
        CharLowerBuffW(&out[0], static_cast<DWORD>(out.size()));
    return out;
}
}

#else

namespace PathPlatform {
namespace {
std::wstring g_cwd = L"C:\\Work";
std::wstring g_temp = L"C:\\Temp\\";

bool IsSep(wchar_t c) { return c == L'\\' || c == L'/'; }

// Collapses "." and ".." segments of the part after the root.
std::wstring Canonical(const std::wstring& root, const std::wstring& rest)
{
    std::vector<std::wstring> parts;
    std::wstring piece;
    bool trailing = !rest.empty() && IsSep(rest.back());
    auto flush = [&]() {
        if (piece == L"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!piece.empty() && piece != L".") {
            parts.push_back(piece);
        }
        piece.clear();
    };
    for (wchar_t c : rest) {
        if (IsSep(c))
            flush();
        else
            piece += c;
    }
    flush();
    std::wstring out = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        out += parts[i];
        if (i + 1 < parts.size() || trailing)
            out += L'\\';
    }
    return out;
}
}

void SetCurrentDirectoryForTest(const std::wstring& dir) { g_cwd = dir; }
void SetTempFolderForTest(const std::wstring& dir) { g_temp = dir; }

bool FullPath(const std::wstring& name, std::wstring& full, size_t& filePart)
{
    if (name.empty())
        return false;
    std::wstring root, rest;
    if (name.size() >= 2 && IsSep(name[0]) && IsSep(name[1])) {
        // \\server\share\rest
        size_t i = 2;
        std::wstring server, share;
        while (i < name.size() && !IsSep(name[i])) server += name[i++];
        if (i < name.size()) ++i;
        while (i < name.size() && !IsSep(name[i])) share += name[i++];
        root = L"\\\\" + server + L"\\" + share;
        if (i < name.size()) {
            root += L'\\';
            rest = name.substr(i + 1);
        }
    } else if (name.size() >= 2 && name[1] == L':') {
        root = name.substr(0, 2) + L"\\";
        rest = name.substr(2);
        if (rest.empty() || !IsSep(rest[0]))
            rest = (g_cwd.size() > 3 ? g_cwd.substr(3) + L"\\" : L"") + rest;   // drive-relative: assume the cwd's drive
    } else if (IsSep(name[0])) {
        root = g_cwd.substr(0, 2) + L"\\";
        rest = name.substr(1);
    } else {
        root = g_cwd.substr(0, 2) + L"\\";
        rest = g_cwd.substr(3) + L"\\" + name;
    }
    full = Canonical(root, rest);
    size_t sep = full.find_last_of(L"\\/");
    filePart = sep == std::wstring::npos ? 0 : sep + 1;
    return true;
}

bool TempFolder(std::wstring& folder)
{
    if (g_temp.empty())
        return false;
    folder = g_temp;
    return true;
}

std::wstring Lower(const std::wstring& text)
{
    std::wstring out = text;
    for (wchar_t& c : out)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return out;
}
}
#endif
