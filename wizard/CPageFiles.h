// Second page: the drawings to migrate. One row per drawing with its name, folder, release and file
// status, filled from the file dialog, folder searches, drawing list files and dropped files; Next hands
// the job the drawings that can be migrated.
#pragma once
#include "CBoldTxt.h"
#include "CListCtrl.h"
#include "CPreview.h"
#include "CPropertyPage.h"
#include "CTranspBmp.h"
#include "DrawingPathIndex.h"

#include <functional>
#include <string>
#include <vector>

class CNOLUWizard;
class CFileDialog;
class CAddProgressDlg;
struct DrawingRecord;

class CPageFiles : public CPropertyPage {
public:
    explicit CPageFiles(CNOLUWizard* wizard);
    ~CPageFiles() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;

    // Adds one drawing at the end of the list. attributes, when given, are the file's attributes as a
    // folder listing just reported them. False when the path is no drawing or is listed already.
    bool AddDrawing(const std::wstring& path, const DWORD* attributes = nullptr);
    // Every visible drawing of the folder's tree; false when the user stopped the search.
    bool SearchFolder(const std::wstring& folder);
    // Buttons that depend on the rows and the selection, and the wizard's Back and Next.
    void UpdateButtons();
    // Save list: true when the list was written.
    bool SaveList();
    // The unsaved-list question: true when the caller may go on.
    bool ConfirmUnsavedList();
    // Status of every row read again (F5).
    void RefreshStatus();
    // A row's full path: folder + name + ".dwg".
    static std::wstring RowPath(const DrawingRecord& record);

    CNOLUWizard* m_pWizard;
    CListCtrl m_list;
    CPreview m_preview;
    CTranspBmp m_transp;
    CBoldTxt m_caption;
    bool m_modified = false;
    std::wstring m_lastListPath;
    // Full paths of the rows, lower case: the duplicate test.
    DrawingPathIndex m_paths;

    // Direction of the last sort of each column, for the whole program run.
    static bool s_sortAscending[4];
    // Test seam: when set, the page's file and folder dialogs are answered by this instead of being shown.
    // It gets the dialog as the page prepared it and returns IDOK or IDCANCEL, having filled in the
    // chosen names as the dialog would.
    static std::function<INT_PTR(CFileDialog&)> s_dialogHook;

protected:
    void OnAddDrawings();
    void OnAddFolder();
    void OnRemoveSelected();
    void OnLoadList();
    void OnAddList();
    void OnSaveList();
    void OnClearAll();
    void OnItemChanged(NMHDR* header, LRESULT* result);
    void OnColumnClick(NMHDR* header, LRESULT* result);
    void OnDeleteItem(NMHDR* header, LRESULT* result);
    void OnKeyDown(NMHDR* header, LRESULT* result);
    void OnDropFiles(HDROP drop);
    void OnDestroy();
    LRESULT OnSelectionSettled(WPARAM, LPARAM);

private:
    // One long change of the rows: redraw off and item-change work deferred to its end, and the
    // progress window when it lasts.
    class Batch;
    INT_PTR RunDialog(CFileDialog& dialog);
    // Reads a drawing list file; false when it cannot be opened (the file class has said why) or is no list.
    // told (when given) is set when a failure was already explained in a box of its own.
    bool ReadListFile(const std::wstring& path, std::vector<std::wstring>& entries, bool* told = nullptr);
    void AddEntries(const std::vector<std::wstring>& entries, const std::wstring& source);
    void DeleteAllRows();
    void ShowStatus(int row, DrawingRecord& record, DWORD attributes);
    int Message(UINT textId, UINT type, const wchar_t* argument = nullptr, UINT captionId = 0);

    CString m_statusText[4];
    int m_batchDepth = 0;
    bool m_activating = false;
    bool m_settlePosted = false;
    CAddProgressDlg* m_progress = nullptr;

    DECLARE_MESSAGE_MAP()
};
