// Transmora.exe started in one language and driven page by page as a user
// would, with the texts of that language's resource module.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class WizardInLanguage {
public:
    explicit WizardInLanguage(const std::wstring& language);
    // Ends the program should it still run.
    ~WizardInLanguage();
    WizardInLanguage(const WizardInLanguage&) = delete;
    WizardInLanguage& operator=(const WizardInLanguage&) = delete;

    bool HasModule() const { return m_module != nullptr; }
    std::wstring Text(UINT id) const;

    // Starts the program, with more "NAME=value;..." variables when given; true once the Begin page shows
    // with Next enabled.
    bool Start(const std::wstring& environment = L"");
    // Next on the Begin page and OK on the safety notice; true on the Files page.
    bool PassBegin();
    // Load list on the Files page; true once the list shows its rows.
    bool LoadList(const std::wstring& list, int rows);
    // Next; true once the page of that index shows.
    bool Next(int pageIndex);
    // Cancel, and Yes to the question; true once the program has ended.
    bool Cancel();
    // Picture of the window (the wizard when none) into $KEST_WIZARD_SHOTS, once it is written.
    void Screenshot(const std::wstring& name, HWND window = nullptr) const;

    HWND Sheet() const { return m_sheet; }
    DWORD ProcessId() const { return GetProcessId(m_process); }
    HANDLE Process() const { return m_process; }

    // Drawings of that version with a picture of a part each, and the simulated host's fault marker
    // when one is given; folders are made as needed.
    static bool MakeDrawings(const std::vector<std::wstring>& paths, const std::string& magic,
                             const std::string& fault = "");
    // A drawing list of these drawings, in the system's ANSI code page, with the language's header.
    void WriteList(const std::wstring& path, const std::vector<std::wstring>& drawings) const;
    // Text in the system's ANSI code page, as lists, logs and MIGRATED.TXT hold it.
    static std::string Ansi(const std::wstring& text);
    static std::string Utf8(const std::wstring& text);

private:
    std::wstring m_language;
    HMODULE m_module = nullptr;
    HANDLE m_process = nullptr;
    HWND m_sheet = nullptr;
};
