// Holder of the language resource module for the life of the start-up:
// loads keNoluRes.dll from the folder the user-data library names and makes
// it the resource module; ends the process with -1 when it cannot.
#pragma once
#include <windows.h>
#include <string>

class KestResourceModule {
public:
    KestResourceModule();
    ~KestResourceModule();
    KestResourceModule(const KestResourceModule&) = delete;
    KestResourceModule& operator=(const KestResourceModule&) = delete;

    // F + "drxlm\" + L + "\keNoluRes.dll", plain concatenation.
    static std::wstring ModulePath(const std::wstring& folder, const std::wstring& language);

    HMODULE m_module = nullptr;
    HINSTANCE m_previous = nullptr;
};
