// The Files page's thumbnail control: button-face background and the selected drawing's thumbnail scaled into
// the client area. A bitmap copy of the last drawing spares reading the file again on repaints.
#pragma once
#include "CStatic.h"

class CPreview : public CStatic {
public:
    CPreview() = default;
    ~CPreview() override;

    // Draws the thumbnail of one file (a drawing or a BMP file) into the control; nothing when the file does
    // not exist or has no readable thumbnail.
    void DrawThumbnail(const wchar_t* path);
    // Forgets the copy of the last drawing (the next paint reads its file again).
    static void ForgetCache();

    // The Files page's list control; rows carry a DrawingRecord as item data.
    CWnd* m_list = nullptr;

protected:
    void OnPaint();
    DECLARE_MESSAGE_MAP()
};
