// What lets a run survive the death of Transmora: one Transmora at a time,
// the run record beside the profile journal, and at the next start the
// journal's restore or the question whether the migration goes on.
#include "CKestNoluApp.h"
#include "RecoveryIds.h"
#include "ResourceIds.h"
#include "RunLog.h"
#include "RunMessages.h"
#include "RunSafetyIds.h"
#include "../drawings/FormatCheck.h"
#include "../drawings/PathPlatform.h"
#include "../host/HostKeys.h"
#include "../host/KestRegKey.h"
#include "../host/ProfileJournal.h"
#include "../supervise/HostWindowWatch.h"
#include "../supervise/ProgressIds.h"

namespace {
const wchar_t kRecordValue[] = L"RunRecord";
const wchar_t kDrawingValue[] = L"RunDrawing";
// A longer drawing list is left to a copy of MIGRATE.TXT beside the log rather than kept in the registry.
const size_t kMaxRecordBytes = 900 * 1024;

int Tell(UINT textId, UINT buttons, const std::wstring& text = std::wstring())
{
    return RunMessages::Show(nullptr, text.empty() ? LoadText(textId) : text, buttons);
}

// The record of a run and the number of the drawing it was on.
JournalRead ReadRunRecord(KestRunRecord& record, int& drawing)
{
    std::vector<uint8_t> bytes;
    JournalRead read = ReadBinarySetting(kRecordValue, bytes);
    if (read != JournalRead::Found)
        return read;
    if (!KestRunRecord::Decode(bytes.data(), bytes.size(), record))
        return JournalRead::Damaged;
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    DWORD number = 0;
    drawing = key.ReadDword(kDrawingValue, number) && number <= 0x7FFFFFFF ? static_cast<int>(number) : 0;
    if (record.drawings.empty() && !record.migrateList.empty())
        ReadLines(record.migrateList, record.drawings);
    return JournalRead::Found;
}

// The job of a run as the record keeps it and as the application holds it, pair by pair.
template <class Copy> void EachSetting(KestRunRecord& record, CKestNoluApp& app, Copy copy)
{
    copy(record.operation, app.m_Operation);
    copy(record.updateFlags, app.m_UpdateFlags);
    copy(record.optionFlags, app.m_OptionFlags);
    copy(record.drxlmFlags, app.m_DrxlmFlags);
    copy(record.timeout, app.m_Timeout);
    copy(record.quenbarFlags, app.m_QuenbarFlags);
    copy(record.symbolStd, app.m_SymbolStd);
    copy(record.logFlags, app.m_LogFlags);
    copy(record.logFile, g_logFile);
    copy(record.listFile, app.m_listFile);
    copy(record.templatePath, app.m_templatePath);
    copy(record.drawings, app.m_drawings);
    copy(record.searchFolders, app.m_searchFolders);
}

// The files of the interrupted Transmora that its exit would have deleted.
void DeleteTempFiles(const KestRunRecord& record)
{
    for (const std::wstring& file : record.tempFiles)
        KestPieceWriter::DeleteTempPath(file);
}

std::wstring ContinueQuestion(int done, int total, const std::wstring& logFile)
{
    std::wstring format = LoadText(IDS_CONTINUE_QUESTION);
    CString text;
    if (FormatTakes(format, "dds"))
        text.Format(format.c_str(), done, total, logFile.c_str());
    else
        text.Format(L"%s\n%d / %d\n%s", format.c_str(), done, total, logFile.c_str());
    return text.Str();
}
}

bool CKestNoluApp::ClaimSingleInstance()
{
    // Not inheritable: the batch and its hosts must not keep it alive after this process.
    m_instanceMutex = CreateMutexW(nullptr, FALSE, L"Local\\Korvane.Transmora.Migration");
    if (m_instanceMutex && GetLastError() != ERROR_ALREADY_EXISTS)
        return true;
    m_otherInstance = true;
    Tell(IDS_ALREADY_RUNNING, MB_ICONWARNING | MB_OK);
    return false;
}

bool CKestNoluApp::RecoverInterruptedRun(KestRunRecord& record, int& restartIndex)
{
    std::vector<KestJournalValue> journal;
    JournalRead journalRead = ReadProfileJournal(journal);
    int drawing = 0;
    JournalRead recordRead = ReadRunRecord(record, drawing);
    DeleteTempFiles(record);
    // A damaged journal leaves no user's values to come back to: such a run does not go on.
    bool continuable = recordRead == JournalRead::Found && record.operation == 1 && !record.drawings.empty() &&
                       journalRead != JournalRead::Damaged;

    if (continuable) {
        const int total = static_cast<int>(record.drawings.size());
        restartIndex = drawing > 1 ? (drawing - 1 < total ? drawing - 1 : total) : 0;
        // An unattended run of the same list goes on unasked (it refused to start
        // while a Draxil is open); any other start asks.
        const bool sameList = !m_unattendedList.empty() && !record.listFile.empty() &&
                              PathPlatform::Lower(record.listFile) == PathPlatform::Lower(m_unattendedList);
        if (sameList)
            return true;
        const std::wstring question = ContinueQuestion(restartIndex, total, record.logFile);
        while (Tell(0, MB_YESNO | MB_ICONQUESTION, question) == IDYES) {
            // As Finish and Resume: the run's profile is not prepared under an open Draxil.
            if (!FindHostMainWindow())
                return true;
            Tell(IDS_HOST_RUNNING, MB_ICONWARNING | MB_OK);
        }
    }
    // Not continued: the profile as the user had it, and no record.
    if (recordRead != JournalRead::None) {
        RemoveRunRecord();
        DeleteKeptLists(record.logFile);
    }
    if (journalRead == JournalRead::Damaged) {
        RemoveProfileJournal();
        Tell(IDS_RECOVERY_DAMAGED, MB_ICONWARNING | MB_OK);
    } else if (journalRead == JournalRead::Found) {
        bool all = PutBackJournal(journal, false);
        if (all)
            RemoveProfileJournal();
        // The question stood in for the notice: one message, not two.
        if (!all)
            Tell(IDS_RECOVERY_INCOMPLETE, MB_ICONWARNING | MB_OK);
        else if (!continuable)
            Tell(IDS_RECOVERED_PROFILE, MB_ICONINFORMATION | MB_OK);
    }
    return false;
}

INT_PTR CKestNoluApp::ContinueRun(const KestRunRecord& record, int restartIndex)
{
    // The journal's values go back whole, the run count too, so that the run
    // counts once. When they do not all go back, the run does not go on: its
    // record and journal stay for the next start.
    std::vector<KestJournalValue> journal;
    if (ReadProfileJournal(journal) == JournalRead::Found && !PutBackJournal(journal, true)) {
        Tell(IDS_RECOVERY_INCOMPLETE, MB_ICONWARNING | MB_OK);
        return IDCANCEL;
    }
    // The save step takes the journal's values, or the profile's when none was kept.
    PrepareHostProfile(ProfileStep::Save);

    KestRunRecord settings = record;
    EachSetting(settings, *this, [](auto& kept, auto& live) { live = kept; });

    ReportContinuedRun();
    if (!PrepareContinuedRun()) {
        Tell(IDS_JOURNAL_NOT_WRITTEN, MB_ICONERROR | MB_OK);
        return IDCANCEL;
    }
    return RunProgressDialog(restartIndex);
}

void CKestNoluApp::WriteRunRecord(int drawing)
{
    KestRunRecord record;
    EachSetting(record, *this, [](auto& kept, auto& live) { kept = live; });
    record.migrateList = MigrateListPath();
    record.tempFiles = m_tempFiles;
    std::vector<uint8_t> bytes = KestRunRecord::Encode(record);
    if (bytes.size() > kMaxRecordBytes) {
        // The temporary folder may be cleaned before the run goes on.
        const std::wstring kept = KeptListPath(g_logFile, L"MIGRATE.TXT");
        if (KeepListCopy(record.migrateList, kept))
            record.migrateList = kept;
        record.drawings.clear();
        bytes = KestRunRecord::Encode(record);
    }
    m_runRecorded = WriteBinarySetting(kRecordValue, bytes);
    if (m_runRecorded)
        KestRegKey(MigrationSettingsKey(), HKEY_CURRENT_USER).WriteDword(kDrawingValue, static_cast<DWORD>(drawing));
}

void CKestNoluApp::NoteRunDrawing(int number)
{
    // The drawings before this one are done: marked at once, they are not run twice if this workstation stops.
    if (m_claims) {
        MarkMigratedSoFar();
        m_gateNumber = number;
        OpenMarksGate();
    }
    if (!m_runRecorded)
        return;
    // The drawings before this one are done: what the host extension noted of them is kept beside the log
    // before the record moves on, so the record never names a drawing whose predecessors could be lost.
    if (m_Operation == 1)
        KeepListCopy(MigratedListPath(), KeptListPath(g_logFile, L"MIGRATED.TXT"));
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    key.WriteDword(kDrawingValue, static_cast<DWORD>(number));
}

void CKestNoluApp::RemoveRunRecord()
{
    KestRegKey key(MigrationSettingsKey(), HKEY_CURRENT_USER);
    key.DeleteValue(kRecordValue);
    key.DeleteValue(kDrawingValue);
    m_runRecorded = false;
    DeleteKeptLists(g_logFile);
}

// The record stays: a migration ended by a log-off or a restart may go on at
// the next start. So does its journal, although the profile is back, so that
// the continued run takes the user's values again and counts once. The two
// go together: the journal is never removed under a record, and a run that
// does not go on loses its record before its journal.
void CKestNoluApp::EndSession()
{
    m_batch.EndRun();
    std::vector<KestJournalValue> journal;
    const bool goesOn = m_runRecorded && m_Operation == 1 && ReadProfileJournal(journal) == JournalRead::Found;
    if (!goesOn && m_runRecorded)
        RemoveRunRecord();
    CleanUp(goesOn);
    ExitProcess(0);
}
