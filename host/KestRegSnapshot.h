// One registry value exactly as it was: missing, or its type and bytes.
// Putting it back restores that state, whatever type the value had.
#pragma once
#include <windows.h>
#include <vector>

class KestRegKey;

class KestRegSnapshot {
public:
    // Takes the value as it is now; false when it is missing or unreadable.
    bool Capture(const KestRegKey& key, const wchar_t* name);
    // Writes the value back with its type and bytes, or deletes it when it was missing.
    bool PutBack(const KestRegKey& key, const wchar_t* name) const;

    bool m_taken = false;     // the state is known: present with its data, or missing
    bool m_present = false;
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_data;
};
