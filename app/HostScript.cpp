#include "HostScript.h"
#include "../drawings/KestFilenm.h"

#include <string>

// Values are built as strings of their own length rather than in fixed
// buffers: a long migration folder or log path is written whole, never cut
// (a cut path would send the extension to another file).

std::vector<std::wstring> HostScript::HeadLines(const Settings& settings)
{
    std::wstring extension = L"\"" + settings.migrationFolder + L"\\kemigr.krx\"";
    std::wstring logFile = KestFilenm(settings.logFile, true).m_path;
    return {L"_EXPERT", L"0", L"_krx", L"_load", extension, L"_kestloginfo", logFile,
            std::to_wstring(settings.logFlags), L"(keresetdbmod T)"};
}

std::vector<std::wstring> HostScript::BodyLines(const Settings& settings, bool scan, bool updates)
{
    std::vector<std::wstring> lines;
    if (scan) {
        lines.push_back(settings.operation == 1 ? L"_kestscan" : L"_kestanalyze");
    } else {
        lines.push_back(L"_kestmigr");
        lines.push_back(L"_.QSAVE");
        bool anyFlag = settings.updateFlags != 0 || settings.optionFlags != 0 || settings.quenbarFlags != 0 ||
                       settings.drxlmFlags != 0;
        if (updates && anyFlag) {
            if (settings.quenbarFlags & 0x1)
                lines.push_back(L"_kemigratebb");
            if (settings.quenbarFlags & 0x2)
                lines.push_back(L"_kemigratesym");
            if (settings.drxlmFlags & 0x1)
                lines.insert(lines.end(), {L"_EXPERT", L"5", L"_kesetupdwg", L"_T", settings.templatePath,
                                           L"_EXPERT", L"0"});
            if (settings.drxlmFlags & 0x2) {
                static const struct {
                    int bit;
                    const wchar_t* line;
                } purges[] = {
                    {0x4, L"_-purge _B * _N"},   {0x8, L"_-purge _LA * _N"},  {0x10, L"_-purge _D * _N"},
                    {0x20, L"_-purge _P * _N"},  {0x80, L"_-purge _LT * _N"}, {0x100, L"_-purge _ST * _N"},
                    {0x200, L"_-purge _M * _N"}, {0x400, L"_-purge _SH * _N"},
                };
                for (const auto& purge : purges)
                    if (settings.drxlmFlags & purge.bit)
                        lines.push_back(purge.line);
            }
            lines.push_back(L"_kestmode");
            if (settings.optionFlags & 0x4)
                lines.push_back(L"0");
            else if (settings.optionFlags & 0x8)
                lines.push_back(L"2");
            else
                lines.push_back(L"1");
            lines.push_back(L"_.QSAVE");
        }
    }
    lines.insert(lines.end(), {L"_kestend", L"_logfilemode", L"0", L"_krx", L"_unload", L"kemigr.krx",
                               L"(keresetdbmod T)", L"_.QUIT"});
    return lines;
}

std::wstring HostScript::Text(const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (const std::wstring& line : lines) {
        text += line;
        text += L'\n';
    }
    return text;
}
