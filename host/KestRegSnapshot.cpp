#include "KestRegSnapshot.h"
#include "KestRegKey.h"

bool KestRegSnapshot::Capture(const KestRegKey& key, const wchar_t* name)
{
    m_taken = false;
    m_present = false;
    m_type = REG_NONE;
    m_data.clear();
    HKEY handle = nullptr;
    if (RegOpenKeyExW(key.m_root, key.m_subKey.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    // The value may grow between the two queries; ask again until it fits.
    LONG rc = ERROR_MORE_DATA;
    DWORD type = REG_NONE, size = 0;
    for (int attempt = 0; attempt < 4 && rc == ERROR_MORE_DATA; ++attempt) {
        rc = RegQueryValueExW(handle, name, nullptr, &type, nullptr, &size);
        if (rc != ERROR_SUCCESS)
            break;
        m_data.assign(size, 0);
        rc = RegQueryValueExW(handle, name, nullptr, &type, m_data.empty() ? nullptr : m_data.data(), &size);
    }
    RegCloseKey(handle);
    if (rc != ERROR_SUCCESS) {
        m_data.clear();
        // Only a value known to be missing is deleted again; an unreadable one is left alone.
        m_taken = rc == ERROR_FILE_NOT_FOUND;
        return false;
    }
    m_data.resize(size);
    m_taken = true;
    m_present = true;
    m_type = type;
    return true;
}

bool KestRegSnapshot::PutBack(const KestRegKey& key, const wchar_t* name) const
{
    if (!m_taken)
        return false;
    if (!m_present) {
        // Missing before: missing again (deleting a missing value is no failure here).
        key.DeleteValue(name);
        return true;
    }
    HKEY handle = nullptr;
    if (RegOpenKeyExW(key.m_root, key.m_subKey.c_str(), 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExW(handle, name, 0, m_type, m_data.empty() ? nullptr : m_data.data(),
                             static_cast<DWORD>(m_data.size()));
    RegCloseKey(handle);
    return rc == ERROR_SUCCESS;
}
