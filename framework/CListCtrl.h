// List view control in report view: the members the Files page uses.
#pragma once
#include "CWnd.h"

class CListCtrl : public CWnd {
public:
    // mask 0 lets every bit of styles take effect.
    DWORD SetExtendedStyle(DWORD styles, DWORD mask = 0)
    {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, static_cast<LPARAM>(styles)));
    }
    int InsertColumn(int column, const wchar_t* heading, int format, int width);
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    UINT GetSelectedCount() const { return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT)); }
    // Room for count rows, so a long run of insertions does not grow the list row by row.
    void SetItemCount(int count) { SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(count)); }
    int GetNextItem(int start, UINT flags) const
    {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
    }
    // A row with its text and item data; returns its index, or -1.
    int InsertItem(int index, const wchar_t* text, LPARAM data);
    bool SetItemText(int item, int subItem, const wchar_t* text);
    CString GetItemText(int item, int subItem) const;
    DWORD_PTR GetItemData(int item) const;
    bool SetItemState(int item, UINT state, UINT mask);
    bool DeleteItem(int item) { return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item)) != 0; }
    bool DeleteAllItems() { return SendMessage(LVM_DELETEALLITEMS) != 0; }
    bool SortItems(PFNLVCOMPARE compare, LPARAM data)
    {
        return SendMessage(LVM_SORTITEMS, static_cast<WPARAM>(data), reinterpret_cast<LPARAM>(compare)) != 0;
    }
    bool EnsureVisible(int item) { return SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE) != 0; }
};
