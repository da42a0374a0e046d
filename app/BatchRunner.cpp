// The batch run of the application object: writes the batch file, starts it
// hidden through the command interpreter, and starts, restarts and aborts runs.
#include "CKestNoluApp.h"
#include "BatchEnvironment.h"
#include "BatchIds.h"
#include "BatchText.h"
#include "ResourceIds.h"
#include "TextLocale.h"
#include "RunLog.h"
#include "RunSafetyIds.h"
#include "RunMessages.h"
#include "../drawings/FormatCheck.h"
#include "../drawings/KestFilenm.h"
#include "../host/HostKeys.h"
#include "KestPieceWriter.h"

#include <algorithm>
#include <locale>
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

// Appends wide text as bytes of the text locale. Its code pages all hold
// ASCII as it is, so ASCII text (most paths) skips the conversion call. A
// character the conversion cannot take (which the text locale does not
// report) becomes "?".
void Encode(const std::codecvt<wchar_t, char, std::mbstate_t>& codecvt, const std::wstring& text, std::string& out)
{
    if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; })) {
        out.append(text.begin(), text.end());
        return;
    }
    const size_t perChar = static_cast<size_t>(std::max(1, std::min(codecvt.max_length(), 8)));
    size_t used = out.size();
    out.resize(used + text.size() * perChar + 8);
    std::mbstate_t state{};
    const wchar_t* from = text.data();
    const wchar_t* fromEnd = text.data() + text.size();
    while (from < fromEnd) {
        const wchar_t* fromNext = from;
        char* toNext = &out[used];
        auto result = codecvt.out(state, from, fromEnd, fromNext, &out[used], &out[0] + out.size(), toNext);
        used = static_cast<size_t>(toNext - &out[0]);
        if (result == std::codecvt_base::noconv || result == std::codecvt_base::error || fromNext == from) {
            if (used == out.size())
                out.resize(out.size() + 8);
            out[used++] = '?';
            fromNext = from + 1;
        }
        from = fromNext;
        if (out.size() - used < 8 && from < fromEnd)
            out.resize(out.size() + static_cast<size_t>(fromEnd - from) * perChar + 8);
    }
    out.resize(used);
}

// The batch file, written in pieces of about a megabyte as it is built.
// Opened shareable; nothing is written when it cannot be opened.
class BatchFileOut {
public:
    explicit BatchFileOut(const std::wstring& path)
        : m_file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~BatchFileOut()
    {
        if (m_file != INVALID_HANDLE_VALUE)
            CloseHandle(m_file);
    }
    BatchFileOut(const BatchFileOut&) = delete;
    BatchFileOut& operator=(const BatchFileOut&) = delete;

    void Write(std::string& bytes)
    {
        DWORD written = 0;
        if (m_file != INVALID_HANDLE_VALUE && !bytes.empty())
            WriteFile(m_file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        bytes.clear();
    }

private:
    HANDLE m_file;
};

// A small file the batch joins to another, listed for deletion at exit.
void WritePiece(CKestNoluApp& app, const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        app.m_tempFiles.push_back(path);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// This process's environment with the batch's variables.
std::wstring EnvironmentBlock(const BatchEnvironment::Variables& variables)
{
    wchar_t* parent = GetEnvironmentStringsW();
    std::wstring block = BatchEnvironment::Block(parent, variables);
    if (parent)
        FreeEnvironmentStringsW(parent);
    return block;
}

// Ends the batch process of a run the user stopped; does nothing when no
// process is held (never started, or already ended and closed).
void AbortRun(CKestNoluApp& app, UINT logLine)
{
    if (!app.m_batch.Held())
        return;
    app.m_batch.Terminate(0, 5000);
    app.m_pieceWriter.Stop();
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
    job.pathValue = BatchText::PathValue(Environment(L"PATH"), m_searchFolders);
    // The pieces folder of a batch file stays with it through its restarts,
    // whose pieces are those written before; a new batch never takes a
    // folder left by an earlier Transmora, whose pieces might name other drawings.
    std::wstring& pieceFolder = m_pieceFolders[batchFile];
    if (pieceFolder.empty()) {
        const std::wstring prefix = BatchText::PiecePrefix(batchFile);
        pieceFolder = prefix;
        for (int n = 2; GetFileAttributesW(pieceFolder.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
            pieceFolder = prefix + L"-" + std::to_wstring(n);
    }
    job.pieces = pieceFolder;
    job.waitForMarks = m_claims != nullptr && !analysis;
    m_marksGate = job.waitForMarks ? pieceFolder : std::wstring();
    m_gateNumber = 0;
    job.startOutput = NewTempFile(*this, L"txt");
    // A plain "%s" format is split once; any other format that takes one
    // string is formatted per drawing, and one that does not is written as it
    // stands, followed by the name.
    std::wstring prefix, suffix;
    const bool split = BatchText::SplitFormat(format.Str(), prefix, suffix);
    const bool takesName = FormatTakes(format.Str(), "s");
    job.message = [&](const std::wstring& fileName) {
        if (split)
            return prefix + fileName + suffix;
        CString text;
        if (takesName)
            text.Format(format, fileName.c_str());
        else
            text.Format(L"%s %s", static_cast<const wchar_t*>(format), fileName.c_str());
        return text.Str();
    };

    // The batch file holds the text locale's bytes, as the text streams write them.
    const std::locale locale = MakeTextLocale();
    const auto& codecvt = std::use_facet<std::codecvt<wchar_t, char, std::mbstate_t>>(locale);
    job.encode = [&codecvt](const std::wstring& text, std::string& out) { Encode(codecvt, text, out); };
    KestPieceWriter::Pieces pieces;
    pieces.folder = pieceFolder;
    job.piece = [&pieces](size_t number, const wchar_t* extension, const std::string& bytes) {
        pieces.Add(number, extension, bytes);
    };
    m_batchVariables = BatchText::Variables(job);
    std::string notStarted;
    job.encode(L"\t" + LoadText(IDS_BATCH_HOST_NOT_STARTED) + L"\r\n", notStarted);
    WritePiece(*this, BatchText::NotStartedPath(job), notStarted);
    m_pieceWriter.Stop();
    m_unwrittenPiece.clear();

    BatchFileOut file(batchFile);
    auto spill = [&file](std::string& bytes) { file.Write(bytes); };
    std::string text = BatchText::Header(analysis);
    // Drawings go to the host by the names it can be given; one without any is left out.
    std::vector<std::wstring> hosted = HostDrawingNames(m_drawings);
    if (analysis) {
        hosted.erase(std::remove(hosted.begin(), hosted.end(), std::wstring()), hosted.end());
        m_batchCount = static_cast<INT_PTR>(hosted.size());
        BatchText::AppendBlocks(job, hosted, hosted, text, spill);
        file.Write(text);
        m_progressDlg.SetDrawings(hosted);
    } else {
        m_migrateBatchList.clear();
        ReadLines(MigrateListPath(), m_migrateBatchList);
        m_batchCount = static_cast<INT_PTR>(m_migrateBatchList.size());
        BatchText::AppendBlocks(job, m_migrateBatchList, hosted, text, spill);
        file.Write(text);
        m_progressDlg.SetDrawings(m_migrateBatchList);
    }
    if (pieces.entries.empty() && !job.waitForMarks)
        return;
    // The folder and its wait script are there before the batch starts; the
    // pieces follow on the writer's thread, ahead of the batch.
    if (CreateDirectoryW(pieceFolder.c_str(), nullptr))
        m_tempFiles.push_back(pieceFolder);
    const std::wstring wait = BatchText::WaitScript(job);
    if (!KestPieceWriter::Write(wait, BatchText::WaitScriptText())) {
        m_unwrittenPiece = wait;
        return;
    }
    m_pieceWriter.Start(std::move(pieces));
}

std::wstring CKestNoluApp::UnwrittenPiece() const
{
    return m_unwrittenPiece.empty() ? m_pieceWriter.Failed() : m_unwrittenPiece;
}

void CKestNoluApp::ReportUnwrittenPiece(const std::wstring& piece, HWND owner)
{
    m_unwrittenPiece.clear();
    m_pieceWriter.Stop();
    CString text;
    const std::wstring format = LoadText(IDS_BATCH_PIECE_FAILED);
    if (FormatTakes(format, "s"))
        text.Format(format.c_str(), piece.c_str());
    else
        text.Format(L"%s\n%s", format.c_str(), piece.c_str());
    AddLogLine(text.Str());
    // Unattended, the log line is all there is to say.
    if (!RunMessages::Unattended())
        MessageBoxW(owner, text.Str().c_str(), LoadText(IDS_CAPTION).c_str(), MB_ICONERROR | MB_OK);
}

void CKestNoluApp::LaunchBatch(const std::wstring& batchFile)
{
    m_batch.Clear();
    // A batch without its wait script could reach a piece not yet written.
    if (!m_unwrittenPiece.empty()) {
        ReportUnwrittenPiece(m_unwrittenPiece, nullptr);
        return;
    }

    // Always through the interpreter, so that its switches hold whatever the user set.
    std::wstring interpreter = Environment(L"COMSPEC");
    if (interpreter.empty() && m_atLeastXP) {
        wchar_t system[MAX_PATH] = {0};
        UINT length = GetSystemDirectoryW(system, MAX_PATH);
        interpreter = std::wstring(system, length < MAX_PATH ? length : 0) + L"\\cmd.exe";
    } else if (interpreter.empty()) {
        interpreter = L"COMMAND";
    }
    std::wstring command = BatchText::CommandLine(interpreter, batchFile);
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    // The batch's folder paths travel in its own Unicode environment.
    std::wstring environment = EnvironmentBlock(m_batchVariables);
    // The interpreter would start without its batch file and tell nobody.
    if (GetFileAttributesW(batchFile.c_str()) != INVALID_FILE_ATTRIBUTES &&
        m_batch.Start(line.data(), CREATE_UNICODE_ENVIRONMENT, &environment[0], startup)) {
        if (m_batch.ConfinedByTree())
            AddLogLine(IDS_LOG_NO_OWN_JOB);
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
    RunMessages::Show(nullptr, text, MB_ICONERROR);
}

bool CKestNoluApp::StartMigrateRun() { return StartMigrateBatch(-1); }

bool CKestNoluApp::ContinueMigrateRun(int restartIndex)
{
    return StartMigrateBatch(restartIndex < 0 ? 0 : restartIndex);
}

// A fresh run (restart index -1) writes the log header; a continued one
// writes its line instead, as its log already holds the first part.
bool CKestNoluApp::StartMigrateBatch(int restartIndex)
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
    WriteBatchFile(restartIndex < 0 ? 0 : restartIndex, m_migrateBatch, m_updateScript, m_plainScript, false);
    if (restartIndex < 0) {
        WriteLogHeader(IDS_BATCH_MIGRATE_TITLE);
        LogRunStart();
    } else
        AddContinuedLogLine();
    LogDrawingsNotHanded();
    if (m_batchCount > 0) {
        LaunchBatch(m_migrateBatch);
        // Every file of the run exists now; the record lists them for a later clean-up.
        if (m_batch.Held())
            WriteRunRecord(restartIndex < 0 ? 0 : restartIndex + 1);
        return true;
    }
    RunMessages::Show(nullptr, LoadText(IDS_BATCH_NO_MIGRATION), MB_ICONWARNING | MB_OK);
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
    LogDrawingsNotHanded();
    if (m_batchCount > 0) {
        LaunchBatch(m_analysisBatch);
        if (m_batch.Held())
            WriteRunRecord(0);
        return true;
    }
    RunMessages::Show(nullptr, LoadText(IDS_BATCH_NO_ANALYSIS), MB_ICONWARNING | MB_OK);
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
