// The progress dialog of a run: starts the batch, follows it drawing by
// drawing with a time budget each, ends hosts that overrun it or log an
// error, lets the user stop and resume, and offers the log at the end.
// It lives as long as the application object; its window only while it runs.
#pragma once
#include "CDialog.h"
#include "CProgressCtrl.h"
#include "LogScanPacer.h"
#include "DrawingBudget.h"
#include "../wizard/CBoldTxt.h"
#include "../wizard/CWizardBmp.h"

#include <windows.h>
#include <string>
#include <vector>

class KestBatchProcess;

class CProgressDlg : public CDialog {
public:
    CProgressDlg();

    // Set by the start-up before the dialog runs.
    void SetProgressFile(const std::wstring& path);
    // 2 migrate run, 3 analysis run, 0 idle; kept until the window exists.
    void SetMode(int mode);
    // The batch writer's list of drawings; each gets Timeout x 60 seconds,
    // charged in real time from when its number is first read.
    void SetDrawings(const std::vector<std::wstring>& drawings);
    // Borrowed from the application object, which owns the handle: the dialog
    // asks it whether the batch runs and lets it close the handle, never
    // keeping a copy that could outlive it.
    void SetBatchProcess(KestBatchProcess* process);
    // -1: the run starts afresh; else it continues an interrupted migration
    // from this drawing index, as after Resume. Used by the next start only.
    void SetRestartIndex(int index) { m_pendingRestart = index; }

    // Test seam: milliseconds that make one second of the two timers and of
    // the budgets.
    static UINT s_timerSecondMs;

    CWizardBmp m_bitmap;
    CBoldTxt m_analysisCaption;
    CBoldTxt m_migrateCaption;
    CProgressCtrl m_progress;
    HICON m_icon = nullptr;
    bool m_initialized = false;
    int m_drawingCount = 0;
    std::vector<std::wstring> m_drawings;
    int m_mode = 0;
    int m_pendingMode = 0;
    std::wstring m_progressFile;
    KestBatchProcess* m_batchProcess = nullptr;
    int m_currentDrawing = 0;
    DrawingBudget m_budgets;
    UINT_PTR m_pollTimer = 0;
    UINT_PTR m_pollTimerId = 25;
    // A claimed run's batch waits at each drawing until the ones before are marked: looked at often.
    UINT_PTR m_gateTimer = 0;
    UINT_PTR m_gateTimerId = 27;
    int m_pollSeconds = 5;
    UINT_PTR m_logTimer = 0;
    UINT_PTR m_logTimerId = 35;
    int m_logSeconds = 7;
    int m_barMin = 0;
    int m_barMax = 100;
    int m_migrateStart = 30;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnResume();
    void OnStop();
    void OnTimer(UINT_PTR id);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnDestroy();
    LRESULT OnQueryEndSession(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM ending, LPARAM);

private:
    enum class EndReason { Timeout, UserStop, LogError };

    void StartRun();
    void SetRunning(bool running);
    void ShowDrawing(int index);
    void ReadProgressFile();
    void ShowBatchEnd();
    bool StillOnCurrentDrawing();
    bool EndHost(EndReason reason);
    bool StopForUnwrittenPiece();
    void FinishRun();
    void SaveWindowPosition();
    void RestoreWindowPosition();
    void StartTimers();
    void StartPollTimer();
    void KillTimers();
    void SetBarPosition(int position);
    // The time left from the drawings finished since the run (re)started; hidden when unknown.
    void ShowTimeLeft();
    void HideTimeLeft();
    // The report's clock: the batch is on this drawing index (m_drawingCount: it ended).
    void ReportMovedTo(int index);
    void SetDefaultButton(int id, int previousId);

    bool m_resuming = false;
    // The timers were stopped when the session was asked to end.
    bool m_heldForSession = false;
    LogScanPacer m_logScan;
    int m_pendingRestart = -1;
    int m_clockFirst = 0;
    int m_reportIndex = -1;
    ULONGLONG m_clockStart = 0;
    DECLARE_MESSAGE_MAP()
};
