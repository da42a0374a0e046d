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
}

void BatchText::AppendBlocks(const Job& job, const std::vector<std::wstring>& batchList,
                             const std::vector<std::wstring>& drawingList, std::string& out,
                             const std::function<void(std::string& out)>& spill, size_t spillBytes)
{
    size_t first = job.restartIndex > 0 ? static_cast<size_t>(job.restartIndex) : 0;
    if (first >= batchList.size())
        return;

    // Pieces shared by every block, built and converted once.
    auto encoded = [&job](const std::wstring& text) {
        std::string bytes;
        job.encode(text, bytes);
        return bytes;
    };
    const std::wstring script = Quoted(job.drawingScript);
    const std::string progress =
        encoded(L" > " + Quoted(job.progressFile) + L"\r\necho. >> " + Quoted(job.logFile) + L"\r\necho ");
    const std::string log = encoded(L" >> " + Quoted(job.logFile) + L"\r\ncopy " + Quoted(job.headScript) + L" " +
                                    script + L"\r\necho _.OPEN>> " + script + L"\r\necho ");
    const std::string firstBody =
        encoded(L">> " + script + L"\r\ntype " + Quoted(job.firstBody) + L" >> " + script + L"\r\n");
    const std::string secondBody =
        encoded(L">> " + script + L"\r\ntype " + Quoted(job.secondBody) + L" >> " + script + L"\r\n");
    const std::string tail = encoded(job.pathLine + L"\r\ncd /d " + Quoted(job.hostFolder) +
                                     L"\r\nstart /wait drxl.exe /b " + script + L" /p " + Quoted(job.profileName) +
                                     L" /nologo\r\n");

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

    const size_t perBlock = progress.size() + log.size() + firstBody.size() + tail.size() + 200;
    const size_t blocks = batchList.size() - first;
    out.reserve(out.size() + (spill ? std::min(blocks, spillBytes / perBlock + 2) : blocks) * perBlock);
    std::wstring message;
    std::wstring path;
    for (size_t i = first; i < batchList.size(); ++i) {
        const std::wstring& drawing = batchList[i];
        const bool listed = job.analysis || inDrawingList(i, drawing);
        out += "\r\necho ";
        out += std::to_string(i + 1);
        out += progress;
        message.clear();
        if (job.message)
            AppendEscaped(message, job.message(DrawingFileName(drawing)));
        job.encode(message, out);
        out += log;
        path.clear();
        AppendQuoted(path, drawing);
        job.encode(path, out);
        out += listed ? firstBody : secondBody;
        out += tail;
        if (spill && out.size() >= spillBytes)
            spill(out);
    }
}

std::wstring BatchText::PathLine(const std::wstring& envPath, const std::vector<std::wstring>& searchFolders)
{
    const std::wstring path = PathPlatform::Lower(envPath);
    std::wstring line = L"PATH =";
    for (const std::wstring& folder : searchFolders) {
        std::wstring f = folder;
        if (!f.empty() && f.back() == L'\\')
            f.pop_back();
        f = PathPlatform::Lower(f);
        if (path.find(f + L";") != std::wstring::npos || path.find(f + L"\\;") != std::wstring::npos)
            continue;
        line += f + L"\\;";
    }
    return Escaped(line + path);
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
