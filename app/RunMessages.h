// Every message box that a run can show goes through here. In an unattended
// run nobody is there to answer: the text becomes a line of the migration log
// (the Windows event log when the log cannot be written) and the box's
// cautious answer is taken: No, Cancel or OK.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// A string of the language module, and one formatted with a text (only a
// format that takes one string is filled; any other is followed by the text).
std::wstring LoadText(UINT id);
std::wstring FormatText(UINT id, const std::wstring& argument);

namespace RunMessages {
void SetUnattended(bool unattended);
bool Unattended();
// The log path is known (settings read, "/log" applied): lines may go there.
void SetLogReady(bool ready);

// A message box with caption string 2001, or its log line.
int Show(HWND owner, const std::wstring& text, UINT type);
// A line of the migration log; false when the log could not be written, after
// writing the line to the Windows event log (source "Transmora") instead.
bool Log(const std::wstring& text);
// The answer an unattended run takes for a box of this type.
int UnattendedAnswer(UINT type);
// Lines logged before the run's own log began (which deletes the old one),
// to be written again after its header; taking them forgets them.
std::vector<std::wstring> TakeEarlyLines();
void RunLogBegun();
}
