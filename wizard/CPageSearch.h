// Fifth page: the folders in which Draxil searches for support files during
// the run, shown as the children of one root item. Folders are typed in place,
// browsed for, deleted, reordered, loaded from and saved to folder list files;
// the folders of the drawings to migrate are added each time the page shows.
#pragma once
#include "CBoldTxt.h"
#include "CImageList.h"
#include "CPropertyPage.h"
#include "CTranspBmp.h"
#include "CTreeCtrl.h"

#include <string>
#include <vector>

class CNOLUWizard;

class CPageSearch : public CPropertyPage {
public:
    explicit CPageSearch(CNOLUWizard* wizard);
    ~CPageSearch() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    // The folder texts, in tree order.
    std::vector<std::wstring> Folders() const;

    CTreeCtrl m_tree;
    CTranspBmp m_bitmap;
    CBoldTxt m_caption;
    HTREEITEM m_root = TVI_ROOT;
    HTREEITEM m_current = TVI_ROOT;
    bool m_editing = false;
    bool m_browseClicked = false;
    bool m_deleteClicked = false;
    CImageList m_images;
    CNOLUWizard* m_pWizard;

protected:
    void OnBrowse();
    void OnNew();
    void OnDelete();
    void OnMoveUp();
    void OnMoveDown();
    void OnLoadList();
    void OnSaveList();
    void OnTreeDoubleClick(NMHDR* header, LRESULT* result);
    void OnTreeSelChanged(NMHDR* header, LRESULT* result);
    void OnTreeBeginLabelEdit(NMHDR* header, LRESULT* result);
    void OnTreeEndLabelEdit(NMHDR* header, LRESULT* result);
    LRESULT OnCheckEditedFolder(WPARAM w, LPARAM l);

private:
    // Sent after the tree has closed its edit control, so that the checks and
    // their questions never run inside the tree's own end of editing.
    static const UINT kCheckEditedFolder = WM_APP + 0x53;

    void AddDrawingFolders();
    void InsertRoot();
    HTREEITEM AddFolder(const std::wstring& text);
    void UpdateButtons();
    void Move(bool up);
    // Edits the item again, showing the text that was refused, all of it selected.
    void StartEditing(HTREEITEM item, const std::wstring& text);
    bool IsFolderItem(HTREEITEM item) const;
    // Runs a check still waiting for its message, so that a command sees the
    // tree as the end of the edit left it; false when the folder is edited again.
    bool FlushEditCheck();
    void SendKeyToEdit(WPARAM key);
    int Ask(UINT formatId, const std::wstring& path, UINT type);
    static LRESULT CALLBACK ButtonProc(HWND button, UINT msg, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR self);

    // The item whose edit ended, and what was typed, until the check runs.
    HTREEITEM m_edited = nullptr;
    std::wstring m_typed;
    bool m_editCancelled = false;

    DECLARE_MESSAGE_MAP()
};
