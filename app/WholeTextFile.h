// A text file written or read in one piece, in the text locale's code page:
// "\n" is stored as CR LF, no byte order mark, opened shareable. Batch files
// of many thousand drawings are built in memory and written with one call.
#pragma once
#include <string>

class WholeTextFile {
public:
    // Creates or truncates the file and writes text into it; false when the
    // file cannot be opened or written.
    static bool Write(const std::wstring& path, const std::wstring& text);
    // Reads the whole file; CR LF becomes "\n". False (text emptied) when it cannot be opened.
    static bool Read(const std::wstring& path, std::wstring& text);
};
