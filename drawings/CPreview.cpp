#include "CPreview.h"

#include <memory>
#include <vector>

#include "DrawingRecord.h"
#include "KestFilenm.h"
#include "PreviewCore.h"
#include "PreviewLayout.h"

namespace {
// One cache for the whole program: the drawing last drawn and the control's look after drawing it.
struct PaintCache {
    KestFilenm name;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;

    void Release()
    {
        if (dc) {
            SelectObject(dc, oldBitmap);
            DeleteDC(dc);
        }
        if (bitmap)
            DeleteObject(bitmap);
        dc = nullptr;
        bitmap = nullptr;
        oldBitmap = nullptr;
    }
    ~PaintCache() { Release(); }
};

PaintCache& Cache()
{
    static PaintCache cache;
    return cache;
}

// The selected row's record when exactly one row is selected.
const DrawingRecord* SingleSelection(HWND list)
{
    if (!list || ListView_GetSelectedCount(list) != 1)
        return nullptr;
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (item.iItem < 0 || !ListView_GetItem(list, &item))
        return nullptr;
    return reinterpret_cast<const DrawingRecord*>(item.lParam);
}
}

BEGIN_MESSAGE_MAP(CPreview, CStatic)
ON_WM_PAINT()
END_MESSAGE_MAP()

CPreview::~CPreview() = default;

void CPreview::ForgetCache()
{
    Cache().Release();
    Cache().name = KestFilenm();
}

void CPreview::DrawThumbnail(const wchar_t* path)
{
    KestFilenm file(path ? path : L"", false);
    if (file.m_path.empty() || GetFileAttributesW(file.m_path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    HDC dc = ::GetDC(m_hWnd);
    PreviewCore core;
    std::unique_ptr<PreviewDib> dib = core.ReadThumbnail(std::wstring(path));
    if (!dib) {
        ::ReleaseDC(m_hWnd, dc);
        return;
    }

    HPALETTE palette = nullptr, oldPalette = nullptr;
    if (dib->ColorCount() > 0) {
        std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + dib->ColorCount() * sizeof(PALETTEENTRY));
        LOGPALETTE* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = static_cast<WORD>(dib->ColorCount());
        for (uint32_t i = 0; i < dib->ColorCount(); i++) {
            DibColor c = dib->Color(i);
            logical->palPalEntry[i] = PALETTEENTRY{c.red, c.green, c.blue, 0};
        }
        palette = CreatePalette(logical);
        if (palette) {
            oldPalette = SelectPalette(dc, palette, FALSE);
            RealizePalette(dc);
        }
        SetStretchBltMode(dc, BLACKONWHITE);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
    }

    RECT client;
    GetClientRect(&client);
    const int rows = static_cast<int>(dib->Rows());
    PreviewRect at = PreviewLayout::Fit(client.left, client.top, client.right, client.bottom, dib->Width(), rows);
    StretchDIBits(dc, at.left, at.top, at.width, at.height, 0, 0, dib->Width(), rows, dib->Bits(),
                  reinterpret_cast<const BITMAPINFO*>(dib->Data()), DIB_RGB_COLORS, SRCCOPY);

    if (palette) {
        SelectPalette(dc, oldPalette, FALSE);
        DeleteObject(palette);
    }
    ::ReleaseDC(m_hWnd, dc);
}

void CPreview::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT client;
    GetClientRect(&client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

    const DrawingRecord* record = SingleSelection(m_list ? m_list->m_hWnd : nullptr);
    if (record && !record->missing) {
        CString path;
        path.Format(L"%s%s.%s", static_cast<const wchar_t*>(record->folder), static_cast<const wchar_t*>(record->name),
                    L"dwg");
        PaintCache& cache = Cache();
        const int width = client.right - client.left, height = client.bottom - client.top;
        if (!cache.dc || path.CompareNoCase(cache.name.m_path.c_str()) != 0) {
            DrawThumbnail(path);
            cache.Release();
            cache.name = KestFilenm(path.Str(), false);
            cache.dc = CreateCompatibleDC(dc);
            cache.bitmap = CreateCompatibleBitmap(dc, width, height);
            if (cache.dc && cache.bitmap) {
                cache.oldBitmap = SelectObject(cache.dc, cache.bitmap);
                BitBlt(cache.dc, 0, 0, width, height, dc, 0, 0, SRCCOPY);
            }
        } else {
            BitBlt(dc, 0, 0, width, height, cache.dc, 0, 0, SRCCOPY);
        }
    }
    EndPaint(m_hWnd, &ps);
}
