#include "CImageList.h"
#include "Afx.h"

bool CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    DeleteImageList();
    m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
}

bool CImageList::Create(UINT bitmapId, int cx, int grow, COLORREF mask)
{
    DeleteImageList();
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(bitmapId), RT_BITMAP);
    m_hImageList = ImageList_LoadImageW(module, MAKEINTRESOURCEW(bitmapId), cx, grow, mask, IMAGE_BITMAP, 0);
    return m_hImageList != nullptr;
}

int CImageList::AddIcon(UINT iconId)
{
    if (!m_hImageList)
        return -1;
    int cx = 0, cy = 0;
    ImageList_GetIconSize(m_hImageList, &cx, &cy);
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(iconId), RT_GROUP_ICON);
    // The icon's own image of this size where it has one, rather than a scaled large one.
    HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, cx, cy, 0));
    if (!icon)
        return -1;
    int index = ImageList_AddIcon(m_hImageList, icon);
    DestroyIcon(icon);
    return index;
}

bool CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return false;
    bool ok = ImageList_Destroy(m_hImageList) != FALSE;
    m_hImageList = nullptr;
    return ok;
}
