// The texts of the simulated host's own resource module, drxlm\drxlmres.dll
// below drxl.exe's folder, in the language HostSetup installed: the main
// window's title and whatever a fault marker asks for by number.
#pragma once
#include <windows.h>
#include <string>

class HostStrings {
public:
    HostStrings();
    ~HostStrings();
    HostStrings(const HostStrings&) = delete;
    HostStrings& operator=(const HostStrings&) = delete;

    // The string of that number; empty when the module or the string is missing.
    std::wstring Load(unsigned id) const;
    // String 2094, or the English title when the module lacks it.
    std::wstring MainTitle() const;
    // A marker text with its "#number" resolved against these strings.
    std::wstring Resolve(const std::wstring& text) const;

private:
    HMODULE m_module = nullptr;
};
