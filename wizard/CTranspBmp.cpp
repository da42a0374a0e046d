#include "CTranspBmp.h"
#include "Afx.h"
#include "CPaintDC.h"

#include <cstring>
#include <vector>

BEGIN_MESSAGE_MAP(CTranspBmp, CStatic)
ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {
// A high-colour bitmap resource as a 32-bit top-down DIB with white replaced.
HBITMAP MapHighColour(HINSTANCE module, UINT id, COLORREF face)
{
    HBITMAP loaded = static_cast<HBITMAP>(
        ::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!loaded)
        return nullptr;
    BITMAP info = {};
    ::GetObjectW(loaded, sizeof(info), &info);
    if (info.bmWidth <= 0 || info.bmHeight <= 0 || info.bmWidth > 4096 || info.bmHeight > 4096) {
        ::DeleteObject(loaded);
        return nullptr;
    }
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    HDC screen = ::GetDC(nullptr);
    int rows = ::GetDIBits(screen, loaded, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &header,
                           DIB_RGB_COLORS);
    ::DeleteObject(loaded);
    HBITMAP mapped = nullptr;
    if (rows == info.bmHeight) {
        const DWORD faceQuad = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
        for (DWORD& p : pixels)
            if ((p & 0xFFFFFF) == 0xFFFFFF)
                p = faceQuad;
        void* bits = nullptr;
        mapped = ::CreateDIBSection(screen, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (mapped && bits)
            std::memcpy(bits, pixels.data(), pixels.size() * sizeof(DWORD));
    }
    ::ReleaseDC(nullptr, screen);
    return mapped;
}

WORD BitCount(HINSTANCE module, UINT id)
{
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_BITMAP);
    HGLOBAL data = found ? ::LoadResource(module, found) : nullptr;
    const void* bytes = data ? ::LockResource(data) : nullptr;
    if (!bytes || ::SizeofResource(module, found) < sizeof(BITMAPINFOHEADER))
        return 0;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof(header));
    if (header.biSize == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, bytes, sizeof(core));
        return core.bcBitCount;
    }
    return header.biBitCount;
}
}

HBITMAP LoadFaceMappedBitmap(HINSTANCE module, UINT id, COLORREF face)
{
    WORD bits = BitCount(module, id);
    if (bits == 0)
        return nullptr;
    if (bits > 8)
        return MapHighColour(module, id, face);
    COLORMAP map = {RGB(255, 255, 255), face};
    return ::CreateMappedBitmap(module, id, 0, &map, 1);
}

CTranspBmp::CTranspBmp()
{
    m_bitmap = LoadFaceMappedBitmap(AfxFindResourceHandle(MAKEINTRESOURCEW(kBitmapId), RT_BITMAP), kBitmapId,
                                    ::GetSysColor(COLOR_BTNFACE));
}

CTranspBmp::~CTranspBmp()
{
    if (m_bitmap)
        ::DeleteObject(m_bitmap);
}

void CTranspBmp::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bitmap)
        return;
    RECT frame;
    GetWindowRect(&frame);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&frame), 2);

    HDC memory = ::CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ previous = ::SelectObject(memory, m_bitmap);
    BITMAP info = {};
    ::GetObjectW(m_bitmap, sizeof(info), &info);
    ::BitBlt(dc, frame.left, frame.top, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
}
