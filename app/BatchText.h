// Text of the batch file that runs the host once per drawing, built as the
// file's bytes (CR LF line ends) so a batch of many thousand drawings costs
// little more than writing it. Portable, so every line is checked natively;
// the code page conversion and the files are the caller's.
//
// The batch holds ASCII only: whatever code page the interpreter reads it in,
// no name changes. Folder paths reach it as variables of its environment
// ("%KEST_LOG%"); a drawing's path or log line outside ASCII, or too long for
// one line, is written by us in the text locale into a piece file that the
// batch joins byte for byte. Pieces are written while the batch runs, in the
// order it uses them; a batch that gets ahead waits for its drawing's last one.
#pragma once
#include "BatchEnvironment.h"

#include <functional>
#include <string>
#include <vector>

class BatchText {
public:
    // Everything a batch is made of apart from its list of drawings.
    struct Job {
        bool analysis = false;
        int restartIndex = 0;
        std::wstring progressFile;
        std::wstring logFile;
        std::wstring headScript;
        std::wstring drawingScript;
        std::wstring firstBody;
        std::wstring secondBody;
        std::wstring hostFolder;   // with its trailing separator
        std::wstring profileName;
        std::wstring pathValue;   // PATH for the host, from PathValue
        // Where the host's start prints what it has to say: nothing when the
        // host started. A fresh file for every batch written, as a start left
        // over from a stopped run may still hold the one before.
        std::wstring startOutput;
        // The folder of the piece files: the drawing number and ".msg" (log
        // line) or ".opn" (the quoted path after "_.OPEN"), and the wait script.
        std::wstring pieces;
        // Each drawing after the first waits for "<number>.go" in the pieces
        // folder: Transmora writes it once the drawings before are marked in the
        // list, so a workstation that stops leaves no finished drawing unmarked.
        bool waitForMarks = false;
        // The drawing message for a file name ("title.ext", lowercase).
        std::function<std::wstring(const std::wstring& fileName)> message;
        // Appends wide text to out as the file's bytes in the text locale.
        std::function<void(const std::wstring& text, std::string& out)> encode;
        // Takes a piece file (its whole content in bytes; its path is
        // PiecePath), in the order the batch uses them; called for the blocks written.
        std::function<void(size_t number, const wchar_t* extension, const std::string& bytes)> piece;
    };

    // The environment variables the batch lines name, with their values, and PATH.
    static BatchEnvironment::Variables Variables(const Job& job);
    // The piece file of a drawing number; extension "msg" or "opn".
    static std::wstring PiecePath(const Job& job, size_t number, const wchar_t* extension);
    // The log line of a host that could not be started, written once per
    // batch as the log's bytes.
    static std::wstring NotStartedPath(const Job& job);
    // The pieces folder of a batch file: its path without the extension.
    static std::wstring PiecePrefix(const std::wstring& batchFile);
    // The script that a block calls to wait for a piece not yet written, and its text.
    static std::wstring WaitScript(const Job& job);
    static std::string WaitScriptText();
    // A path for a "call" line, which expands its "%" once more: "%" doubled.
    static std::wstring CallPath(const std::wstring& path);
    // The command line that runs a batch file in the interpreter, whatever
    // the user's interpreter settings (AutoRun, delayed expansion).
    static std::wstring CommandLine(const std::wstring& interpreter, const std::wstring& batchFile);

    // "@echo off" and the remark line, each followed by CR LF.
    static std::string Header(bool analysis);
    // Appends the blocks of batchList from job.restartIndex on. In a migrate
    // batch an entry found in drawingList (case ignored) gets the first body
    // script and any other the second; an analysis batch uses the first only.
    // With spill, out is handed to it (to be written and emptied) whenever it
    // passes spillBytes, so a long batch never sits in memory whole.
    static void AppendBlocks(const Job& job, const std::vector<std::wstring>& batchList,
                             const std::vector<std::wstring>& drawingList, std::string& out,
                             const std::function<void(std::string& out)>& spill = nullptr,
                             size_t spillBytes = 1 << 20);

    // The search folders not yet on envPath, then envPath, all lowercase,
    // without double quotes, and cut after the last whole folder that fits
    // maxLength, so the value fits one environment variable.
    static std::wstring PathValue(const std::wstring& envPath, const std::vector<std::wstring>& searchFolders,
                                  size_t maxLength = kMaxPathValue);
    static constexpr size_t kMaxPathValue = BatchEnvironment::kMaxValue;
    // The folder with a trailing "\" unless it ends in "\" or "/"; empty gives "\".
    static std::wstring WithTrailingSeparator(const std::wstring& folder);
    // A relative path made full against the current directory; absolute ones
    // stay as held. The batch changes folder before the host runs, so a
    // relative log path would send later lines to another file.
    static std::wstring Absolute(const std::wstring& path);
    // The file name that the drawing messages show: title "." extension, lowercase.
    static std::wstring DrawingFileName(const std::wstring& drawing);
    // A printf format whose one conversion is a plain "%s" (besides "%%"):
    // the texts before and after it, so a message is built without formatting.
    static bool SplitFormat(const std::wstring& format, std::wstring& prefix, std::wstring& suffix);

    // A path in double quotes, with "%" doubled so the interpreter keeps it.
    static std::wstring Quoted(const std::wstring& path);
    // Text for a command line outside quotes: "%" doubled, and "^ & | < >"
    // outside double quotes escaped with "^", so a name like "a&b.dwg" stays text.
    static std::wstring Escaped(const std::wstring& text);
};
