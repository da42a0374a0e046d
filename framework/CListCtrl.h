// List view control in report view: the members the Files page uses. Its messages go straight to the
// control's own procedure: this class handles none, and the way through the subclass procedure costs a
// window property lookup per message, a server round trip under Wine, for every row of a long list.
#pragma once
#include "CWnd.h"

class CListCtrl : public CWnd {
public:
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const
    {
        return m_oldProc ? ::CallWindowProcW(m_oldProc, m_hWnd, msg, w, l) : ::SendMessageW(m_hWnd, msg, w, l);
    }

    // mask 0 lets every bit of styles take effect.
    DWORD SetExtendedStyle(DWORD styles, DWORD mask = 0)
    {
        return static_cast<DWORD>(Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, static_cast<LPARAM>(styles)));
    }
    int InsertColumn(int column, const wchar_t* heading, int format, int width);
    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    UINT GetSelectedCount() const { return static_cast<UINT>(Send(LVM_GETSELECTEDCOUNT)); }
    // Room for count rows, so a long run of insertions does not grow the list row by row.
    void SetItemCount(int count) { Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(count)); }
    int GetNextItem(int start, UINT flags) const
    {
        return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
    }
    // A row with its text and item data; returns its index, or -1.
    int InsertItem(int index, const wchar_t* text, LPARAM data);
    bool SetItemText(int item, int subItem, const wchar_t* text);
    DWORD_PTR GetItemData(int item) const;
    bool DeleteItem(int item) { return Send(LVM_DELETEITEM, static_cast<WPARAM>(item)) != 0; }
    bool DeleteAllItems() { return Send(LVM_DELETEALLITEMS) != 0; }
    bool SortItems(PFNLVCOMPARE compare, LPARAM data)
    {
        return Send(LVM_SORTITEMS, static_cast<WPARAM>(data), reinterpret_cast<LPARAM>(compare)) != 0;
    }
};
