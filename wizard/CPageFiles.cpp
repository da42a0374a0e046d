#include "CPageFiles.h"
#include "CAddProgressDlg.h"
#include "CDataExchange.h"
#include "CFileDialog.h"
#include "CFolderBrowser.h"
#include "CKestNoluApp.h"
#include "CNOLUWizard.h"
#include "DrawingFileStatus.h"
#include "DrawingOrder.h"
#include "DrawingRecord.h"
#include "FilesOptionsIds.h"
#include "FolderSearch.h"
#include "FormatCheck.h"
#include "KestDmlFile.h"
#include "KestFilenm.h"
#include "ResourceIds.h"
#include "RunListIds.h"
#include "VersionTableText.h"
#include "WizardIds.h"

#include <algorithm>
#include <new>
#include <optional>

namespace {
// Posted to the page after the list's selection or items changed: one update for a burst of changes.
const UINT kSettleMessage = WM_APP + 0x41;
// The add-drawings dialog's buffer: room for thousands of names at once.
const DWORD kSelectionChars = 81920;

CString Text(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

DrawingRecord* RecordOf(LPARAM data)
{
    return reinterpret_cast<DrawingRecord*>(data);
}

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM key)
{
    const DrawingRecord* a = RecordOf(first);
    const DrawingRecord* b = RecordOf(second);
    const wchar_t* x[DrawingOrder::kColumns] = {a->name, a->folder, a->version, a->status};
    const wchar_t* y[DrawingOrder::kColumns] = {b->name, b->folder, b->version, b->status};
    return DrawingOrder::Compare(x, y, static_cast<long>(key), &_wcsicoll);
}

bool HasExtension(const KestFilenm& name, const wchar_t* ext)
{
    return _wcsicmp(name.m_ext.c_str(), ext) == 0;
}
}

bool CPageFiles::s_sortAscending[4] = {false, false, false, false};
std::function<INT_PTR(CFileDialog&)> CPageFiles::s_dialogHook;

// One long change of the rows: the list does not redraw, item changes are not acted on one by one, and
// with a kind given, the progress window keeps the wizard alive while it lasts. At the end of the
// outermost batch the list, the preview and the buttons catch up once.
class CPageFiles::Batch {
public:
    explicit Batch(CPageFiles& page) : m_page(page)
    {
        if (m_page.m_batchDepth++ == 0)
            m_page.m_list.SendMessage(WM_SETREDRAW, FALSE);
    }
    Batch(CPageFiles& page, CAddProgressDlg::Kind kind, int total) : Batch(page)
    {
        m_progress.emplace(page.m_pWizard, kind, total);
        m_outer = page.m_progress;
        page.m_progress = &*m_progress;
    }
    ~Batch()
    {
        if (m_progress) {
            m_page.m_progress = m_outer;
            m_progress.reset();
        }
        if (--m_page.m_batchDepth == 0) {
            m_page.m_list.SendMessage(WM_SETREDRAW, TRUE);
            m_page.m_list.Invalidate(true);
            m_page.m_preview.Invalidate(true);
            m_page.UpdateButtons();
        }
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    CAddProgressDlg& Progress() { return *m_progress; }

private:
    CPageFiles& m_page;
    std::optional<CAddProgressDlg> m_progress;
    CAddProgressDlg* m_outer = nullptr;
};

BEGIN_MESSAGE_MAP(CPageFiles, CPropertyPage)
ON_BN_CLICKED(IDC_FILES_ADD, OnAddDrawings)
ON_BN_CLICKED(IDC_FILES_ADD_FOLDER, OnAddFolder)
ON_BN_CLICKED(IDC_FILES_REMOVE, OnRemoveSelected)
ON_BN_CLICKED(IDC_FILES_LOAD, OnLoadList)
ON_BN_CLICKED(IDC_FILES_ADD_LIST, OnAddList)
ON_BN_CLICKED(IDC_FILES_SAVE, OnSaveList)
ON_BN_CLICKED(IDC_FILES_CLEAR, OnClearAll)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_FILES_LIST, OnItemChanged)
ON_NOTIFY(LVN_COLUMNCLICK, IDC_FILES_LIST, OnColumnClick)
ON_NOTIFY(LVN_DELETEITEM, IDC_FILES_LIST, OnDeleteItem)
ON_NOTIFY(LVN_KEYDOWN, IDC_FILES_LIST, OnKeyDown)
ON_WM_DROPFILES()
ON_WM_DESTROY()
ON_MESSAGE(kSettleMessage, OnSelectionSettled)
END_MESSAGE_MAP()

CPageFiles::CPageFiles(CNOLUWizard* wizard) : CPropertyPage(IDD_PAGE_FILES), m_pWizard(wizard) {}

CPageFiles::~CPageFiles() = default;

void CPageFiles::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_FILES_LIST, m_list);
    DDX_Control(dx, IDC_FILES_PREVIEW, m_preview);
    DDX_Control(dx, IDC_FILES_TRANSP, m_transp);
    DDX_Control(dx, IDC_FILES_CAPTION, m_caption);
}

BOOL CPageFiles::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT, 0);
    RECT outer;
    m_list.GetWindowRect(&outer);
    const int width = outer.right - outer.left;
    const int widths[3] = {static_cast<int>(0.25 * width), static_cast<int>(0.32 * width),
                           static_cast<int>(0.23 * width)};
    m_list.InsertColumn(0, Text(IDS_FILES_COLUMN_NAME), LVCFMT_LEFT, widths[0]);
    m_list.InsertColumn(1, Text(IDS_FILES_COLUMN_FOLDER), LVCFMT_LEFT, widths[1]);
    m_list.InsertColumn(2, Text(IDS_FILES_COLUMN_RELEASE), LVCFMT_LEFT, widths[2]);
    m_list.InsertColumn(3, Text(IDS_FILES_COLUMN_STATUS), LVCFMT_LEFT, width - widths[0] - widths[1] - widths[2] - 4);
    m_preview.m_list = &m_list;
    m_caption.SetBold(true);
    for (UINT i = 0; i < 4; ++i)
        m_statusText[i] = Text(IDS_FILES_STATUS_MISSING + i);
    return TRUE;
}

BOOL CPageFiles::OnSetActive()
{
    // The sheet makes this page its current one only after it has agreed to show.
    m_activating = true;
    UpdateButtons();
    m_activating = false;
    return CPropertyPage::OnSetActive();
}

LRESULT CPageFiles::OnWizardNext()
{
    RefreshStatus();
    theApp.m_drawings.clear();
    // Every row goes into the run's report; those left out are named in its log.
    theApp.m_report.Clear();
    const int rows = m_list.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        const DrawingRecord* record = RecordOf(static_cast<LPARAM>(m_list.GetItemData(row)));
        if (!record)
            continue;
        if (!record->missing && !record->readOnly)
            theApp.m_drawings.push_back(RowPath(*record));
        theApp.m_report.Add(RowPath(*record), record->missing ? std::wstring() : record->version.Str(),
                            record->missing    ? ReportCsv::Result::Missing
                            : record->readOnly ? ReportCsv::Result::ReadOnly
                                               : ReportCsv::Result::NotMigrated);
    }
    if (theApp.m_drawings.empty()) {
        Message(IDS_FILES_NONE_TO_MIGRATE, MB_ICONERROR);
        return -1;
    }
    return ConfirmUnsavedList() ? 0 : -1;
}

std::wstring CPageFiles::RowPath(const DrawingRecord& record)
{
    CString path;
    path.Format(L"%s%s.%s", static_cast<const wchar_t*>(record.folder), static_cast<const wchar_t*>(record.name),
                L"dwg");
    return path.Str();
}

bool CPageFiles::AddDrawing(const std::wstring& path, const DWORD* attributes)
{
    KestFilenm name(path, false);
    if (!HasExtension(name, L"dwg"))
        return false;
    // The row's path is folder + name + ".dwg", which for a "dwg" name is exactly its m_path.
    if (!m_paths.Add(name.m_path))
        return false;
    auto* record = new DrawingRecord;
    record->name = name.m_title;
    record->folder = name.Folder();
    record->version = DrawingVersionText(name.m_path.c_str());
    // A folder listing has just read the attributes; reading them again would only cost time.
    ShowStatus(-1, *record, attributes ? *attributes : ::GetFileAttributesW(name.m_path.c_str()));
    const int row = m_list.InsertItem(m_list.GetItemCount(), record->name, reinterpret_cast<LPARAM>(record));
    if (row < 0) {
        m_paths.Remove(name.m_path);
        delete record;
        return false;
    }
    m_list.SetItemText(row, 1, record->folder);
    m_list.SetItemText(row, 2, record->version);
    m_list.SetItemText(row, 3, record->status);
    m_modified = true;
    return true;
}

void CPageFiles::ShowStatus(int row, DrawingRecord& record, DWORD attributes)
{
    DrawingFileStatus status = DrawingFileStatus::FromAttributes(attributes);
    record.status = status.statusId ? m_statusText[status.statusId - DrawingFileStatus::kMissingId] : CString();
    record.missing = status.missing;
    record.readOnly = status.readOnly;
    if (row >= 0)
        m_list.SetItemText(row, 3, record.status);
}

void CPageFiles::RefreshStatus()
{
    Batch batch(*this);
    const int rows = m_list.GetItemCount();
    for (int row = 0; row < rows; ++row)
        if (DrawingRecord* record = RecordOf(static_cast<LPARAM>(m_list.GetItemData(row))))
            ShowStatus(row, *record, ::GetFileAttributesW(KestFilenm(RowPath(*record), false).m_path.c_str()));
}

bool CPageFiles::SearchFolder(const std::wstring& folder)
{
    class Adder : public FolderSearch::Observer {
    public:
        Adder(CPageFiles& page, CAddProgressDlg& progress) : m_page(page), m_progress(progress) {}
        bool OnFolder(const std::wstring& path) override
        {
            return m_progress.Step(path.c_str(), m_added, static_cast<int>(++m_folders));
        }
        bool OnDrawing(const std::wstring& path, uint32_t attributes) override
        {
            DWORD known = attributes;
            if (m_page.AddDrawing(path, &known))
                ++m_added;
            return m_progress.Step(nullptr, m_added, static_cast<int>(m_folders));
        }

    private:
        CPageFiles& m_page;
        CAddProgressDlg& m_progress;
        int m_added = 0;
        size_t m_folders = 0;
    };
    Batch batch(*this, CAddProgressDlg::Kind::Search, 0);
    Adder adder(*this, batch.Progress());
    FindFileLister lister;
    return FolderSearch(lister).Run(folder, adder);
}

void CPageFiles::AddEntries(const std::vector<std::wstring>& entries, const std::wstring& source)
{
    Batch batch(*this, CAddProgressDlg::Kind::List, static_cast<int>(entries.size()));
    // Room for all of them at once instead of growing row by row.
    m_list.SetItemCount(m_list.GetItemCount() + static_cast<int>(entries.size()));
    int added = 0, done = 0;
    for (const std::wstring& entry : entries) {
        if (AddDrawing(entry))
            ++added;
        batch.Progress().Step(source.c_str(), added, ++done);
    }
}

bool CPageFiles::ReadListFile(const std::wstring& path, std::vector<std::wstring>& entries, bool* told)
{
    if (told)
        *told = false;
    KestDmlFile list(path);
    if (!list.Open(false))
        return false;
    DmlFormat::Skipped skipped;
    bool read = false;
    try {
        read = list.ReadList(entries, true, &skipped);
    } catch (const std::bad_alloc&) {
        // More entries than the process can hold: none of them is taken, and the user hears why.
        std::vector<std::wstring>().swap(entries);
        list.Close();
        Message(IDS_FILES_LIST_NO_MEMORY, MB_ICONERROR, path.c_str());
        if (told)
            *told = true;
        return false;
    }
    // A list above the limit was named in its own box.
    if (!read && told)
        *told = list.IsTooLarge();
    list.Close();
    if (read && skipped.emptyLine > 0) {
        CString format = Text(IDS_FILES_LIST_ENDS_EARLY), text;
        const int line = static_cast<int>(skipped.emptyLine), count = static_cast<int>(skipped.notRead);
        if (FormatTakes(format.Str(), "sdd"))
            text.Format(format, path.c_str(), line, count);
        else
            text.Format(L"%s\n%d, %d", path.c_str(), line, count);
        MessageBox(text, Text(IDS_CAPTION), MB_ICONWARNING);
    }
    if (read && skipped.count > 0) {
        // The entries that could be read are added; the user learns which part of the list was not.
        CString format = Text(IDS_FILES_LINES_SKIPPED), text;
        const int count = static_cast<int>(skipped.count), first = static_cast<int>(skipped.firstLine);
        if (FormatTakes(format.Str(), "sdd"))
            text.Format(format, path.c_str(), count, first);
        else
            text.Format(L"%s\n%d, %d", path.c_str(), count, first);
        MessageBox(text, Text(IDS_CAPTION), MB_ICONWARNING);
    }
    return read;
}

void CPageFiles::DeleteAllRows()
{
    Batch batch(*this);
    m_list.DeleteAllItems();
    m_paths.Clear();
}

void CPageFiles::UpdateButtons()
{
    const int rows = m_list.GetItemCount();
    const HWND remove = GetDlgItem(IDC_FILES_REMOVE), save = GetDlgItem(IDC_FILES_SAVE);
    const bool canRemove = m_list.GetSelectedCount() != 0, canSave = rows > 0;
    // A button that loses its use while it has the focus hands the focus to the list.
    const HWND focus = ::GetFocus();
    if ((focus == remove && !canRemove) || (focus == save && !canSave))
        ::SetFocus(m_list.m_hWnd);
    ::EnableWindow(remove, canRemove);
    ::EnableWindow(save, canSave);

    CString count;
    if (rows == 0)
        count = Text(IDS_FILES_COUNT_NONE);
    else if (rows == 1)
        count = Text(IDS_FILES_COUNT_ONE);
    else {
        const CString format = Text(IDS_FILES_COUNT_MANY);
        if (FormatTakes(format.Str(), "d"))
            count.Format(format, rows);
        else
            count.Format(L"%s %d", static_cast<const wchar_t*>(format), rows);
    }
    SetDlgItemText(IDC_FILES_COUNT, count);

    // Only the page on show sets the wizard's buttons.
    if (m_activating || (m_pWizard->m_hWnd && m_pWizard->GetActivePage() == this))
        m_pWizard->RequestButtons(rows > 0 ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK);
}

INT_PTR CPageFiles::RunDialog(CFileDialog& dialog)
{
    return s_dialogHook ? s_dialogHook(dialog) : dialog.DoModal();
}

int CPageFiles::Message(UINT textId, UINT type, const wchar_t* argument, UINT captionId)
{
    CString text = Text(textId);
    if (argument) {
        CString format = text;
        if (FormatTakes(format.Str(), "s"))
            text.Format(format, argument);
        else
            text.Format(L"%s\n%s", static_cast<const wchar_t*>(format), argument);
    }
    return MessageBox(text, Text(captionId ? captionId : IDS_CAPTION), type);
}

void CPageFiles::OnAddDrawings()
{
    CString title = Text(IDS_FILES_ADD_TITLE);
    CFileDialog dialog(true, L"dwg", nullptr, 0, Text(IDS_FILES_ADD_FILTER), this);
    std::vector<wchar_t> selection(kSelectionChars, L'\0');
    dialog.m_ofn.lpstrTitle = title;
    dialog.m_ofn.Flags |= OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST;
    dialog.m_ofn.lpstrFile = selection.data();
    dialog.m_ofn.nMaxFile = kSelectionChars;
    if (RunDialog(dialog) == IDOK) {
        std::vector<std::wstring> paths;
        if (const wchar_t* position = dialog.GetStartPosition()) {
            while (position)
                paths.push_back(dialog.GetNextPathName(position).Str());
        } else {
            paths.push_back(dialog.GetPathName().Str());
        }
        AddEntries(paths, paths.empty() ? std::wstring() : KestFilenm(paths.front(), false).Folder());
    }
    UpdateButtons();
}

void CPageFiles::OnAddFolder()
{
    CFolderBrowser browser(this);
    if (RunDialog(browser) == IDOK)
        SearchFolder(browser.GetPathName().Str());
    UpdateButtons();
}

void CPageFiles::OnRemoveSelected()
{
    const UINT selected = m_list.GetSelectedCount();
    if (selected == 0)
        return;
    if (selected > 1 &&
        Message(IDS_FILES_REMOVE_QUESTION, MB_YESNO | MB_ICONQUESTION, nullptr, IDS_FILES_REMOVE_CAPTION) != IDYES)
        return;
    {
        Batch batch(*this);
        // The next selected row is never before the one just deleted: each search goes on from there.
        int from = -1;
        for (int row; (row = m_list.GetNextItem(from, LVNI_SELECTED)) >= 0;) {
            m_list.DeleteItem(row);
            from = row - 1;
        }
    }
    m_modified = true;
    UpdateButtons();
}

void CPageFiles::OnLoadList()
{
    if (!ConfirmUnsavedList())
        return;
    CString title = Text(IDS_FILES_LOAD_TITLE);
    CFileDialog dialog(true, L"dml", m_lastListPath.c_str(), OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                       Text(IDS_FILES_LIST_FILTER), this);
    dialog.m_ofn.lpstrTitle = title;
    if (RunDialog(dialog) != IDOK)
        return;
    m_lastListPath = dialog.GetPathName().Str();
    std::vector<std::wstring> entries;
    bool told = false;
    if (ReadListFile(m_lastListPath, entries, &told)) {
        Batch batch(*this);
        DeleteAllRows();
        AddEntries(entries, m_lastListPath);
        theApp.m_listFile = m_lastListPath;
    } else if (!told) {
        Message(IDS_FILES_LOAD_FAILED, MB_ICONERROR, m_lastListPath.c_str());
    }
    m_modified = false;
    UpdateButtons();
}

void CPageFiles::OnAddList()
{
    CString title = Text(IDS_FILES_ADD_LIST_TITLE);
    CFileDialog dialog(true, L"dml", m_lastListPath.c_str(), OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                       Text(IDS_FILES_LIST_FILTER), this);
    dialog.m_ofn.lpstrTitle = title;
    if (RunDialog(dialog) != IDOK)
        return;
    m_lastListPath = dialog.GetPathName().Str();
    std::vector<std::wstring> entries;
    if (ReadListFile(m_lastListPath, entries))
        AddEntries(entries, m_lastListPath);
    UpdateButtons();
}

bool CPageFiles::SaveList()
{
    CString title = Text(IDS_FILES_SAVE_TITLE);
    CFileDialog dialog(false, L"dml", m_lastListPath.c_str(), OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                       Text(IDS_FILES_LIST_FILTER), this);
    dialog.m_ofn.lpstrTitle = title;
    if (RunDialog(dialog) != IDOK)
        return false;
    m_lastListPath = dialog.GetPathName().Str();
    std::vector<std::wstring> paths;
    const int rows = m_list.GetItemCount();
    paths.reserve(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row)
        if (const DrawingRecord* record = RecordOf(static_cast<LPARAM>(m_list.GetItemData(row))))
            paths.push_back(RowPath(*record));
    KestDmlFile list(m_lastListPath);
    bool written = list.Open(true) && list.WriteList(paths);
    list.Close();
    if (!written) {
        Message(IDS_FILES_SAVE_FAILED, MB_ICONERROR, m_lastListPath.c_str());
        return false;
    }
    m_modified = false;
    theApp.m_listFile = m_lastListPath;
    return true;
}

void CPageFiles::OnSaveList()
{
    SaveList();
    UpdateButtons();
}

bool CPageFiles::ConfirmUnsavedList()
{
    if (m_list.GetItemCount() == 0 || !m_modified)
        return true;
    theApp.m_listFile.clear();
    switch (Message(IDS_FILES_UNSAVED, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDNO:
        return true;
    case IDYES:
        return SaveList();
    default:
        return false;
    }
}

void CPageFiles::OnClearAll()
{
    if (!ConfirmUnsavedList())
        return;
    DeleteAllRows();
    m_modified = false;
    theApp.m_listFile.clear();
    UpdateButtons();
    ::SetFocus(GetDlgItem(IDC_FILES_ADD));
}

void CPageFiles::OnItemChanged(NMHDR*, LRESULT*)
{
    // A batch catches up at its end; otherwise one posted update serves a whole burst of changes
    // (selecting every row of a long list changes every row).
    if (m_batchDepth > 0 || m_settlePosted)
        return;
    m_settlePosted = PostMessage(kSettleMessage);
}

LRESULT CPageFiles::OnSelectionSettled(WPARAM, LPARAM)
{
    m_settlePosted = false;
    m_preview.Invalidate(true);
    UpdateButtons();
    return 0;
}

void CPageFiles::OnColumnClick(NMHDR* header, LRESULT*)
{
    const int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
    if (column < 0 || column >= DrawingOrder::kColumns)
        return;
    s_sortAscending[column] = !s_sortAscending[column];
    m_list.SortItems(&CompareRows, DrawingOrder::SortKey(column, s_sortAscending[column]));
}

void CPageFiles::OnDeleteItem(NMHDR* header, LRESULT*)
{
    DrawingRecord* record = RecordOf(reinterpret_cast<NMLISTVIEW*>(header)->lParam);
    if (!record)
        return;
    m_paths.Remove(RowPath(*record));
    delete record;
}

void CPageFiles::OnKeyDown(NMHDR* header, LRESULT*)
{
    switch (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey) {
    case VK_DELETE:
        OnRemoveSelected();
        break;
    case VK_F5:
        RefreshStatus();
        break;
    default:
        break;
    }
}

void CPageFiles::OnDropFiles(HDROP drop)
{
    // A drop that arrives while drawings are being added waits for no one: the handle goes back.
    if (m_progress) {
        ::DragFinish(drop);
        return;
    }
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    bool told = false;
    {
        Batch batch(*this);
        for (UINT i = 0; i < count; ++i) {
            // At least the usual 2,048 characters, more when a long path needs them.
            const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
            std::vector<wchar_t> buffer(std::max<size_t>(length + 1, 2048), L'\0');
            ::DragQueryFileW(drop, i, buffer.data(), static_cast<UINT>(buffer.size()));
            const std::wstring path = buffer.data();
            KestFilenm name(path, false);
            const DWORD attributes = ::GetFileAttributesW(name.m_path.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                (theApp.m_atLeastXP || path.size() < MAX_PATH)) {
                // Stopping one folder's search stops the whole drop.
                if (!SearchFolder(name.m_path))
                    break;
            } else if (HasExtension(name, L"dml")) {
                std::vector<std::wstring> entries;
                if (ReadListFile(name.m_path, entries))
                    AddEntries(entries, name.m_path);
            } else if (HasExtension(name, L"dwg")) {
                AddDrawing(path);
            } else if (!told) {
                told = true;
                Message(IDS_FILES_DROP_UNKNOWN, MB_ICONERROR, path.c_str());
            }
        }
    }
    ::DragFinish(drop);
    UpdateButtons();
}

void CPageFiles::OnDestroy()
{
    // The rows' records go with the rows, while the page can still hear of them.
    m_list.DeleteAllItems();
    m_paths.Clear();
}
