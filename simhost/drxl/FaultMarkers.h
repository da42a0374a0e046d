// Fault markers of a test drawing: lines "KESTFAULT=<fault>" ended by a line
// feed, anywhere in the file, several per file. They make the simulated host
// hang, crash, skip saving, log an error, show a dialog or take its time.
#pragma once
#include <functional>
#include <string>
#include <vector>

struct Fault {
    enum Kind { Hang, Crash, NoSave, LogError, Dialog, Delay };
    Kind kind = Hang;
    std::string text;                 // logerror: the line; dialog: the title
    std::vector<std::string> items;   // dialog: the texts of its static controls
    int seconds = 0;                  // delay
};

class FaultMarkers {
public:
    // The faults in file order. Markers without a line feed after them, and
    // unknown or malformed ones, are ignored.
    static std::vector<Fault> Parse(const std::string& bytes);

    // A marker text that begins with "#" and a string number stands for the
    // host's own string of that number followed by the rest of the text, so a
    // drawing shows and logs the texts of the host's language: on an English
    // host "#2270 no xref" is "ERROR: no xref". A number the host has no string
    // for leaves the text as it is.
    static std::wstring ResolveHostText(const std::wstring& text,
                                        const std::function<std::wstring(unsigned)>& hostString);
};
