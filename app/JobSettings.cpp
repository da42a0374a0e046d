// Job settings: read at start-up, stored after Finish, under the migration settings key.
#include "CKestNoluApp.h"
#include "ResourceIds.h"
#include "../drawings/KestFilenm.h"
#include "../host/HostKeys.h"
#include "../host/KestRegKey.h"

namespace {
void ReadInt(const KestRegKey& key, const wchar_t* name, int& value, int fallback)
{
    DWORD data = 0;
    value = key.ReadDword(name, data) ? static_cast<int>(data) : fallback;
}

// The folder of the log file must exist. Asking for the folder's own
// attributes also holds at a drive root, where the first entry of "<root>*"
// may be a plain file and would wrongly send the log to the temporary folder.
bool LogFolderExists(const std::wstring& logFile)
{
    KestFilenm name(logFile, false);
    if (name.m_path.empty())
        return false;
    DWORD attributes = GetFileAttributesW((name.m_drive + name.m_dir).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
}

void CKestNoluApp::ReadSettings()
{
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    ReadInt(key, L"Operation", m_Operation, 1);
    ReadInt(key, L"UpdateFlags", m_UpdateFlags, 27);
    ReadInt(key, L"DrxlmFlags", m_DrxlmFlags, 8);
    ReadInt(key, L"OptionFlags", m_OptionFlags, 4);
    ReadInt(key, L"Timeout", m_Timeout, 120);
    ReadInt(key, L"QuenbarFlags", m_QuenbarFlags, 0);
    ReadInt(key, L"SymbolStd", m_SymbolStd, 0);
    if (static_cast<unsigned>(m_SymbolStd) > 6)
        m_SymbolStd = 0;

    wchar_t logFile[512] = {0};
    if (key.ReadString(L"Logfile", logFile, 512))
        g_logFile = logFile;
    if (!LogFolderExists(g_logFile)) {
        CString fileName;
        fileName.LoadString(IDS_DEFAULT_LOGFILE);
        wchar_t temp[260] = {0};
        std::wstring name = fileName.Str();
        DWORD n = GetTempPathW(260, temp);
        if (n > 0 && n < 260)
            name = std::wstring(temp) + name;
        g_logFile = KestFilenm(name, false).m_path;
    }
    ReadInt(key, L"LogFlags", m_LogFlags, 15);

    KestFilenm progress;
    progress.SetTempName(L"");
    m_progressFile = progress.m_path;
    m_tempFiles.push_back(m_progressFile);
}

void CKestNoluApp::WriteSettings()
{
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    key.WriteDword(L"Operation", static_cast<DWORD>(m_Operation));
    key.WriteDword(L"UpdateFlags", static_cast<DWORD>(m_UpdateFlags));
    key.WriteDword(L"DrxlmFlags", static_cast<DWORD>(m_DrxlmFlags));
    key.WriteDword(L"OptionFlags", static_cast<DWORD>(m_OptionFlags));
    key.WriteDword(L"Timeout", static_cast<DWORD>(m_Timeout));
    key.WriteDword(L"QuenbarFlags", static_cast<DWORD>(m_QuenbarFlags));
    key.WriteDword(L"SymbolStd", static_cast<DWORD>(m_SymbolStd));
    key.WriteString(L"Logfile", g_logFile.c_str());
    key.WriteDword(L"LogFlags", static_cast<DWORD>(m_LogFlags));
}

void RemoveHostLogFile()
{
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    wchar_t path[512] = {0};
    if (key.ReadString(L"LOGFILENAME", path, 512) && path[0] != L'\0')
        DeleteFileW(path);
    key.DeleteValue(L"LOGFILENAME");
}
