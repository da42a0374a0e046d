// A registry key named by a root and a sub-key path. No handle is kept: each
// operation opens (creating when missing), does one value operation and closes.
#pragma once
#include <windows.h>
#include <cstddef>
#include <string>

class KestRegKey {
public:
    KestRegKey(const std::wstring& subKey, HKEY root);
    KestRegKey(const KestRegKey&) = delete;
    KestRegKey& operator=(const KestRegKey&) = delete;

    // Points the object at another sub-key of the same root, creating it when missing.
    void SetSubKey(const std::wstring& subKey);

    bool ReadDword(const wchar_t* name, DWORD& value) const;
    // Copies the text with its terminator into buffer[capacity]. A text that
    // does not fit is refused: the buffer is left untouched and false returned.
    bool ReadString(const wchar_t* name, wchar_t* buffer, size_t capacity) const;
    bool WriteString(const wchar_t* name, const wchar_t* text) const;
    bool WriteDword(const wchar_t* name, DWORD value) const;
    bool DeleteValue(const wchar_t* name) const;

    std::wstring m_subKey;
    HKEY m_root;
    bool m_readOnly;

private:
    HKEY OpenKey() const;
};
