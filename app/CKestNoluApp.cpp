#include "CKestNoluApp.h"
#include "ResourceIds.h"
#include "RunSafetyIds.h"
#include "RunMessages.h"
#include "TextLocale.h"
#include "../host/HostKeys.h"
#include "../host/KestResourceModule.h"
#include "../wizard/CNOLUWizard.h"

#include <clocale>
#include <mbctype.h>
#include <process.h>

std::wstring g_logFile = L"DrxlMMigr.log";

CKestNoluApp::CKestNoluApp()
{
    LookupHostFolder(m_hostFolder, m_migrationFolder);
    UseBatchProfile();

    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    version.dwMajorVersion = 5;
    version.dwMinorVersion = 1;
    version.wServicePackMajor = 0;
    DWORDLONG mask = 0;
    mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    m_atLeastXP = VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) != 0;
}

namespace {
// The command line of a spawned program is the arguments joined with blanks,
// so a log path with blanks must travel quoted or notepad opens another file.
std::wstring QuotedArgument(const std::wstring& text)
{
    if (!text.empty() && text.find_first_of(L" \t\"") == std::wstring::npos)
        return text;
    std::wstring out = L"\"";
    for (wchar_t c : text)
        if (c != L'"')
            out += c;
    return out + L"\"";
}
}

BOOL CKestNoluApp::InitInstance()
{
    // An unattended start shows no box from the first one on.
    const KestCommandLine commandLine = ProgramCommandLine();
    RunMessages::SetUnattended(commandLine.unattended);

    // Texts, dates and code page follow the system language; numbers are always written the "C" way.
    std::string localeName = SystemLocaleName();
    if (!setlocale(LC_ALL, localeName.c_str()))
        _wsetlocale(LC_ALL, L"C");
    _wsetlocale(LC_NUMERIC, L"C");
    _wsetlocale(LC_TIME, L"");
    _setmbcp(_MB_CP_ANSI);

    // The language resource module; without one the process ends with -1.
    KestResourceModule resources;
    m_appName.LoadString(IDS_CAPTION);

    if (RunCommandLine(commandLine))
        return FALSE;

    // Never two at once: a second one would restore the profile under a running migration.
    if (!ClaimSingleInstance())
        return FALSE;

    // The job settings, then what an interrupted Transmora left behind: its
    // profile is put back, or its migration goes on without the wizard.
    ReadSettings();
    KestRunRecord record;
    int restartIndex = 0;
    if (RecoverInterruptedRun(record, restartIndex)) {
        ContinueRun(record, restartIndex);
        return FALSE;
    }
    // The wizard; Finish starts the run.
    {
        CNOLUWizard wizard;
        if (wizard.DoModal() == ID_WIZFINISH)
            RunFinishedJob();
    }
    // The resource module is released here; ExitInstance puts the profile back.
    return FALSE;
}

INT_PTR CKestNoluApp::RunFinishedJob()
{
    WriteSettings();
    if (m_Operation == 1)
        CheckRunDrawings();
    if (!PrepareRun()) {
        CString text;
        text.LoadString(IDS_JOURNAL_NOT_WRITTEN);
        RunMessages::Show(nullptr, text.Str(), MB_ICONERROR | MB_OK);
        return IDCANCEL;
    }
    return RunProgressDialog(-1);
}

INT_PTR CKestNoluApp::RunProgressDialog(int restartIndex)
{
    m_progressDlg.SetProgressFile(m_progressFile);
    m_progressDlg.SetMode(m_Operation == 1 ? 2 : 3);
    m_progressDlg.SetRestartIndex(restartIndex);
    INT_PTR result = m_progressDlg.DoModal();
    // Finished, or closed after Stop: the run is over and not to be continued.
    RemoveRunRecord();
    if (result == IDOK && !RunMessages::Unattended())
        OpenLogInNotepad();
    return result;
}

void OpenLogInNotepad()
{
    std::wstring log = QuotedArgument(g_logFile);
    _wspawnlp(_P_NOWAIT, L"notepad.exe", L"notepad.exe", log.c_str(), nullptr);
}

int CKestNoluApp::ExitInstance()
{
    // A second Transmora leaves everything to the first.
    if (!m_otherInstance)
        CleanUp();
    const int result = CWinApp::ExitInstance();
    return m_exitCode >= 0 ? m_exitCode : result;
}

void CKestNoluApp::CleanUp(bool keepJournal)
{
    // No piece may be written after its folder is gone.
    m_pieceWriter.Stop();
    PrepareHostProfile(keepJournal ? ProfileStep::RestoreKeepingJournal : ProfileStep::Restore);
    RemoveHostLogFile();
    for (const std::wstring& file : m_tempFiles)
        KestPieceWriter::DeleteTempPath(file);
}
