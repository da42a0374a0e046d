// Fault markers of a test drawing: lines "KESTFAULT=<fault>" ended by a line
// feed, anywhere in the file, several per file. They make the simulated host
// hang, crash, skip saving, log an error, show a dialog, take its time or give
// its main window another title.
#pragma once
#include <string>
#include <vector>

struct Fault {
    enum Kind { Hang, Crash, NoSave, LogError, Dialog, Delay, Title };
    Kind kind = Hang;
    std::string text;                 // logerror: the line; dialog and title: the title
    std::vector<std::string> items;   // dialog: the texts of its static controls
    int seconds = 0;                  // delay
};

class FaultMarkers {
public:
    // The faults in file order. Markers without a line feed after them, and
    // unknown or malformed ones, are ignored.
    static std::vector<Fault> Parse(const std::string& bytes);
};
