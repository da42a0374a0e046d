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

// The names the batch lines use for the folder paths of its environment.
const wchar_t kProgress[] = L"KEST_PROGRESS";
const wchar_t kLog[] = L"KEST_LOG";
const wchar_t kHead[] = L"KEST_HEAD";
const wchar_t kScript[] = L"KEST_SCRIPT";
const wchar_t kFirstBody[] = L"KEST_BODY1";
const wchar_t kSecondBody[] = L"KEST_BODY2";
const wchar_t kPath[] = L"KEST_PATH";
const wchar_t kHost[] = L"KEST_HOST";
const wchar_t kPieces[] = L"KEST_PIECES";
const wchar_t kProfile[] = L"KEST_PROFILE";
const wchar_t kStarted[] = L"KEST_STARTED";
const wchar_t kNotStarted[] = L"KEST_NOT_STARTED";

// A variable as the batch names it, "%NAME%" (the names are ASCII).
std::string Expanded(const wchar_t* name)
{
    std::wstring wide = name;
    return "%" + std::string(wide.begin(), wide.end()) + "%";
}

// The same in double quotes, as every path stands in the batch.
std::string Var(const wchar_t* name) { return "\"" + Expanded(name) + "\""; }

std::string PieceName(size_t number, const char* extension)
{
    return "\"" + Expanded(kPieces) + "-" + std::to_string(number) + "." + extension + "\"";
}
}

BatchEnvironment::Variables BatchText::Variables(const Job& job)
{
    return {{kProgress, job.progressFile}, {kLog, job.logFile},         {kHead, job.headScript},
            {kScript, job.drawingScript},  {kFirstBody, job.firstBody}, {kSecondBody, job.secondBody},
            {kPath, job.pathValue},        {kHost, job.hostFolder},     {kPieces, job.pieces},
            {kProfile, job.profileName},   {kStarted, job.startOutput}, {kNotStarted, NotStartedPath(job)}};
}

std::wstring BatchText::PiecePath(const Job& job, size_t number, const wchar_t* extension)
{
    return job.pieces + L"-" + std::to_wstring(number) + L"." + extension;
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

void BatchText::AppendBlocks(const Job& job, const std::vector<std::wstring>& batchList,
                             const std::vector<std::wstring>& drawingList, std::string& out,
                             const std::function<void(std::string& out)>& spill, size_t spillBytes)
{
    size_t first = job.restartIndex > 0 ? static_cast<size_t>(job.restartIndex) : 0;
    if (first >= batchList.size())
        return;

    // Text shared by every block: fixed ASCII and variable names only. The
    // interpreter expands a variable once, so its value needs no escaping.
    // (Wine's interpreter expands the result again: there a "%" in one of
    // these folders is lost.)
    const std::string script = Var(kScript);
    const std::string log = Var(kLog);
    const std::string progress = " > " + Var(kProgress) + "\r\necho. >> " + log + "\r\n";
    const std::string logEnd = " >> " + log + "\r\n";
    const std::string scriptEnd = ">> " + script + "\r\n";
    const std::string copyLog = "copy /b " + log + "+";
    const std::string open = "copy " + Var(kHead) + " " + script + "\r\necho _.OPEN>> " + script + "\r\n";
    const std::string copyScript = "copy /b " + script + "+";
    const std::string firstBody = "type " + Var(kFirstBody) + " >> " + script + "\r\n";
    const std::string secondBody = "type " + Var(kSecondBody) + " >> " + script + "\r\n";
    std::string profile;
    if (IsAscii(job.profileName))
        job.encode(Quoted(job.profileName), profile);
    else
        profile = Var(kProfile);
    // What the start prints goes to a file: a host, having no console, prints
    // nothing, so a file that is not empty means the host was not started,
    // and the log tells so for the drawing, with the system's own words.
    const std::string started = Var(kStarted);
    const std::string tail = "set \"PATH=" + Expanded(kPath) + "\"\r\ncd /d " + Var(kHost) +
                             "\r\nstart /wait drxl.exe /b " + script + " /p " + profile + " /nologo > " + started +
                             " 2>&1 & for %%f in (" + started + ") do if not %%~zf==0 copy /b " + log + "+" +
                             Var(kNotStarted) + "+" + started + " " + log + "\r\n";

    // MIGRATE.TXT is written from the drawing list in its order, so the entry
    // at the same index nearly always matches as it stands; a case-folded set
    // answers for the others and is built only when first needed.
    std::unordered_set<std::wstring> known;
    bool knownBuilt = false;
    auto inDrawingList = [&](size_t i, const std::wstring& drawing) {
        if (i < drawingList.size() && drawingList[i] == drawing)
            return true;
        if (!knownBuilt) {
            known.reserve(drawingList.size());
            for (const std::wstring& entry : drawingList)
                known.insert(PathPlatform::Lower(entry));
            knownBuilt = true;
        }
        return known.count(PathPlatform::Lower(drawing)) > 0;
    };
    auto writePiece = [&job](size_t number, const wchar_t* extension, const std::string& bytes) {
        if (job.piece)
            job.piece(PiecePath(job, number, extension), bytes);
    };

    const size_t perBlock = progress.size() + open.size() + firstBody.size() + tail.size() + 300;
    const size_t blocks = batchList.size() - first;
    out.reserve(out.size() + (spill ? std::min(blocks, spillBytes / perBlock + 2) : blocks) * perBlock);
    // A log line or path in ASCII stands in the batch, escaped, as it always
    // did; anything else comes from a piece file. Most runs so need no piece,
    // and a piece file costs a file creation per drawing.
    std::wstring message;
    std::wstring escaped;
    std::string bytes;
    for (size_t i = first; i < batchList.size(); ++i) {
        const std::wstring& drawing = batchList[i];
        const bool listed = job.analysis || inDrawingList(i, drawing);
        const size_t number = i + 1;
        out += "\r\necho ";
        out += std::to_string(number);
        out += progress;

        message = job.message ? job.message(DrawingFileName(drawing)) : std::wstring();
        if (IsAscii(message)) {
            escaped.clear();
            AppendEscaped(escaped, message);
            out += "echo ";
            AppendAscii(escaped, out);
            out += logEnd;
        } else {
            // As the echo wrote it: the text, the blank before ">>", CR LF.
            bytes.clear();
            job.encode(message, bytes);
            bytes += " \r\n";
            writePiece(number, L"msg", bytes);
            out += copyLog + PieceName(number, "msg") + " " + log + "\r\n";
        }

        out += open;
        if (IsAscii(drawing)) {
            escaped.clear();
            AppendQuoted(escaped, drawing);
            out += "echo ";
            AppendAscii(escaped, out);
            out += scriptEnd;
        } else {
            bytes = "\"";
            job.encode(drawing, bytes);
            bytes += "\"\r\n";
            writePiece(number, L"opn", bytes);
            out += copyScript + PieceName(number, "opn") + " " + script + "\r\n";
        }
        out += listed ? firstBody : secondBody;
        out += tail;
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
