// The host script writers of the application object: the text comes from
// HostScript, the file is written in the text locale.
#include "CKestNoluApp.h"
#include "HostScript.h"
#include "KestTextStream.h"

namespace {
HostScript::Settings ScriptSettings(const CKestNoluApp& app)
{
    HostScript::Settings settings;
    settings.operation = app.m_Operation;
    settings.updateFlags = app.m_UpdateFlags;
    settings.optionFlags = app.m_OptionFlags;
    settings.quenbarFlags = app.m_QuenbarFlags;
    settings.drxlmFlags = app.m_DrxlmFlags;
    settings.logFlags = app.m_LogFlags;
    settings.templatePath = app.m_templatePath;
    settings.migrationFolder = app.m_migrationFolder;
    settings.logFile = g_logFile;
    return settings;
}

// A file that cannot be opened is left as it is; the host then meets an
// empty or stale script and the supervision's time budget ends it.
void WriteScript(const std::wstring& path, const std::vector<std::wstring>& lines)
{
    KestTextStream out(path, KestTextStream::Truncate);
    if (!out.is_open())
        return;
    out << HostScript::Text(lines);
    out.close();
}
}

void CKestNoluApp::WriteHeadScript(const std::wstring& path)
{
    WriteScript(path, HostScript::HeadLines(ScriptSettings(*this)));
}

void CKestNoluApp::WriteBodyScript(const std::wstring& path, bool scan, bool updates)
{
    WriteScript(path, HostScript::BodyLines(ScriptSettings(*this), scan, updates));
}
