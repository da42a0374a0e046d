// Lines of the host scripts: the head script loads the migration extension and
// hands it the log; a body script runs the extension on the open drawing and
// then unloads it and quits the host. Pure text, so it is tested natively.
#pragma once
#include <string>
#include <vector>

class HostScript {
public:
    // What the scripts are made from: the job settings, the migration folder
    // and the log file path as held (normalised here).
    struct Settings {
        int operation = 0;
        int updateFlags = 0;
        int optionFlags = 0;
        int quenbarFlags = 0;
        int drxlmFlags = 0;
        int logFlags = 0;
        std::wstring templatePath;
        std::wstring migrationFolder;
        std::wstring logFile;
    };

    static std::vector<std::wstring> HeadLines(const Settings& settings);
    // The scan script when scan is set, else the update or the plain script.
    static std::vector<std::wstring> BodyLines(const Settings& settings, bool scan, bool updates);
    // The lines joined, each followed by "\n" (text mode stores it as CR LF).
    static std::wstring Text(const std::vector<std::wstring>& lines);
};
