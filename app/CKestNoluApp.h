// The application object: one global instance that owns the job settings, the
// per-run job data, the saved host profile, the temporary files and the batch
// process. Every part of the program reads and writes its members directly.
#pragma once
#include "CWinApp.h"
#include "../host/KestSavedProfile.h"
#include "BatchEnvironment.h"
#include "KestBatchProcess.h"
#include "KestRunRecord.h"
#include "KestPieceWriter.h"
#include "KestCommandLine.h"
#include "KestRunReport.h"
#include "../drawings/ClaimFolderWin.h"
#include "../drawings/KestListClaims.h"
#include "../supervise/CProgressDlg.h"

#include <windows.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

// RestoreKeepingJournal: the values go back, the journal stays for a continued run.
enum class ProfileStep { Save = 1, Prepare = 2, Restore = 3, RestoreKeepingJournal = 4 };

class CKestNoluApp : public CWinApp {
public:
    CKestNoluApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    // After the wizard's Finish: stores the settings, prepares the run, shows
    // the progress dialog and opens the log when it ends with OK; returns its result.
    INT_PTR RunFinishedJob();

    // Only one Transmora at a time: false (after telling the user) when another runs.
    bool ClaimSingleInstance();
    // Before the wizard: what an earlier Transmora that was ended left behind.
    // Restores its profile journal (telling the user), or asks whether its
    // migrate run goes on; true with the record and restart index when it does.
    bool RecoverInterruptedRun(KestRunRecord& record, int& restartIndex);
    // Runs an interrupted migration on from the drawing that was under way.
    INT_PTR ContinueRun(const KestRunRecord& record, int restartIndex);
    // The record a run keeps while it goes: a migrate run's lets it be continued,
    // and any run's lists its temporary files for the next start to delete.
    // Written once the batch runs, with the number of the drawing it starts on.
    void WriteRunRecord(int drawing);
    void NoteRunDrawing(int number);
    void RemoveRunRecord();
    // The session ends: the run's processes end, then everything as at exit.
    void EndSession();
    // The exit's clean-up: profile restored, host log and temporary files removed.
    // With keepJournal the journal stays for a run that is to go on.
    void CleanUp(bool keepJournal = false);

    // Job settings (registry) and job data.
    void ReadSettings();
    void WriteSettings();

    // Run preparation and the migration log. False, with nothing changed, when
    // the user's profile could not be kept in its journal.
    bool PrepareRun();
    void WriteLogHeader(UINT titleId);
    void AddLogLine(const std::wstring& text);
    void AddLogLine(UINT textId);
    // The run continued after an interruption: keeps MIGRATED.TXT and the log.
    bool PrepareContinuedRun();
    void AddContinuedLogLine();
    void WriteRunSummary();
    // Logs each drawing whose name cannot be given to the host (it is left out of the run).
    void LogDrawingsNotHanded();

    // Host scripts (the writers report nothing; a file that cannot be written stays empty).
    void WriteHeadScript(const std::wstring& path);
    void WriteBodyScript(const std::wstring& path, bool scan, bool updates);

    // The batch run: batch file, launch, start, restart and abort. m_batch is
    // the one owner of the batch process; the progress dialog borrows it.
    void WriteBatchFile(int restartIndex, const std::wstring& batchFile, const std::wstring& firstBody,
                        const std::wstring& secondBody, bool analysis);
    void LaunchBatch(const std::wstring& batchFile);
    bool StartMigrateRun();
    bool StartAnalysisRun();
    // A migrate run continued after an interruption: scripts and batch afresh, no log header.
    bool ContinueMigrateRun(int restartIndex);
    void RestartMigrateRun(int restartIndex);
    void RestartAnalysisRun(int restartIndex);
    void AbortMigrateRun();
    void AbortAnalysisRun();
    // A piece file of the batch that could not be written, or empty; the
    // report tells the user and the log which file, after the run was stopped.
    std::wstring UnwrittenPiece() const;
    void ReportUnwrittenPiece(const std::wstring& piece, HWND owner);

    std::vector<std::wstring> m_drawings;
    std::wstring m_listFile;
    int m_Operation = 0;
    int m_UpdateFlags = 0;
    int m_OptionFlags = 0;
    int m_DrxlmFlags = 8;
    std::wstring m_templatePath;
    int m_Timeout = 120;
    int m_QuenbarFlags = 0;
    int m_SymbolStd = 0;
    std::vector<std::wstring> m_searchFolders;
    int m_LogFlags = 0;
    bool m_profileSaved = false;
    KestSavedProfile m_saved;
    bool m_atLeastXP = false;
    KestBatchProcess m_batch;
    std::wstring m_hostFolder;
    std::wstring m_migrationFolder;
    std::wstring m_drawingScript;
    std::wstring m_headScript;
    std::wstring m_analysisBatch;
    std::wstring m_scanScript;
    std::wstring m_migrateBatch;
    std::wstring m_updateScript;
    std::wstring m_plainScript;
    CProgressDlg m_progressDlg;
    INT_PTR m_batchCount = 0;
    // Variables of the last batch written, given to its process's environment.
    BatchEnvironment::Variables m_batchVariables;
    // Writes the pieces of the last batch while it runs; stopped with the run.
    KestPieceWriter m_pieceWriter;
    // The pieces folder of each batch file, kept through its restarts.
    std::map<std::wstring, std::wstring> m_pieceFolders;
    std::wstring m_unwrittenPiece;
    std::wstring m_progressFile;
    std::vector<std::wstring> m_migrateBatchList;
    std::vector<std::wstring> m_tempFiles;
    bool m_runRecorded = false;
    bool m_otherInstance = false;
    HANDLE m_instanceMutex = nullptr;

    // Unattended runs and the run's report (UnattendedRun.cpp, RunReport.cpp).
    // The command line's usage box or unattended run; false when the wizard is to show.
    bool RunCommandLine(const KestCommandLine& line);
    int RunUnattended(const KestCommandLine& line);
    // Before a migrate run is prepared: missing, read-only and open drawings leave the run.
    void CheckRunDrawings();
    // After the log header: the unattended start and the drawings left out.
    void LogRunStart();
    // The report beside the log; notes whether every drawing was migrated.
    void WriteRunReport(const std::vector<std::wstring>& migrated);
    // The last workstation of a list: the union of every workstation's report beside the list.
    void WriteListSummary();
    // A continued run's report covers the list's drawings left out before too.
    void ReportContinuedRun();
    KestRunReport m_report;
    // An unattended run takes its drawings from claims on the list, a few at a time.
    std::unique_ptr<ClaimFolderWin> m_claimFolder;
    std::unique_ptr<KestListClaims> m_claims;
    // The report rows of this run's earlier batches: the report covers them all.
    std::vector<ReportCsv::Row> m_earlierRows;
    // A run's later batches add to the log that its first began.
    bool m_logBegun = false;
    // At each poll: the claims' heartbeat, and the batch's gate if it could not be opened before.
    void RenewClaims();
    // The pieces folder where the batch of a claimed run waits at each drawing until the
    // drawings before it are marked, and the drawing it may go on to.
    std::wstring m_marksGate;
    int m_gateNumber = 0;
    void OpenMarksGate();
    // Marks what the host migrated so far under the list's lock, so that a stopped run leaves no drawing to rerun.
    void MarkMigratedSoFar();
    std::wstring m_unattendedList;
    bool m_runComplete = false;
    // The process's exit code when set (0 or more).
    int m_exitCode = -1;

private:
    INT_PTR RunProgressDialog(int restartIndex);
    // Runs the list's batches as this workstation gets them; the exit code.
    int RunClaimedBatches(bool profileSaved);
    bool StartMigrateBatch(int restartIndex);
};

// The one application object.
extern CKestNoluApp theApp;

// The migration log's path; a process-wide setting.
extern std::wstring g_logFile;

// This process's arguments after the program's name.
KestCommandLine ProgramCommandLine();
// Starts notepad on the migration log without waiting for it.
void OpenLogInNotepad();
// Deletes the host extension's log named by "LOGFILENAME", then the value.
void RemoveHostLogFile();
// Saves, prepares or restores the host profile; false when the run's values
// may not be prepared (the user's could not be kept outside this process).
bool PrepareHostProfile(ProfileStep step);
