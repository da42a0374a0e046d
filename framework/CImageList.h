// Image list for tree and list controls; owns its handle.
#pragma once
#include <windows.h>
#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // Empty list of images cx by cy (ILC_* flags).
    bool Create(int cx, int cy, UINT flags, int initial, int grow);
    // Strip of images cx wide from a bitmap of the resource module; pixels of
    // the mask colour are transparent.
    bool Create(UINT bitmapId, int cx, int grow, COLORREF mask);
    // Adds an icon of the resource module at the list's image size; the index, or -1.
    int AddIcon(UINT iconId);
    bool DeleteImageList();
    int GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }

    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST m_hImageList = nullptr;
};
