// The host script writers of the application object: the text comes from
// HostScript, the file is written in the text locale.
#include "CKestNoluApp.h"
#include "HostScript.h"
#include "WholeTextFile.h"

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
}

void CKestNoluApp::WriteHeadScript(const std::wstring& path)
{
    WholeTextFile::Write(path, HostScript::Text(HostScript::HeadLines(ScriptSettings(*this))));
}

void CKestNoluApp::WriteBodyScript(const std::wstring& path, bool scan, bool updates)
{
    WholeTextFile::Write(path, HostScript::Text(HostScript::BodyLines(ScriptSettings(*this), scan, updates)));
}
