#include "KestRegKey.h"

#include <cstring>
#include <vector>

KestRegKey::KestRegKey(const std::wstring& subKey, HKEY root)
    : m_subKey(subKey), m_root(root), m_readOnly(root == HKEY_LOCAL_MACHINE)
{
    if (HKEY key = OpenKey())
        RegCloseKey(key);
}

void KestRegKey::SetSubKey(const std::wstring& subKey)
{
    m_subKey = subKey;
    if (HKEY key = OpenKey())
        RegCloseKey(key);
}

HKEY KestRegKey::OpenKey() const
{
    HKEY key = nullptr;
    REGSAM access = m_readOnly ? KEY_READ : (KEY_READ | KEY_WRITE);
    wchar_t emptyClass[1] = L"";
    LONG rc = RegCreateKeyExW(m_root, m_subKey.c_str(), 0, emptyClass, REG_OPTION_NON_VOLATILE, access, nullptr,
                              &key, nullptr);
    return rc == ERROR_SUCCESS ? key : nullptr;
}

bool KestRegKey::ReadDword(const wchar_t* name, DWORD& value) const
{
    HKEY key = OpenKey();
    if (!key)
        return false;
    DWORD data = 0, size = sizeof(data), type = 0;
    LONG rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    LONG closed = RegCloseKey(key);
    if (rc != ERROR_SUCCESS || closed != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(data))
        return false;
    value = data;
    return true;
}

bool KestRegKey::ReadString(const wchar_t* name, wchar_t* buffer, size_t capacity) const
{
    if (!buffer || capacity == 0)
        return false;
    HKEY key = OpenKey();
    if (!key)
        return false;
    // First try with 255 characters; a longer text is read with the size the registry reports.
    std::vector<BYTE> data(512, 0);
    DWORD type = 0, size = 510;
    LONG rc = RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
    if (rc == ERROR_MORE_DATA) {
        data.assign(static_cast<size_t>(size) + 2 * sizeof(wchar_t), 0);
        rc = RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
    }
    LONG closed = RegCloseKey(key);
    if (rc != ERROR_SUCCESS || closed != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    // The data need not hold a terminator, and may have an odd byte count.
    size_t chars = size / sizeof(wchar_t);
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data.data());
    size_t length = 0;
    while (length < chars && text[length] != L'\0')
        ++length;
    if (length + 1 > capacity)
        return false;
    std::memcpy(buffer, text, length * sizeof(wchar_t));
    buffer[length] = L'\0';
    return true;
}

bool KestRegKey::WriteString(const wchar_t* name, const wchar_t* text) const
{
    HKEY key = OpenKey();
    if (!key)
        return false;
    if (!text)
        text = L"";
    DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    LONG rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
    LONG closed = RegCloseKey(key);
    return rc == ERROR_SUCCESS && closed == ERROR_SUCCESS;
}

bool KestRegKey::WriteDword(const wchar_t* name, DWORD value) const
{
    HKEY key = OpenKey();
    if (!key)
        return false;
    LONG rc = RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    LONG closed = RegCloseKey(key);
    return rc == ERROR_SUCCESS && closed == ERROR_SUCCESS;
}

bool KestRegKey::DeleteValue(const wchar_t* name) const
{
    HKEY key = OpenKey();
    if (!key)
        return false;
    LONG rc = RegDeleteValueW(key, name);
    LONG closed = RegCloseKey(key);
    return rc == ERROR_SUCCESS && closed == ERROR_SUCCESS;
}
