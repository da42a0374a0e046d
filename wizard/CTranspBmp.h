// The page bitmap of a wizard page: drawn at its natural size, its white
// pixels in the dialog's button-face colour.
#pragma once
#include "CStatic.h"

class CTranspBmp : public CStatic {
public:
    static constexpr UINT kBitmapId = 2142;

    // Makes the mapped bitmap at once: pages are built after the resource module is in place.
    CTranspBmp();
    ~CTranspBmp() override;

    HBITMAP m_bitmap = nullptr;

protected:
    void OnPaint();

private:
    DECLARE_MESSAGE_MAP()
};

// The bitmap resource with white (0xFFFFFF) shown as `face`; null when it
// cannot be loaded. The platform maps colour tables only, so bitmaps of more
// than 256 colours get their white pixels replaced one by one.
HBITMAP LoadFaceMappedBitmap(HINSTANCE module, UINT id, COLORREF face);
