#include "CProgressDlg.h"
#include "HostWindowWatch.h"
#include "ProgressIds.h"
#include "ProgressNumber.h"
#include "SuperviseIds.h"
#include "TimeLeft.h"

#include "../app/CKestNoluApp.h"
#include "../app/RunMessages.h"
#include "../app/ResourceIds.h"
#include "../app/UnattendedIds.h"
#include "../drawings/FormatCheck.h"
#include "../drawings/KestFile.h"
#include "../drawings/KestFilenm.h"
#include "../host/HostKeys.h"
#include "../host/KestRegKey.h"
#include "Afx.h"
#include "CDataExchange.h"
#include "CPaintDC.h"

#include <algorithm>
#include <cwchar>

UINT CProgressDlg::s_timerSecondMs = 1000;

BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
ON_BN_CLICKED(IDC_PROGRESS_RESUME, OnResume)
ON_BN_CLICKED(IDC_PROGRESS_STOP, OnStop)
ON_WM_TIMER()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_DESTROY()
ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
ON_MESSAGE(WM_ENDSESSION, OnEndSession)
END_MESSAGE_MAP()

namespace {
// Formats from the resource module are checked before use: a text whose
// conversions do not fit the arguments is shown as it stands.
std::wstring FormatPlain(UINT id)
{
    std::wstring format = LoadText(id);
    if (!FormatTakes(format, ""))
        return format;
    CString text;
    text.Format(format.c_str());
    return text.Str();
}

std::wstring FormatNumber(UINT id, int number)
{
    std::wstring format = LoadText(id);
    CString text;
    if (FormatTakes(format, "d"))
        text.Format(format.c_str(), number);
    else
        text.Format(L"%s %d", format.c_str(), number);
    return text.Str();
}

std::wstring Decimal(int number)
{
    wchar_t text[16];
    swprintf(text, 16, L"%d", number);
    return text;
}

void SetButtonStyle(HWND button, bool isDefault)
{
    LONG_PTR style = ::GetWindowLongPtrW(button, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    ::SendMessageW(button, BM_SETSTYLE, static_cast<WPARAM>(style & 0xFFFF), TRUE);
}
}

CProgressDlg::CProgressDlg() : CDialog(IDD_PROGRESS, nullptr) {}

void CProgressDlg::SetProgressFile(const std::wstring& path) { m_progressFile = path; }

void CProgressDlg::SetMode(int mode)
{
    if (!m_initialized) {
        m_pendingMode = mode;
        return;
    }
    m_mode = mode;
    m_analysisCaption.SetBold(mode == 3);
    m_migrateCaption.SetBold(mode == 2);
    if (mode == 3) {
        m_analysisCaption.SetWindowText(LoadText(IDS_ANALYSIS_CAPTION).c_str());
        // The static control paints a new text at once in its own plain way.
        m_analysisCaption.Invalidate(true);
        m_migrateCaption.ShowWindow(SW_HIDE);
        SetDlgItemText(IDC_PROGRESS_STATUS, LoadText(IDS_ANALYSIS_STATUS).c_str());
    }
}

void CProgressDlg::SetDrawings(const std::vector<std::wstring>& drawings)
{
    m_drawings = drawings;
    m_drawingCount = static_cast<int>(drawings.size());
    // A Timeout from the registry is not range-checked; in milliseconds it still fits.
    m_budgets.Reset(drawings.size(), static_cast<int64_t>(theApp.m_Timeout) * 60 * s_timerSecondMs);
    m_currentDrawing = 0;
}

void CProgressDlg::SetBatchProcess(KestBatchProcess* process) { m_batchProcess = process; }

void CProgressDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PROGRESS_PICTURE, m_bitmap);
    DDX_Control(dx, IDC_PROGRESS_ANALYSIS, m_analysisCaption);
    DDX_Control(dx, IDC_PROGRESS_MIGRATE, m_migrateCaption);
    DDX_Control(dx, IDC_PROGRESS_BAR, m_progress);
}

BOOL CProgressDlg::OnInitDialog()
{
    // A dialog run again starts from a clean slate; only what the start-up
    // gave it (progress file, pending mode) carries over.
    m_mode = 0;
    m_batchProcess = nullptr;
    m_currentDrawing = 0;
    m_pollTimer = 0;
    m_logTimer = 0;
    m_resuming = false;
    m_heldForSession = false;

    CDialog::OnInitDialog();

    m_icon = ::LoadIconW(AfxFindResourceHandle(MAKEINTRESOURCEW(IDI_PROGRESS), RT_GROUP_ICON),
                         MAKEINTRESOURCEW(IDI_PROGRESS));
    SetIcon(m_icon, true);
    SetIcon(m_icon, false);

    ::ShowWindow(GetDlgItem(IDC_PROGRESS_ANALYSIS_DONE), SW_HIDE);
    ::ShowWindow(GetDlgItem(IDC_PROGRESS_MIGRATE_DONE), SW_HIDE);
    m_progress.SetRange(m_barMin, m_barMax);
    m_progress.SetPos(1);
    m_analysisCaption.SetBold(true);

    RestoreWindowPosition();

    m_initialized = true;
    SetMode(m_pendingMode);
    StartRun();
    return TRUE;
}

void CProgressDlg::RestoreWindowPosition()
{
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    DWORD x = 0, y = 0;
    if (!key.ReadDword(L"X", x) || !key.ReadDword(L"Y", y))
        return;
    RECT frame;
    GetWindowRect(&frame);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT wanted = {static_cast<int>(x), static_cast<int>(y), static_cast<int>(x) + width,
                   static_cast<int>(y) + height};
    // A position stored for a screen that is gone would hide the dialog: bring
    // it back onto the nearest monitor.
    POINT pos = {wanted.left, wanted.top};
    if (!::MonitorFromRect(&wanted, MONITOR_DEFAULTTONULL)) {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        if (::GetMonitorInfoW(::MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &info)) {
            const RECT& work = info.rcWork;
            pos.x = wanted.left < work.left ? work.left : wanted.left;
            pos.y = wanted.top < work.top ? work.top : wanted.top;
            if (pos.x + width > work.right)
                pos.x = work.right - width > work.left ? work.right - width : work.left;
            if (pos.y + height > work.bottom)
                pos.y = work.bottom - height > work.top ? work.bottom - height : work.top;
        }
    }
    SetWindowPos(HWND_TOPMOST, pos.x, pos.y, 0, 0, SWP_NOSIZE | SWP_NOREDRAW | SWP_NOCOPYBITS);
}

void CProgressDlg::StartRun()
{
    const int restart = m_pendingRestart;
    m_pendingRestart = -1;
    bool started = m_mode != 2 ? theApp.StartAnalysisRun()
                               : restart >= 0 ? theApp.ContinueMigrateRun(restart) : theApp.StartMigrateRun();
    if (started && m_drawingCount != 0 && m_batchProcess && m_batchProcess->Held()) {
        const int first = restart > 0 && restart < m_drawingCount ? restart : 0;
        // A continued run is on its first drawing already: a Resume before the
        // progress file names it must not run the drawings done before again.
        if (first > 0)
            m_currentDrawing = first + 1;
        SetDlgItemText(IDC_PROGRESS_COUNT, Decimal(m_drawingCount).c_str());
        SetDlgItemText(IDC_PROGRESS_CURRENT, Decimal(first + 1).c_str());
        ShowDrawing(first);
        HideTimeLeft();
        m_reportIndex = -1;
        ReportMovedTo(first);
        SetRunning(true);
        return;
    }
    SetBarPosition(m_barMax);
    SetDlgItemText(IDC_PROGRESS_COUNT, L"0");
    SetDlgItemText(IDC_PROGRESS_CURRENT, L"0");
    ::ShowWindow(GetDlgItem(IDC_PROGRESS_ANALYSIS_DONE), SW_SHOW);
    ::ShowWindow(GetDlgItem(IDC_PROGRESS_MIGRATE_DONE), SW_SHOW);
    SetMode(0);
    SetRunning(false);
    // Unattended, a run that did not start ends at once; its reason is in the log.
    if (RunMessages::Unattended())
        EndDialog(IDABORT);
}

void CProgressDlg::SetDefaultButton(int id, int previousId)
{
    SetButtonStyle(GetDlgItem(previousId), false);
    SendMessage(DM_SETDEFID, static_cast<WPARAM>(id));
    SetButtonStyle(GetDlgItem(id), true);
    // A disabled button keeps no keyboard focus; the default button takes it.
    HWND focus = ::GetFocus();
    if (!focus || !::IsWindowEnabled(focus) || ::GetParent(focus) != m_hWnd)
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(id)), TRUE);
}

void CProgressDlg::SetRunning(bool running)
{
    HWND ok = GetDlgItem(IDOK), stop = GetDlgItem(IDC_PROGRESS_STOP), resume = GetDlgItem(IDC_PROGRESS_RESUME);
    if (running) {
        ::EnableWindow(stop, TRUE);
        ::EnableWindow(resume, FALSE);
        ::EnableWindow(ok, FALSE);
        SetDefaultButton(IDC_PROGRESS_STOP, IDOK);
        StartTimers();
    } else {
        ::EnableWindow(ok, TRUE);
        ::EnableWindow(resume, m_mode != 0);
        ::EnableWindow(stop, FALSE);
        SetDefaultButton(IDOK, IDC_PROGRESS_STOP);
    }
    // Unattended, the dialog only shows the run: a click must not leave it stopped with nobody to resume it.
    if (RunMessages::Unattended()) {
        ::EnableWindow(stop, FALSE);
        ::EnableWindow(resume, FALSE);
    }
}

void CProgressDlg::StartTimers()
{
    StartPollTimer();
    m_logTimer = SetTimer(m_logTimerId, static_cast<UINT>(m_logSeconds) * s_timerSecondMs);
}

void CProgressDlg::StartPollTimer()
{
    m_pollTimer = SetTimer(m_pollTimerId, static_cast<UINT>(m_pollSeconds) * s_timerSecondMs);
    if (!theApp.m_marksGate.empty())
        m_gateTimer = SetTimer(m_gateTimerId, std::max(s_timerSecondMs / 10, 10u));
}

void CProgressDlg::KillTimers()
{
    if (m_pollTimer)
        KillTimer(m_pollTimerId);
    if (m_logTimer)
        KillTimer(m_logTimerId);
    if (m_gateTimer)
        KillTimer(m_gateTimerId);
    m_pollTimer = 0;
    m_logTimer = 0;
    m_gateTimer = 0;
    m_logScan.Cancel(m_hWnd);
}

void CProgressDlg::SetBarPosition(int position) { m_progress.SetPos(position); }

void CProgressDlg::ShowDrawing(int index)
{
    if (index < 0 || index >= static_cast<int>(m_drawings.size()))
        return;
    KestFilenm name(m_drawings[static_cast<size_t>(index)], false);
    SetDlgItemText(IDC_PROGRESS_DRAWING, name.Shorten(30).c_str());
}

void CProgressDlg::OnTimer(UINT_PTR id)
{
    if (id == m_pollTimerId && m_batchProcess) {
        if (StopForUnwrittenPiece()) {
            // Stopped as after Stop; nothing more to poll.
        } else if (m_batchProcess->IsRunning()) {
            theApp.RenewClaims();
            ReadProgressFile();
            if (m_budgets.Charge(m_currentDrawing))
                EndHost(EndReason::Timeout);
            WatchHostWindows();
        } else {
            KillTimers();
            ReportMovedTo(m_drawingCount);
            ShowBatchEnd();
            // The owner closes the handle, so no copy of it is left behind.
            m_batchProcess->Clear();
            m_batchProcess = nullptr;
            ::DeleteFileW(m_progressFile.c_str());
            if (m_mode == 3) {
                ::ShowWindow(GetDlgItem(IDC_PROGRESS_ANALYSIS_DONE), SW_SHOW);
                FinishRun();
            } else if (m_mode == 2) {
                ::ShowWindow(GetDlgItem(IDC_PROGRESS_MIGRATE_DONE), SW_SHOW);
                FinishRun();
                theApp.WriteRunSummary();
            } else {
                FinishRun();
            }
            theApp.RemoveRunRecord();
            if (RunMessages::Unattended())
                EndDialog(IDOK);
        }
    } else if (id == m_gateTimerId && m_pollTimer && m_batchProcess) {
        ReadProgressFile();
    } else if ((id == m_logTimerId || m_logScan.IsFollowUp(id)) && m_logTimer) {
        // No poll may run while the extension's log is read. A long log is
        // read in slices, one per message.
        if (m_pollTimer)
            KillTimer(m_pollTimerId);
        m_pollTimer = 0;
        if (m_logScan.Slice(m_hWnd))
            EndHost(EndReason::LogError);
        StartPollTimer();
    }
    Default();
}

void CProgressDlg::ReadProgressFile()
{
    KestFile file(m_progressFile);
    file.m_showErrors = false;
    if (!file.Open(false))
        return;
    wchar_t text[41] = {0};
    int read = file.ReadChars(text, 40);
    text[read > 0 ? read : 0] = L'\0';
    int number = 0;
    const bool parsed = ParseProgressNumber(text, wcslen(text), number);
    if (parsed && number == m_currentDrawing)
        theApp.m_report.StillOn();
    if (parsed && number >= 1 && number <= m_drawingCount && number != m_currentDrawing) {
        SetDlgItemText(IDC_PROGRESS_CURRENT, Decimal(number).c_str());
        ShowDrawing(number - 1);
        bool analysis = m_mode == 3;
        int base = analysis ? m_barMin : m_migrateStart;
        double share = static_cast<double>(number) / (static_cast<double>(m_drawingCount) + 1.0);
        SetBarPosition(base + static_cast<int>((m_barMax - base) * share));
        m_currentDrawing = number;
        ReportMovedTo(number - 1);
        if (m_clockFirst == 0) {
            m_clockFirst = number;
            m_clockStart = ::GetTickCount64();
        }
        ShowTimeLeft();
        theApp.NoteRunDrawing(number);
        RemoveHostLogFile();
    }
    file.Close();
}

// A batch that ran to its end handled its last drawing, whichever number the
// progress file showed at the last poll.
void CProgressDlg::ShowBatchEnd()
{
    if (m_drawingCount < 1 || m_currentDrawing == m_drawingCount)
        return;
    m_currentDrawing = m_drawingCount;
    SetDlgItemText(IDC_PROGRESS_CURRENT, Decimal(m_drawingCount).c_str());
    ShowDrawing(m_drawingCount - 1);
}

bool CProgressDlg::StillOnCurrentDrawing()
{
    // The batch writes the next number before it starts the next host, so
    // when the number read now is still the same, hosts found before belong
    // to this drawing. Before any number was read there is nothing to compare.
    if (m_currentDrawing < 1)
        return true;
    const int drawing = m_currentDrawing;
    ReadProgressFile();
    if (m_currentDrawing == drawing)
        return true;
    m_budgets.Charge(m_currentDrawing);   // the new drawing's clock starts at its first read
    return false;
}

bool CProgressDlg::EndHost(EndReason reason)
{
    std::wstring title;
    HWND mainWindow = FindRunHostMainWindow(&title);
    // Without a main window (hung before it showed, or showing another
    // title) the run's host process itself is ended.
    std::vector<DWORD> hosts;
    if (!mainWindow)
        hosts = RunHostProcessIds();
    // Found before the progress file is checked, so never the next drawing's host.
    if ((!mainWindow && hosts.empty()) || !StillOnCurrentDrawing())
        return false;
    DWORD processId = 0;
    if (mainWindow)
        ::GetWindowThreadProcessId(mainWindow, &processId);
    else
        processId = hosts.front();
    // Checked and ended through one handle: the id may be another process's by now.
    HANDLE process = OpenRunProcess(processId, PROCESS_TERMINATE);
    if (!process)
        return false;
    std::wstring line;
    switch (reason) {
    case EndReason::Timeout:
        theApp.m_report.NoteTimeout();
        AddIndentedLogString(IDS_CHILD_TEXTS_TIMEOUT);
        if (mainWindow)
            LogChildTexts(mainWindow);
        else
            LogProcessChildTexts(processId);
        line = FormatNumber(IDS_HOST_TIMEOUT, theApp.m_Timeout);
        break;
    case EndReason::UserStop:
        line = FormatPlain(IDS_HOST_USER_STOP);
        break;
    case EndReason::LogError:
        line = FormatPlain(IDS_HOST_LOG_ERROR);
        break;
    }
    AddIndentedLogLine(line);
    bool ended = ::TerminateProcess(process, 0) != 0;
    RemoveHostLogFile();
    ::CloseHandle(process);
    return ended;
}

void CProgressDlg::FinishRun()
{
    SetDlgItemText(IDC_PROGRESS_STATUS,
                   LoadText(m_mode == 2 ? IDS_MIGRATE_FINISHED : IDS_ANALYSIS_FINISHED).c_str());
    SetMode(0);
    SetRunning(false);
    SetBarPosition(m_barMax);
    HideTimeLeft();
}

void CProgressDlg::ShowTimeLeft()
{
    const double elapsed = static_cast<double>(::GetTickCount64() - m_clockStart) / 1000.0;
    TimeLeft left = TimeLeft::Estimate(m_currentDrawing - m_clockFirst, m_drawingCount - m_currentDrawing + 1, elapsed);
    TimeLeft::Texts texts = {LoadText(IDS_TIME_UNDER_A_MINUTE), LoadText(IDS_TIME_MINUTES),
                             LoadText(IDS_TIME_HOURS_MINUTES), LoadText(IDS_TIME_HOURS)};
    SetDlgItemText(IDC_PROGRESS_TIME_LEFT, left.Format(texts).c_str());
}

void CProgressDlg::ReportMovedTo(int index)
{
    if (index == m_reportIndex)
        return;
    std::vector<std::wstring> passed;
    if (m_reportIndex >= 0)
        for (int i = m_reportIndex + 1; i < index && i < m_drawingCount; ++i)
            passed.push_back(m_drawings[static_cast<size_t>(i)]);
    const bool on = index >= 0 && index < m_drawingCount;
    theApp.m_report.MovedOn(passed, on ? &m_drawings[static_cast<size_t>(index)] : nullptr);
    m_reportIndex = on ? index : -1;
}

void CProgressDlg::HideTimeLeft()
{
    m_clockFirst = 0;
    SetDlgItemText(IDC_PROGRESS_TIME_LEFT, L"");
}

void CProgressDlg::OnStop()
{
    // Only a supervised run can be stopped (a queued click may come late).
    if (!m_pollTimer && !m_logTimer)
        return;
    KillTimers();
    ReadProgressFile();
    if (RunMessages::Show(m_hWnd, LoadText(IDS_STOP_QUESTION), MB_YESNO | MB_ICONQUESTION) == IDYES) {
        theApp.m_report.Stopped();
        m_reportIndex = -1;
        HideTimeLeft();
        if (m_mode == 3)
            theApp.AbortAnalysisRun();
        else
            theApp.AbortMigrateRun();
        EndHost(EndReason::UserStop);
        SetRunning(false);
    } else {
        StartTimers();
    }
}

// A piece file that the batch needs could not be written: the batch would
// wait for it for ever, so the run stops as after Stop and names the file.
bool CProgressDlg::StopForUnwrittenPiece()
{
    const std::wstring piece = theApp.UnwrittenPiece();
    if (piece.empty())
        return false;
    KillTimers();
    ReadProgressFile();
    if (m_mode == 3)
        theApp.AbortAnalysisRun();
    else
        theApp.AbortMigrateRun();
    SetRunning(false);
    theApp.ReportUnwrittenPiece(piece, m_hWnd);
    return true;
}

void CProgressDlg::OnResume()
{
    // Only a stopped run resumes, and only once at a time.
    if (m_mode == 0 || m_pollTimer || m_logTimer || m_resuming || m_heldForSession)
        return;
    m_resuming = true;
    if (FindHostMainWindow()) {
        // Owned by the dialog: a box of its own could hide behind the dialog
        // when that is topmost, and the dialog would take clicks meanwhile.
        RunMessages::Show(m_hWnd, LoadText(IDS_HOST_RUNNING), MB_ICONWARNING);
        m_resuming = false;
        return;
    }
    if (m_mode == 3)
        theApp.RestartAnalysisRun(m_currentDrawing - 1);
    else
        theApp.RestartMigrateRun(m_currentDrawing - 1);
    m_resuming = false;
    ReportMovedTo(m_currentDrawing > 1 ? m_currentDrawing - 1 : 0);
    SetRunning(true);
}

void CProgressDlg::OnOK()
{
    if (m_mode != 0) {
        OpenLogInNotepad();
        return;
    }
    SaveWindowPosition();
    EndDialog(IDOK);
}

void CProgressDlg::OnCancel()
{
    if (m_pollTimer || m_resuming || m_heldForSession)
        return;
    SaveWindowPosition();
    EndDialog(IDCANCEL);
}

void CProgressDlg::SaveWindowPosition()
{
    // A minimised window's position is off the screen; the last one stored stays.
    if (::IsIconic(m_hWnd))
        return;
    RECT frame;
    GetWindowRect(&frame);
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    key.WriteDword(L"X", static_cast<DWORD>(frame.left));
    key.WriteDword(L"Y", static_cast<DWORD>(frame.top));
}

void CProgressDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!::IsIconic(m_hWnd))
        return;
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC));
    RECT client;
    GetClientRect(&client);
    int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_icon);
}

// The session may end whenever the user wishes; the run's clean-up follows at
// WM_ENDSESSION. Until then no poll may take a host or batch that the ending
// session ends for an ordinary end, which would drop the run's record.
LRESULT CProgressDlg::OnQueryEndSession(WPARAM, LPARAM)
{
    if (m_pollTimer || m_logTimer) {
        KillTimers();
        m_heldForSession = true;
    }
    return TRUE;
}

LRESULT CProgressDlg::OnEndSession(WPARAM ending, LPARAM)
{
    if (ending)
        theApp.EndSession();
    // The session goes on after all: so does the supervision.
    if (m_heldForSession)
        StartTimers();
    m_heldForSession = false;
    return 0;
}

HCURSOR CProgressDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_icon); }

void CProgressDlg::OnDestroy()
{
    KillTimers();
    m_initialized = false;
    Default();
}
