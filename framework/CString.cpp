#include "CString.h"
#include "Afx.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

void CString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const wchar_t* format, va_list args)
{
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = _vsnwprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < buffer.size()) {
            m_s.assign(buffer.data(), static_cast<size_t>(n));
            return;
        }
        if (buffer.size() > (1u << 24)) {   // a runaway format; keep what fits
            m_s.assign(buffer.data(), buffer.size() - 1);
            return;
        }
        buffer.assign(buffer.size() * 2, 0);
    }
}

bool CString::LoadString(UINT id)
{
    m_s.clear();
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || !text)
        return false;
    m_s.assign(text, static_cast<size_t>(length));
    return true;
}

CString CString::Left(int count) const
{
    if (count <= 0) return CString();
    return CString(m_s.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first, int count) const
{
    if (first < 0) first = 0;
    if (static_cast<size_t>(first) >= m_s.size()) return CString();
    return CString(count < 0 ? m_s.substr(static_cast<size_t>(first))
                             : m_s.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CString::Find(wchar_t c, int start) const
{
    size_t p = m_s.find(c, start < 0 ? 0 : static_cast<size_t>(start));
    return p == std::wstring::npos ? -1 : static_cast<int>(p);
}

int CString::Find(const wchar_t* text, int start) const
{
    size_t p = m_s.find(text, start < 0 ? 0 : static_cast<size_t>(start));
    return p == std::wstring::npos ? -1 : static_cast<int>(p);
}

int CString::ReverseFind(wchar_t c) const
{
    size_t p = m_s.rfind(c);
    return p == std::wstring::npos ? -1 : static_cast<int>(p);
}

CString& CString::MakeLower()
{
    if (!m_s.empty())
        ::CharLowerBuffW(&m_s[0], static_cast<DWORD>(m_s.size()));
    return *this;
}

int CString::CompareNoCase(const wchar_t* other) const
{
    return ::lstrcmpiW(m_s.c_str(), other ? other : L"");
}
