#include "CTreeCtrl.h"

HTREEITEM CTreeCtrl::InsertItem(const wchar_t* text, int image, int selectedImage, HTREEITEM parent, HTREEITEM after)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(text ? text : L"");
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

CString CTreeCtrl::GetItemText(HTREEITEM item) const
{
    // The control copies at most the buffer's size and says nothing of the
    // rest: grow the buffer until the text ends well inside it.
    std::wstring buffer(260, L'\0');
    for (;;) {
        TVITEMW tv = {};
        tv.mask = TVIF_TEXT | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = &buffer[0];
        tv.cchTextMax = static_cast<int>(buffer.size());
        buffer[0] = L'\0';
        if (!SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)))
            return CString();
        const wchar_t* text = tv.pszText ? tv.pszText : L"";
        size_t length = wcsnlen(text, buffer.size());
        if (length + 1 < buffer.size() || buffer.size() >= 0x100000)
            return CString(std::wstring(text, length));
        buffer.assign(buffer.size() * 4, L'\0');
    }
}

bool CTreeCtrl::SetItemText(HTREEITEM item, const wchar_t* text)
{
    TVITEMW tv = {};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = const_cast<wchar_t*>(text ? text : L"");
    return SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) != 0;
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const
{
    TVITEMW tv = {};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    return SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) ? static_cast<DWORD_PTR>(tv.lParam) : 0;
}

bool CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data)
{
    TVITEMW tv = {};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    tv.lParam = static_cast<LPARAM>(data);
    return SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) != 0;
}

bool CTreeCtrl::GetItemImage(HTREEITEM item, int& image, int& selectedImage) const
{
    TVITEMW tv = {};
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    tv.hItem = item;
    if (!SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)))
        return false;
    image = tv.iImage;
    selectedImage = tv.iSelectedImage;
    return true;
}
