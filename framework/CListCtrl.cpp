#include "CListCtrl.h"

int CListCtrl::InsertColumn(int column, const wchar_t* heading, int format, int width)
{
    LVCOLUMNW c = {};
    c.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    c.fmt = format;
    c.cx = width;
    c.pszText = const_cast<wchar_t*>(heading);
    c.iSubItem = column;
    return static_cast<int>(Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c)));
}

int CListCtrl::InsertItem(int index, const wchar_t* text, LPARAM data)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text);
    item.lParam = data;
    return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::SetItemText(int item, int subItem, const wchar_t* text)
{
    LVITEMW i = {};
    i.iSubItem = subItem;
    i.pszText = const_cast<wchar_t*>(text);
    return Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&i)) != 0;
}

DWORD_PTR CListCtrl::GetItemData(int item) const
{
    LVITEMW i = {};
    i.mask = LVIF_PARAM;
    i.iItem = item;
    if (!Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&i)))
        return 0;
    return static_cast<DWORD_PTR>(i.lParam);
}
