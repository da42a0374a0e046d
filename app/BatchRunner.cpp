// The batch run of the application object: writes the batch file, starts it
// hidden through the command interpreter, and starts, restarts and aborts runs.
#include "CKestNoluApp.h"
#include "BatchIds.h"
#include "BatchText.h"
#include "ResourceIds.h"
#include "KestTextStream.h"
#include "RunLog.h"
#include "../drawings/FormatCheck.h"
#include "../drawings/KestFilenm.h"
#include "../host/HostKeys.h"

#include <vector>

namespace {
std::wstring Environment(const wchar_t* name)
{
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(name, &value[0], size);
    value.resize(length < size ? length : 0);
    return value;
}

std::wstring LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text.Str();
}

void WriteText(const std::wstring& path, const std::wstring& text)
{
    KestTextStream out(path, KestTextStream::Truncate);
    if (!out.is_open())
        return;
    out << text;
    out.close();
}

// Ends the batch process of a run the user stopped; does nothing when no
// process is held (never started, or already ended and closed).
void AbortRun(CKestNoluApp& app, UINT logLine)
{
    if (!app.m_batch.Held())
        return;
    app.m_batch.Terminate(0, 5000);
    RemoveHostLogFile();
    app.m_batch.Clear();
    app.AddLogLine(logLine);
}

// A fresh temporary name with the extension, listed for deletion at exit.
std::wstring NewTempFile(CKestNoluApp& app, const wchar_t* ext)
{
    KestFilenm name;
    name.SetTempName(ext);
    app.m_tempFiles.push_back(name.m_path);
    return name.m_path;
}
}

void CKestNoluApp::WriteBatchFile(int restartIndex, const std::wstring& batchFile, const std::wstring& firstBody,
                                  const std::wstring& secondBody, bool analysis)
{
    m_hostFolder = BatchText::WithTrailingSeparator(m_hostFolder);

    CString format;
    format.LoadString(analysis ? (m_Operation == 1 ? IDS_BATCH_SCAN_DRAWING : IDS_BATCH_ANALYZE_DRAWING)
                               : IDS_BATCH_MIGRATE_DRAWING);
    BatchText::Job job;
    job.analysis = analysis;
    job.restartIndex = restartIndex;
    job.progressFile = m_progressFile;
    job.logFile = BatchText::Absolute(g_logFile);
    job.headScript = m_headScript;
    job.drawingScript = m_drawingScript;
    job.firstBody = firstBody;
    job.secondBody = secondBody;
    job.hostFolder = m_hostFolder;
    job.profileName = GetHostProfileName();
    job.pathLine = BatchText::PathLine(Environment(L"PATH"), m_searchFolders);
    // A format from the resource module that does not take one string is
    // written as it stands, followed by the name.
    const bool takesName = FormatTakes(format.Str(), "s");
    job.message = [&format, takesName](const std::wstring& fileName) {
        CString text;
        if (takesName)
            text.Format(format, fileName.c_str());
        else
            text.Format(L"%s %s", static_cast<const wchar_t*>(format), fileName.c_str());
        return text.Str();
    };

    std::wstring text = BatchText::Header(analysis);
    if (analysis) {
        m_batchCount = static_cast<INT_PTR>(m_drawings.size());
        BatchText::AppendBlocks(job, m_drawings, m_drawings, text);
        WriteText(batchFile, text);
        m_progressDlg.SetDrawings(m_drawings);
    } else {
        m_migrateBatchList.clear();
        ReadLines(MigrateListPath(), m_migrateBatchList);
        m_batchCount = static_cast<INT_PTR>(m_migrateBatchList.size());
        BatchText::AppendBlocks(job, m_migrateBatchList, m_drawings, text);
        WriteText(batchFile, text);
        m_progressDlg.SetDrawings(m_migrateBatchList);
    }
}

void CKestNoluApp::LaunchBatch(const std::wstring& batchFile)
{
    m_batch.Clear();

    // Quoted, as a temporary folder may hold blanks.
    std::wstring command = L"\"" + batchFile + L"\"";
    if (!m_atLeastXP) {
        std::wstring interpreter = Environment(L"COMSPEC");
        if (interpreter.empty())
            interpreter = L"COMMAND";
        command = interpreter + L" /C " + command;
    }
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        m_batch.Adopt(info);
        m_progressDlg.SetBatchProcess(&m_batch);
        return;
    }
    DWORD error = GetLastError();
    if (error == 0 || error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE)
        return;
    wchar_t system[256] = {0};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0x0400, system, 256,
                   nullptr);
    std::wstring text = LoadText(IDS_BATCH_START_FAILED) + L"\n" + system;
    MessageBoxW(nullptr, text.c_str(), LoadText(IDS_CAPTION).c_str(), MB_ICONERROR);
}

bool CKestNoluApp::StartMigrateRun()
{
    // PrepareRun reserves the drawing script; a run without one could not start any host.
    if (m_drawingScript.empty())
        m_drawingScript = NewTempFile(*this, L"SCR");
    if (m_headScript.empty()) {
        m_headScript = NewTempFile(*this, L"SCR");
        WriteHeadScript(m_headScript);
    }
    m_updateScript = NewTempFile(*this, L"SCR");
    WriteBodyScript(m_updateScript, false, true);
    m_plainScript = NewTempFile(*this, L"SCR");
    WriteBodyScript(m_plainScript, false, false);
    m_migrateBatch = NewTempFile(*this, L"BAT");
    WriteBatchFile(0, m_migrateBatch, m_updateScript, m_plainScript, false);
    WriteLogHeader(IDS_BATCH_MIGRATE_TITLE);
    if (m_batchCount > 0) {
        LaunchBatch(m_migrateBatch);
        return true;
    }
    MessageBoxW(nullptr, LoadText(IDS_BATCH_NO_MIGRATION).c_str(), LoadText(IDS_CAPTION).c_str(),
                MB_ICONWARNING | MB_OK);
    return false;
}

bool CKestNoluApp::StartAnalysisRun()
{
    m_drawingScript = NewTempFile(*this, L"SCR");
    m_headScript = NewTempFile(*this, L"SCR");
    WriteHeadScript(m_headScript);
    m_scanScript = NewTempFile(*this, L"SCR");
    WriteBodyScript(m_scanScript, true, false);
    m_analysisBatch = NewTempFile(*this, L"BAT");
    WriteBatchFile(0, m_analysisBatch, m_scanScript, std::wstring(), true);
    WriteLogHeader(IDS_BATCH_ANALYSIS_TITLE);
    if (m_batchCount > 0) {
        LaunchBatch(m_analysisBatch);
        return true;
    }
    MessageBoxW(nullptr, LoadText(IDS_BATCH_NO_ANALYSIS).c_str(), LoadText(IDS_CAPTION).c_str(),
                MB_ICONWARNING | MB_OK);
    return false;
}

void CKestNoluApp::RestartMigrateRun(int restartIndex)
{
    AddLogLine(IDS_BATCH_MIGRATE_RESUME);
    WriteBatchFile(restartIndex < 0 ? 0 : restartIndex, m_migrateBatch, m_updateScript, m_plainScript, false);
    LaunchBatch(m_migrateBatch);
}

void CKestNoluApp::RestartAnalysisRun(int restartIndex)
{
    AddLogLine(IDS_BATCH_ANALYSIS_RESUME);
    WriteBatchFile(restartIndex < 0 ? 0 : restartIndex, m_analysisBatch, m_scanScript, std::wstring(), true);
    LaunchBatch(m_analysisBatch);
}

void CKestNoluApp::AbortMigrateRun() { AbortRun(*this, IDS_BATCH_MIGRATE_ABORT); }

void CKestNoluApp::AbortAnalysisRun() { AbortRun(*this, IDS_BATCH_ANALYSIS_ABORT); }
