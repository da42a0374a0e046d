#include "KestFolderListFile.h"
#include "FolderListFormat.h"

#include <windows.h>

using namespace FolderListFormat;

bool KestFolderListFile::ReadFolders(std::vector<std::wstring>& folders)
{
    folders.clear();
    std::string data;
    if (!ReadAll(data, MaxFileBytes))
        return false;
    size_t mark = 0;
    Encoding encoding = DetectEncoding(data, mark);
    if (encoding == Encoding::Ansi) {
        MultiByteReader reader = MemoryReader(data);
        folders = FolderListFormat::ReadFolders([&reader](wchar_t& c) { return reader.ReadChar(c); });
        return true;
    }
    std::wstring text = encoding == Encoding::Utf8 ? FromUtf8(data, mark) : FromUtf16Le(data, mark);
    size_t i = 0;
    folders = FolderListFormat::ReadFolders([&](wchar_t& c) {
        if (i >= text.size())
            return false;
        c = text[i++];
        return true;
    });
    return true;
}

bool KestFolderListFile::FitsCodePage(const std::wstring& text) const
{
    if (text.empty())
        return true;
    int length = static_cast<int>(text.size());
    DWORD flags = MultiByteScan::NarrowingFlags(m_codePage);
    int n = WideCharToMultiByte(m_codePage, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return false;
    std::string narrow(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(m_codePage, flags, text.data(), length, &narrow[0], n, nullptr, nullptr);
    int back = MultiByteToWideChar(m_codePage, 0, narrow.data(), n, nullptr, 0);
    if (back != length)
        return false;
    std::wstring wide(static_cast<size_t>(back), L'\0');
    MultiByteToWideChar(m_codePage, 0, narrow.data(), n, &wide[0], back);
    return wide == text;
}

bool KestFolderListFile::WriteFolders(const std::vector<std::wstring>& folders)
{
    if (!IsOpen())
        return false;
    bool ansi = true;
    for (const std::wstring& folder : folders)
        ansi = ansi && FitsCodePage(folder);
    if (ansi) {
        for (const std::wstring& folder : folders)
            if (!WriteText(folder) || !WriteText(L"\r\n"))
                return false;
        return true;
    }
    // "?" in place of a character would name another folder, or none.
    std::string bytes = "\xEF\xBB\xBF" + ToUtf8(FolderListText(folders));
    try {
        m_file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    } catch (const CFileException& e) {
        ReportError(e.m_cause);
        return false;
    }
    return true;
}
