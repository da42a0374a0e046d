// Transmora.exe in one language: the texts of that language's resource module, drawings and lists for it,
// and pictures of its windows as a user of that language sees them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "TransmoraDriver.h"

class WizardInLanguage {
public:
    explicit WizardInLanguage(const std::wstring& language) : m_language(language) {}

    bool HasModule() const;
    std::wstring Text(UINT id) const;
    // The program started in the language, with more "NAME=value;..." variables when given.
    TransmoraDriver::Options Start(const std::wstring& environment = L"") const;
    // Picture of the window into $KEST_WIZARD_SHOTS, once it is written.
    void Screenshot(const std::wstring& name, HWND window) const;

    // Drawings of that version with a picture of a part each, and the simulated host's fault marker
    // when one is given; folders are made as needed.
    static bool MakeDrawings(const std::vector<std::wstring>& paths, const std::string& magic,
                             const std::string& fault = "");
    // A drawing list of these drawings, in the system's ANSI code page, with the language's header.
    void WriteList(const std::wstring& path, const std::vector<std::wstring>& drawings) const;

private:
    std::wstring m_language;
};
