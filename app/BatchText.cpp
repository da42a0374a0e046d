#include "BatchText.h"
#include "../drawings/PathPlatform.h"

#include <algorithm>
#include <unordered_set>

std::string BatchText::Header(bool analysis)
{
    return analysis ? "@echo off\r\nrem Scan the DWG's and write list of xrefs.\r\n"
                    : "@echo off\r\nrem Save/update the DWG's.\r\n";
}

namespace {
void AppendQuoted(std::wstring& out, const std::wstring& path)
{
    out += L'"';
    for (wchar_t c : path) {
        out += c;
        if (c == L'%')
            out += L'%';
    }
    out += L'"';
}

void AppendEscaped(std::wstring& out, const std::wstring& text)
{
    bool quoted = false;
    for (wchar_t c : text) {
        if (c == L'"')
            quoted = !quoted;
        else if (c == L'%')
            out += L'%';
        else if (!quoted && (c == L'^' || c == L'&' || c == L'|' || c == L'<' || c == L'>'))
            out += L'^';
        out += c;
    }
}

bool IsAscii(const std::wstring& text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; });
}

// ASCII has the same bytes in every ANSI code page, so it needs no code page
// conversion: that call per drawing was most of the batch's cost.
void AppendAscii(const std::wstring& text, std::string& out)
{
    for (wchar_t c : text)
        out += static_cast<char>(c);
}

// MIGRATE.TXT is written from the drawing list in its order, so the entry at
// the same index nearly always matches as it stands; a case-folded set
// answers for the others and is built only when first needed.
class DrawingListLookup {
public:
    explicit DrawingListLookup(const std::vector<std::wstring>& list) : m_list(list) {}
    bool Contains(size_t i, const std::wstring& drawing)
    {
        if (i < m_list.size() && m_list[i] == drawing)
            return true;
        if (!m_built) {
            m_known.reserve(m_list.size());
            for (const std::wstring& entry : m_list)
                m_known.insert(PathPlatform::Lower(entry));
            m_built = true;
        }
        return m_known.count(PathPlatform::Lower(drawing)) > 0;
    }

private:
    const std::vector<std::wstring>& m_list;
    std::unordered_set<std::wstring> m_known;
    bool m_built = false;
};

// The names the batch lines use for the folder paths of its environment.
const wchar_t kProgress[] = L"KEST_PROGRESS";
const wchar_t kLog[] = L"KEST_LOG";
const wchar_t kHead[] = L"KEST_HEAD";
const wchar_t kScript[] = L"KEST_SCRIPT";
const wchar_t kFirstBody[] = L"KEST_BODY1";
const wchar_t kSecondBody[] = L"KEST_BODY2";
const wchar_t kHost[] = L"KEST_HOST";
const wchar_t kPieces[] = L"KEST_PIECES";
const wchar_t kWait[] = L"KEST_WAIT";
const wchar_t kProfile[] = L"KEST_PROFILE";
const wchar_t kStarted[] = L"KEST_STARTED";
const wchar_t kNotStarted[] = L"KEST_NOT_STARTED";

// The longest line the interpreter reads, after its variables are expanded.
const size_t kMaxLine = 8191;

// A variable as the batch names it, "%NAME%" (the names are ASCII).
std::string Expanded(const wchar_t* name)
{
    std::wstring wide = name;
    return "%" + std::string(wide.begin(), wide.end()) + "%";
}

// The same in double quotes, as every path stands in the batch.
std::string Var(const wchar_t* name) { return "\"" + Expanded(name) + "\""; }

// How a text of a drawing reaches one file of the batch: echoed when it is
// ASCII and its line fits the interpreter, else joined byte for byte from a
// piece file that holds exactly what the echo would have written.
struct Sink {
    const wchar_t* extension;   // of its piece files
    bool quoted;                // a path in double quotes, else text escaped for echo
    std::string echoEnd;        // after the echoed text
    std::string copyStart;      // "copy /b <file>+" and the pieces folder
    std::string copyEnd;        // " <file>" CR LF
    size_t room;                // the longest echoed text whose line fits

    Sink(const wchar_t* ext, bool isQuoted, const std::string& redirect, const wchar_t* file,
         const std::wstring& fileValue)
        : extension(ext), quoted(isQuoted), echoEnd(redirect + Var(file) + "\r\n"),
          copyStart("copy /b " + Var(file) + "+\"" + Expanded(kPieces) + "\\"), copyEnd("\" " + Var(file) + "\r\n")
    {
        const size_t fixed = std::string("echo ").size() + redirect.size() + fileValue.size() + 2;
        room = fixed < kMaxLine ? kMaxLine - fixed : 0;
    }
};

// The texts that every block of a batch shares, made once per batch. The
// interpreter expands a variable once, so its value needs no escaping.
// (Wine's interpreter expands the result again: there a "%" in one of
// these folders is lost.)
struct BlockTexts {
    std::string progressEnd, logBlank, open, firstBody, secondBody, tail, waitStart, waitCall;
    Sink log, path;

    explicit BlockTexts(const BatchText::Job& job)
        : log(L"msg", false, " >> ", kLog, job.logFile), path(L"opn", true, ">> ", kScript, job.drawingScript)
    {
        const std::string script = Var(kScript);
        progressEnd = " > " + Var(kProgress) + "\r\n";
        logBlank = "echo. >> " + Var(kLog) + "\r\n";
        open = "copy " + Var(kHead) + " " + script + "\r\necho _.OPEN>> " + script + "\r\n";
        firstBody = "type " + Var(kFirstBody) + " >> " + script + "\r\n";
        secondBody = "type " + Var(kSecondBody) + " >> " + script + "\r\n";
        std::string profile;
        if (IsAscii(job.profileName))
            job.encode(BatchText::Quoted(job.profileName), profile);
        else
            profile = Var(kProfile);
        // What the start prints goes to a file: a host, having no console, prints
        // nothing, so a file that is not empty means the host was not started,
        // and the log tells so for the drawing, with the system's own words.
        const std::string started = Var(kStarted);
        const std::string log = Var(kLog);
        // A start that failed is tried once more: some systems fail a process's
        // creation now and then under load, and the drawing would be lost for it.
        const std::string start = "start /wait drxl.exe /b " + script + " /p " + profile + " /nologo > " + started +
                                  " 2>&1";
        tail = "cd /d " + Var(kHost) + "\r\n" + start + " & for %%f in (" + started + ") do if not %%~zf==0 " + start +
               " & for %%g in (" + started + ") do if not %%~zg==0 copy /b " + log + "+" + Var(kNotStarted) + "+" +
               started + " " + log + "\r\n";
        waitStart = "if not exist \"" + Expanded(kPieces) + "\\";
        waitCall = "\" call \"" + Expanded(kWait) + "\" ";
    }

    // The line that waits until Transmora has written the file name into the pieces folder.
    void AppendWait(const std::string& name, std::string& out) const
    {
        out += waitStart;
        out += name;
        out += waitCall;
        out += name;
        out += "\r\n";
    }
};

// The piece file's name inside the pieces folder: number "." extension.
std::string PieceName(size_t number, const wchar_t* extension)
{
    std::wstring wide = extension;
    return std::to_string(number) + "." + std::string(wide.begin(), wide.end());
}

// The line that writes text into the sink's file, from a piece when it must.
// Returns the piece's name, or empty when the text is echoed.
std::string AppendLine(const BatchText::Job& job, const Sink& sink, const std::wstring& text, size_t number,
                       std::string& line, std::wstring& escaped, std::string& escapedBytes)
{
    escaped.clear();
    const bool ascii = IsAscii(text);
    if (ascii && sink.quoted)
        AppendQuoted(escaped, text);
    else if (ascii)
        AppendEscaped(escaped, text);
    if (ascii && escaped.size() <= sink.room) {
        line = "echo ";
        AppendAscii(escaped, line);
        line += sink.echoEnd;
        return std::string();
    }
    // As the echo wrote it: no escapes, the quotes of a path, the blank before ">>" of a text.
    std::string& bytes = escapedBytes;
    bytes = sink.quoted ? "\"" : "";
    job.encode(text, bytes);
    bytes += sink.quoted ? "\"\r\n" : " \r\n";
    if (job.piece)
        job.piece(number, sink.extension, bytes);
    const std::string name = PieceName(number, sink.extension);
    line = sink.copyStart;
    line += name;
    line += sink.copyEnd;
    return name;
}
}

BatchEnvironment::Variables BatchText::Variables(const Job& job)
{
    BatchEnvironment::Variables variables = {
        {kProgress, job.progressFile}, {kLog, job.logFile},         {kHead, job.headScript},
        {kScript, job.drawingScript},  {kFirstBody, job.firstBody}, {kSecondBody, job.secondBody},
        {kHost, job.hostFolder},       {kPieces, job.pieces},       {kWait, CallPath(WaitScript(job))},
        {kProfile, job.profileName},   {kStarted, job.startOutput},
        {kNotStarted, NotStartedPath(job)}};
    // The host finds its folders on PATH as given here: no batch line sets it,
    // so no interpreter expands its value again.
    if (!job.pathValue.empty())
        variables.emplace_back(L"PATH", job.pathValue);
    return variables;
}

std::wstring BatchText::PiecePath(const Job& job, size_t number, const wchar_t* extension)
{
    return job.pieces + L"\\" + std::to_wstring(number) + L"." + extension;
}

std::wstring BatchText::NotStartedPath(const Job& job) { return job.pieces + L"-nohost.txt"; }

std::wstring BatchText::PiecePrefix(const std::wstring& batchFile)
{
    size_t dot = batchFile.find_last_of(L'.');
    size_t separator = batchFile.find_last_of(L"\\/:");
    if (dot == std::wstring::npos || (separator != std::wstring::npos && dot < separator))
        return batchFile;
    return batchFile.substr(0, dot);
}

std::wstring BatchText::WaitScript(const Job& job) { return job.pieces + L"\\wait.bat"; }

std::string BatchText::WaitScriptText()
{
    // Called with the name of a piece that the writer has not published yet.
    return "@echo off\r\n"
           "rem Waits until Transmora has written the file %1 of this batch: once soon, then each second.\r\n"
           "if exist \"%KEST_PIECES%\\%1\" goto :eof\r\n"
           "ping -n 1 127.0.0.1 >nul\r\n"
           ":wait\r\n"
           "if exist \"%KEST_PIECES%\\%1\" goto :eof\r\n"
           "ping -n 2 127.0.0.1 >nul\r\n"
           "goto wait\r\n";
}

std::wstring BatchText::CallPath(const std::wstring& path)
{
    std::wstring out;
    for (wchar_t c : path) {
        out += c;
        if (c == L'%')
            out += L'%';
    }
    return out;
}

std::wstring BatchText::CommandLine(const std::wstring& interpreter, const std::wstring& batchFile)
{
    const std::wstring program =
        interpreter.find(L' ') != std::wstring::npos && interpreter.front() != L'"' ? L"\"" + interpreter + L"\""
                                                                                     : interpreter;
    // /D: no AutoRun command of the user's; /V:OFF: "!" in names stays text.
    // The outer quotes are the ones /C takes off, whatever the path holds.
    return program + L" /D /V:OFF /C \"\"" + batchFile + L"\"\"";
}

void BatchText::AppendBlocks(const Job& job, const std::vector<std::wstring>& batchList,
                             const std::vector<std::wstring>& drawingList, std::string& out,
                             const std::function<void(std::string& out)>& spill, size_t spillBytes)
{
    size_t first = job.restartIndex > 0 ? static_cast<size_t>(job.restartIndex) : 0;
    if (first >= batchList.size())
        return;
    const BlockTexts texts(job);
    DrawingListLookup listed(drawingList);

    const size_t perBlock = texts.open.size() + texts.firstBody.size() + texts.tail.size() + 300;
    const size_t blocks = batchList.size() - first;
    out.reserve(out.size() + (spill ? std::min(blocks, spillBytes / perBlock + 2) : blocks) * perBlock);
    std::wstring escaped;
    std::string logLine, pathLine, bytes;
    for (size_t i = first; i < batchList.size(); ++i) {
        const std::wstring& drawing = batchList[i];
        const size_t number = i + 1;
        const std::wstring message = job.message ? job.message(DrawingFileName(drawing)) : std::wstring();
        // Pieces are written in this order: the last one of a drawing stands for all its pieces.
        std::string piece = AppendLine(job, texts.log, message, number, logLine, escaped, bytes);
        std::string pathPiece = AppendLine(job, texts.path, drawing, number, pathLine, escaped, bytes);
        if (!pathPiece.empty())
            piece = pathPiece;

        out += "\r\necho ";
        out += std::to_string(number);
        out += texts.progressEnd;
        if (job.waitForMarks && i > first)
            texts.AppendWait(std::to_string(number) + ".go", out);
        if (!piece.empty())
            texts.AppendWait(piece, out);
        out += texts.logBlank;
        out += logLine;
        out += texts.open;
        out += pathLine;
        out += job.analysis || listed.Contains(i, drawing) ? texts.firstBody : texts.secondBody;
        out += texts.tail;
        if (spill && out.size() >= spillBytes)
            spill(out);
    }
}

std::wstring BatchText::PathValue(const std::wstring& envPath, const std::vector<std::wstring>& searchFolders,
                                  size_t maxLength)
{
    const std::wstring path = PathPlatform::Lower(envPath);
    std::wstring value;
    for (const std::wstring& folder : searchFolders) {
        std::wstring f = folder;
        if (!f.empty() && f.back() == L'\\')
            f.pop_back();
        f = PathPlatform::Lower(f);
        if (path.find(f + L";") != std::wstring::npos || path.find(f + L"\\;") != std::wstring::npos)
            continue;
        value += f + L"\\;";
    }
    value += path;
    value.erase(std::remove(value.begin(), value.end(), L'"'), value.end());
    if (value.size() > maxLength) {
        size_t cut = value.rfind(L';', maxLength);
        value.resize(cut != std::wstring::npos && cut > 0 ? cut : maxLength);
    }
    return value;
}

std::wstring BatchText::WithTrailingSeparator(const std::wstring& folder)
{
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        return folder;
    return folder + L"\\";
}

std::wstring BatchText::Absolute(const std::wstring& path)
{
    bool driveRooted = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    bool unc = path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/');
    if (driveRooted || unc || path.empty())
        return path;
    std::wstring full;
    size_t filePart = 0;
    return PathPlatform::FullPath(path, full, filePart) ? full : path;
}

std::wstring BatchText::DrawingFileName(const std::wstring& drawing)
{
    // The file part split as the path class splits it, without asking the
    // platform for a full path: the lists hold full paths already.
    size_t separator = drawing.find_last_of(L"\\/:");
    std::wstring file = separator == std::wstring::npos ? drawing : drawing.substr(separator + 1);
    if (file.find(L'.') == std::wstring::npos)
        file += L'.';
    return PathPlatform::Lower(file);
}

bool BatchText::SplitFormat(const std::wstring& format, std::wstring& prefix, std::wstring& suffix)
{
    std::wstring* part = &prefix;
    prefix.clear();
    suffix.clear();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%') {
            *part += format[i];
        } else if (i + 1 < format.size() && format[i + 1] == L'%') {
            *part += L'%';
            ++i;
        } else if (i + 1 < format.size() && format[i + 1] == L's' && part == &prefix) {
            part = &suffix;
            ++i;
        } else {
            return false;
        }
    }
    return part == &suffix;
}

std::wstring BatchText::Quoted(const std::wstring& path)
{
    std::wstring out;
    out.reserve(path.size() + 2);
    AppendQuoted(out, path);
    return out;
}

std::wstring BatchText::Escaped(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}
