// Transmora's command line: nothing for the wizard, "/?" for the usage, or an
// unattended migrate run of a drawing list with an optional log of its own.
#pragma once
#include <string>
#include <vector>

struct KestCommandLine {
    bool unattended = false;
    bool help = false;
    std::wstring list;
    std::wstring log;
    // Switches not known, switches without their value and stray words, as given.
    std::vector<std::wstring> unknown;

    // The arguments after the program's name. Switches begin with "/" or "-"
    // and are compared without case; a value follows its switch as the next argument.
    static KestCommandLine Parse(const std::vector<std::wstring>& arguments);

    // An unattended run needs its list and nothing unknown.
    bool RunsUnattended() const { return unattended && unknown.empty() && !list.empty(); }
};
