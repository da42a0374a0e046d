#include "BatchText.h"
#include "../drawings/KestFilenm.h"
#include "../drawings/PathPlatform.h"

#include <unordered_set>

std::wstring BatchText::Header(bool analysis)
{
    return analysis ? L"@echo off\nrem Scan the DWG's and write list of xrefs.\n"
                    : L"@echo off\nrem Save/update the DWG's.\n";
}

void BatchText::AppendBlocks(const Job& job, const std::vector<std::wstring>& batchList,
                             const std::vector<std::wstring>& drawingList, std::wstring& out)
{
    size_t first = job.restartIndex > 0 ? static_cast<size_t>(job.restartIndex) : 0;
    if (first >= batchList.size())
        return;

    // Pieces shared by every block, quoted once.
    const std::wstring progress = Quoted(job.progressFile);
    const std::wstring log = Quoted(job.logFile);
    const std::wstring head = Quoted(job.headScript);
    const std::wstring script = Quoted(job.drawingScript);
    const std::wstring firstBody = Quoted(job.firstBody);
    const std::wstring secondBody = Quoted(job.secondBody);
    const std::wstring hostLine = L"cd /d " + Quoted(job.hostFolder) + L"\n";
    const std::wstring startLine =
        L"start /wait drxl.exe /b " + script + L" /p " + Quoted(job.profileName) + L" /nologo\n";
    const std::wstring pathLine = job.pathLine + L"\n";

    // Membership by a case-folded set: the list may hold many thousands.
    std::unordered_set<std::wstring> known;
    if (!job.analysis) {
        known.reserve(drawingList.size());
        for (const std::wstring& drawing : drawingList)
            known.insert(PathPlatform::Lower(drawing));
    }

    out.reserve(out.size() + (batchList.size() - first) * (600 + pathLine.size()));
    for (size_t i = first; i < batchList.size(); ++i) {
        const std::wstring& drawing = batchList[i];
        const std::wstring& body =
            job.analysis || known.count(PathPlatform::Lower(drawing)) ? firstBody : secondBody;
        std::wstring message = job.message ? job.message(DrawingFileName(drawing)) : std::wstring();
        out += L"\necho ";
        out += std::to_wstring(i + 1);
        out += L" > ";
        out += progress;
        out += L"\necho. >> ";
        out += log;
        out += L"\necho ";
        out += Escaped(message);
        out += L" >> ";
        out += log;
        out += L"\ncopy ";
        out += head;
        out += L' ';
        out += script;
        out += L"\necho _.OPEN>> ";
        out += script;
        out += L"\necho ";
        out += Quoted(drawing);
        out += L">> ";
        out += script;
        out += L"\ntype ";
        out += body;
        out += L" >> ";
        out += script;
        out += L'\n';
        out += pathLine;
        out += hostLine;
        out += startLine;
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
    KestFilenm name(drawing, false);
    return name.m_title + L"." + name.m_ext;
}

std::wstring BatchText::Quoted(const std::wstring& path)
{
    std::wstring out;
    out.reserve(path.size() + 2);
    out += L'"';
    for (wchar_t c : path) {
        out += c;
        if (c == L'%')
            out += L'%';
    }
    out += L'"';
    return out;
}

std::wstring BatchText::Escaped(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size());
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
    return out;
}
