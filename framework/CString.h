// Wide string of the window layer: std::wstring with the few members our code calls.
#pragma once
#include <windows.h>
#include <string>

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_s(text ? text : L"") {}
    CString(const wchar_t* text, int length) : m_s(text, static_cast<size_t>(length)) {}
    CString(const std::wstring& text) : m_s(text) {}

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    operator const wchar_t*() const { return m_s.c_str(); }
    const std::wstring& Str() const { return m_s; }
    wchar_t operator[](int i) const { return m_s[static_cast<size_t>(i)]; }

    CString& operator=(const wchar_t* text) { m_s = text ? text : L""; return *this; }
    CString& operator+=(const CString& other) { m_s += other.m_s; return *this; }
    CString& operator+=(const wchar_t* text) { if (text) m_s += text; return *this; }
    CString& operator+=(wchar_t c) { m_s += c; return *this; }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const wchar_t* b) { return a += b; }
    friend CString operator+(const wchar_t* a, const CString& b) { return CString(a) += b; }
    bool operator==(const CString& o) const { return m_s == o.m_s; }
    bool operator!=(const CString& o) const { return m_s != o.m_s; }
    bool operator==(const wchar_t* o) const { return m_s == (o ? o : L""); }

    // printf-style formatting; grows the buffer as needed, so no length limit.
    void Format(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);
    // Loads a string resource from the current resource module; false (and empty) when missing.
    bool LoadString(UINT id);

    CString Left(int count) const;
    CString Mid(int first, int count = -1) const;
    int Find(wchar_t c, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    int ReverseFind(wchar_t c) const;
    CString& MakeLower();
    int CompareNoCase(const wchar_t* other) const;

private:
    std::wstring m_s;
};
