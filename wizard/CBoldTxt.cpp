#include "CBoldTxt.h"
#include "CPaintDC.h"

BEGIN_MESSAGE_MAP(CBoldTxt, CStatic)
ON_WM_PAINT()
END_MESSAGE_MAP()

void CBoldTxt::SetBold(bool bold)
{
    if (bold == m_bold)
        return;
    m_bold = bold;
    Invalidate(true);
}

void CBoldTxt::OnPaint()
{
    CPaintDC dc(this);
    CString text = GetWindowText();
    RECT client;
    GetClientRect(&client);

    // Clear what the text covers by drawing it in the background colour first,
    // so a switch from bold to plain leaves no trace of the wider letters.
    ::SetBkMode(dc, OPAQUE);
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    ::SetBkColor(dc, face);
    COLORREF textColor = ::GetTextColor(dc);
    ::SetTextColor(dc, face);
    ::DrawTextW(dc, text, -1, &client, DT_SINGLELINE);

    HFONT controlFont = GetFont();
    HFONT weighted = nullptr;
    LOGFONTW logFont = {};
    if (controlFont && ::GetObjectW(controlFont, sizeof(logFont), &logFont) == sizeof(logFont)) {
        logFont.lfWeight = m_bold ? FW_BOLD : FW_NORMAL;
        weighted = ::CreateFontIndirectW(&logFont);
    }
    HFONT use = weighted ? weighted : controlFont;
    HGDIOBJ previous = use ? ::SelectObject(dc, use) : nullptr;
    ::SetTextColor(dc, textColor);
    ::DrawTextW(dc, text, -1, &client, DT_SINGLELINE);
    if (previous)
        ::SelectObject(dc, previous);
    if (weighted)
        ::DeleteObject(weighted);
}
