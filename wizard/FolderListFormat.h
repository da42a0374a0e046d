// Folder list files ("pth"), apart from any file: one folder per line, lines
// ended by CR LF. Files are in the ANSI code page; a list with a name that
// code page cannot hold is written as UTF-8 with a byte order mark, and files
// with a UTF-8 or UTF-16 byte order mark (as text editors save them) are read too.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace FolderListFormat {
// The longest path the system can name. A longer line names no folder.
const size_t MaxLineLength = 32767;

enum class Encoding { Ansi, Utf8, Utf16Le };

// The encoding a file's first bytes announce, and the length of its mark.
Encoding DetectEncoding(const std::string& head, size_t& markLength);

// Next character of the file; false at its end.
using NextChar = std::function<bool(wchar_t& c)>;

// The folders of a list, in file order. Every CR and LF is removed from a
// line. Lines that name no folder are left out and reading goes on: blank
// lines (empty or only blanks and tabs), lines holding a NUL, and lines longer
// than MaxLineLength (which are never held whole). skipped counts them, blank
// lines aside.
std::vector<std::wstring> ReadFolders(const NextChar& next, size_t* skipped = nullptr);

// The text of a list file: each folder followed by CR LF.
std::wstring FolderListText(const std::vector<std::wstring>& folders);

// UTF-16 text (in wchar_t units) as UTF-8 and back, for lists the ANSI code
// page cannot hold. Unpaired surrogates and malformed bytes become U+FFFD;
// decoding starts at byte `from` (after a byte order mark).
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& bytes, size_t from);
// Little-endian UTF-16; an odd last byte is dropped.
std::wstring FromUtf16Le(const std::string& bytes, size_t from);
}
