// The wizard controls painted on a dialog of the test's own, read back pixel
// by pixel.
#include "CBoldTxt.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "CTranspBmp.h"
#include "CWizardBmp.h"
#include "ControlsTestIds.h"
#include "WineTestSupport.h"

#include "Afx.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {
const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 160, 0), kBlue = RGB(0, 0, 255), kYellow = RGB(255, 255, 0);

class ControlsDlg : public CDialog {
public:
    ControlsDlg() : CDialog(IDD_CONTROLS) {}
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Control(dx, IDC_TEST_PICTURE, m_picture);
        DDX_Control(dx, IDC_TEST_GLYPH, m_glyph);
        DDX_Control(dx, IDC_TEST_CAPTION, m_caption);
    }
    CWizardBmp m_picture;
    CTranspBmp m_glyph;
    CBoldTxt m_caption;
};

bool Near(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 24 && std::abs(GetGValue(a) - GetGValue(b)) <= 24 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 24;
}

std::string Hex(COLORREF c)
{
    char text[16];
    snprintf(text, sizeof(text), "#%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

COLORREF PixelOf(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

// Pixels of a bitmap, top-down, as COLORREF.
std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int& width, int& height)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    width = info.bmWidth;
    height = info.bmHeight;
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    std::vector<DWORD> quads(static_cast<size_t>(width) * static_cast<size_t>(height));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), quads.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> pixels;
    for (DWORD q : quads)
        pixels.push_back(RGB((q >> 16) & 0xFF, (q >> 8) & 0xFF, q & 0xFF));
    return pixels;
}
}

class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The bitmaps come from the module that holds them: here the test program.
        AfxSetResourceHandle(GetModuleHandleW(nullptr));
        m_dlg = std::make_unique<ControlsDlg>();
        ASSERT_TRUE(m_dlg->Create(IDD_CONTROLS));
        SetWindowPos(m_dlg->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        Settle();
    }

    void TearDown() override
    {
        if (m_dlg && m_dlg->m_hWnd)
            m_dlg->DestroyWindow();
    }

    void Settle()
    {
        UpdateWindow(m_dlg->m_hWnd);
        wts::Pump(300);
    }

    void Resize(HWND control, int width, int height)
    {
        SetWindowPos(control, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        InvalidateRect(control, nullptr, TRUE);
        Settle();
    }

    // The control's pixels, row by row.
    std::vector<COLORREF> Snapshot(HWND control, int& width)
    {
        RECT client;
        GetClientRect(control, &client);
        width = client.right;
        std::vector<COLORREF> pixels;
        HDC dc = GetDC(control);
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x)
                pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(control, dc);
        return pixels;
    }

    // One past the rightmost column with ink: bold letters are wider.
    static int InkEnd(const std::vector<COLORREF>& pixels, int width)
    {
        int end = 0;
        for (size_t i = 0; i < pixels.size(); ++i) {
            COLORREF c = pixels[i];
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 160 && static_cast<int>(i % width) + 1 > end)
                end = static_cast<int>(i % width) + 1;
        }
        return end;
    }

    std::unique_ptr<ControlsDlg> m_dlg;
};

TEST_F(Controls, PictureFillsTheControlWhateverItsShape)
{
    HWND picture = m_dlg->m_picture.m_hWnd;
    for (SIZE size : {SIZE{160, 40}, SIZE{40, 120}, SIZE{8, 8}}) {
        Resize(picture, size.cx, size.cy);
        int w = size.cx, h = size.cy;
        COLORREF tl = PixelOf(picture, w / 4, h / 4), tr = PixelOf(picture, 3 * w / 4, h / 4);
        COLORREF bl = PixelOf(picture, w / 4, 3 * h / 4), br = PixelOf(picture, 3 * w / 4, 3 * h / 4);
        EXPECT_TRUE(Near(tl, kRed)) << w << "x" << h << " top left " << Hex(tl);
        EXPECT_TRUE(Near(tr, kGreen)) << w << "x" << h << " top right " << Hex(tr);
        EXPECT_TRUE(Near(bl, kBlue)) << w << "x" << h << " bottom left " << Hex(bl);
        EXPECT_TRUE(Near(br, kYellow)) << w << "x" << h << " bottom right " << Hex(br);
    }
}

TEST_F(Controls, GlyphShowsItsWhiteInTheButtonFaceColour)
{
    HWND glyph = m_dlg->m_glyph.m_hWnd;
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    ASSERT_NE(face, RGB(255, 255, 255)) << "the test needs a button face other than white";
    EXPECT_EQ(Hex(PixelOf(glyph, 0, 0)), Hex(face));
    EXPECT_EQ(Hex(PixelOf(glyph, 7, 7)), Hex(face));
    EXPECT_EQ(Hex(PixelOf(glyph, 3, 3)), Hex(kRed));   // other colours stay
    EXPECT_EQ(Hex(PixelOf(glyph, 5, 2)), Hex(kRed));
}

TEST_F(Controls, WhiteIsMappedInPaletteAndHighColourBitmapsAlike)
{
    const COLORREF face = RGB(10, 20, 30);
    for (UINT id : {2142u, static_cast<UINT>(IDB_TEST_GLYPH_24)}) {
        HBITMAP bitmap = LoadFaceMappedBitmap(GetModuleHandleW(nullptr), id, face);
        ASSERT_NE(bitmap, nullptr) << id;
        int width = 0, height = 0;
        std::vector<COLORREF> pixels = BitmapPixels(bitmap, width, height);
        DeleteObject(bitmap);
        ASSERT_EQ(width, 8) << id;
        ASSERT_EQ(height, 8) << id;
        EXPECT_EQ(Hex(pixels[0]), Hex(face)) << id;
        EXPECT_EQ(Hex(pixels[3 * 8 + 3]), Hex(kRed)) << id;
    }
    EXPECT_EQ(LoadFaceMappedBitmap(GetModuleHandleW(nullptr), 4242, face), nullptr);
}

TEST_F(Controls, CaptionRepaintsOnlyWhenItsWeightChanges)
{
    HWND caption = m_dlg->m_caption.m_hWnd;
    RECT update;
    ValidateRect(caption, nullptr);
    m_dlg->m_caption.SetBold(true);
    EXPECT_TRUE(GetUpdateRect(caption, &update, FALSE)) << "first switch to bold";
    ValidateRect(caption, nullptr);
    m_dlg->m_caption.SetBold(true);
    EXPECT_FALSE(GetUpdateRect(caption, &update, FALSE)) << "bold again";
    m_dlg->m_caption.SetBold(false);
    EXPECT_TRUE(GetUpdateRect(caption, &update, FALSE)) << "back to plain";
}

TEST_F(Controls, BoldCaptionIsWiderThanPlainAndSwitchesBackCleanly)
{
    HWND caption = m_dlg->m_caption.m_hWnd;
    int width = 0;
    Settle();
    std::vector<COLORREF> plain = Snapshot(caption, width);
    m_dlg->m_caption.SetBold(true);
    Settle();
    std::vector<COLORREF> bold = Snapshot(caption, width);
    m_dlg->m_caption.SetBold(false);
    Settle();
    std::vector<COLORREF> plainAgain = Snapshot(caption, width);
    int plainEnd = InkEnd(plain, width), boldEnd = InkEnd(bold, width);
    EXPECT_GT(plainEnd, 0);
    EXPECT_GT(boldEnd, plainEnd + plainEnd / 20) << "plain text ends at " << plainEnd << ", bold at " << boldEnd;
    // No trace of the wider letters is left.
    EXPECT_TRUE(plainAgain == plain) << "plain again ends at " << InkEnd(plainAgain, width);
}
