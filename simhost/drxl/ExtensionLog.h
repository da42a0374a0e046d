// The log of the simulated migration extension. Its path is stored as
// "LOGFILENAME" under the migration settings key while the extension is
// loaded, as the real extension does, so the supervision can scan it.
#pragma once
#include <string>
#include <vector>

class ExtensionLog {
public:
    // Starts a fresh log in the temporary folder and stores its name.
    void Start();
    bool Started() const { return !m_path.empty(); }
    void Add(const std::wstring& line);
    // The supervision deletes the log and its value between drawings; while
    // a line waits to be noticed, put both back if they went missing.
    void Reassert();

    // HKCU key of the migration settings: the product key + "\Migration".
    static std::wstring SettingsKey();

private:
    void Flush();

    std::wstring m_path;
    std::vector<std::wstring> m_lines;
};
