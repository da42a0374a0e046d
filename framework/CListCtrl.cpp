#include "CListCtrl.h"

int CListCtrl::InsertColumn(int column, const wchar_t* heading, int format, int width)
{
    LVCOLUMNW c = {};
    c.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    c.fmt = format;
    c.cx = width;
    c.pszText = const_cast<wchar_t*>(heading);
    c.iSubItem = column;
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c)));
}

int CListCtrl::InsertItem(int index, const wchar_t* text, LPARAM data)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text);
    item.lParam = data;
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::SetItemText(int item, int subItem, const wchar_t* text)
{
    LVITEMW i = {};
    i.iSubItem = subItem;
    i.pszText = const_cast<wchar_t*>(text);
    return SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&i)) != 0;
}

CString CListCtrl::GetItemText(int item, int subItem) const
{
    // The control copies at most the buffer's size; grow until the text fits.
    std::wstring text(256, L'\0');
    for (;;) {
        LVITEMW i = {};
        i.iSubItem = subItem;
        i.pszText = &text[0];
        i.cchTextMax = static_cast<int>(text.size());
        int n =
            static_cast<int>(SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&i)));
        if (n < static_cast<int>(text.size()) - 1 || text.size() >= 65536) {
            text.resize(n > 0 ? static_cast<size_t>(n) : 0);
            return CString(text);
        }
        text.assign(text.size() * 2, L'\0');
    }
}

DWORD_PTR CListCtrl::GetItemData(int item) const
{
    LVITEMW i = {};
    i.mask = LVIF_PARAM;
    i.iItem = item;
    if (!SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&i)))
        return 0;
    return static_cast<DWORD_PTR>(i.lParam);
}

bool CListCtrl::SetItemState(int item, UINT state, UINT mask)
{
    LVITEMW i = {};
    i.state = state;
    i.stateMask = mask;
    return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&i)) != 0;
}
