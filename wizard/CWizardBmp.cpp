#include "CWizardBmp.h"
#include "Afx.h"
#include "CPaintDC.h"

BEGIN_MESSAGE_MAP(CWizardBmp, CStatic)
ON_WM_PAINT()
END_MESSAGE_MAP()

CWizardBmp::~CWizardBmp()
{
    if (m_bitmap)
        ::DeleteObject(m_bitmap);
}

void CWizardBmp::OnPaint()
{
    CPaintDC dc(this);
    RECT client;
    GetClientRect(&client);
    if (!m_bitmap)
        m_bitmap = ::LoadBitmapW(AfxFindResourceHandle(MAKEINTRESOURCEW(kBitmapId), RT_BITMAP),
                                 MAKEINTRESOURCEW(kBitmapId));
    if (!m_bitmap)
        return;

    HDC memory = ::CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ previous = ::SelectObject(memory, m_bitmap);
    BITMAP info = {};
    ::GetObjectW(m_bitmap, sizeof(info), &info);
    // Halftone keeps a shrunken picture smooth; the aspect ratio follows the control.
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, 0, 0, client.right - client.left, client.bottom - client.top, memory, 0, 0, info.bmWidth,
                 info.bmHeight, SRCCOPY);
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
}
