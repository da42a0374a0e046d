// Tree view control: items by handle, their texts, images and data, and
// in-place label editing.
#pragma once
#include "CWnd.h"

class CTreeCtrl : public CWnd {
public:
    HIMAGELIST SetImageList(HIMAGELIST images, int kind = TVSIL_NORMAL)
    {
        return TreeView_SetImageList(m_hWnd, images, kind);
    }

    HTREEITEM InsertItem(const wchar_t* text, int image, int selectedImage, HTREEITEM parent = TVI_ROOT,
                         HTREEITEM after = TVI_LAST);
    bool DeleteItem(HTREEITEM item) { return TreeView_DeleteItem(m_hWnd, item) != FALSE; }
    bool DeleteAllItems() { return TreeView_DeleteAllItems(m_hWnd) != FALSE; }

    // The whole text, whatever its length.
    CString GetItemText(HTREEITEM item) const;
    bool SetItemText(HTREEITEM item, const wchar_t* text);
    DWORD_PTR GetItemData(HTREEITEM item) const;
    bool SetItemData(HTREEITEM item, DWORD_PTR data);
    bool GetItemImage(HTREEITEM item, int& image, int& selectedImage) const;

    HTREEITEM GetRootItem() const { return TreeView_GetRoot(m_hWnd); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return TreeView_GetChild(m_hWnd, item); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return TreeView_GetNextSibling(m_hWnd, item); }
    HTREEITEM GetPrevSiblingItem(HTREEITEM item) const { return TreeView_GetPrevSibling(m_hWnd, item); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return TreeView_GetParent(m_hWnd, item); }
    HTREEITEM GetSelectedItem() const { return TreeView_GetSelection(m_hWnd); }
    bool SelectItem(HTREEITEM item) { return TreeView_SelectItem(m_hWnd, item) != FALSE; }
    bool EnsureVisible(HTREEITEM item) { return TreeView_EnsureVisible(m_hWnd, item) != FALSE; }
    bool Expand(HTREEITEM item, UINT code = TVE_EXPAND) { return TreeView_Expand(m_hWnd, item, code) != FALSE; }
    UINT GetCount() const { return TreeView_GetCount(m_hWnd); }

    // Starts editing the label in place; the edit control, or null.
    HWND EditLabel(HTREEITEM item) { return TreeView_EditLabel(m_hWnd, item); }
    HWND GetEditControl() const { return TreeView_GetEditControl(m_hWnd); }
};
