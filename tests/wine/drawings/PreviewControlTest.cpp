// The preview control in a dialog with the Files page's list: what it paints for no, one and two selected rows,
// and that repainting the same drawing does not read the file again.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "CPreview.h"
#include "DrawingGenerator.h"
#include "DrawingRecord.h"
#include "DrawingsTestIds.h"
#include "WineTestSupport.h"

namespace {
INT_PTR CALLBACK PlainDialog(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// The preview area is 208 x 208 pixels: the picture box inside the margin is 200 x 200.
constexpr int kSide = 208;

PictureSpec Thumbnail(uint32_t seed)
{
    PictureSpec spec;
    spec.width = 100;
    spec.height = 50;
    spec.bitCount = 8;
    spec.compression = 1;
    spec.colorsUsed = 16;
    spec.seed = seed;
    // The drawing of the documentation's screenshot looks like a drawing sheet; the others keep the pattern
    // of many colours, which shows any pixel out of place.
    spec.sheet = seed == 3;
    return spec;
}

void WriteThumbnailDrawing(const std::wstring& path, uint32_t seed)
{
    DrawingSpec spec;
    spec.magic = "DX1027";
    spec.thumbnail = DrawingGenerator::MakeDib(Thumbnail(seed));
    std::vector<uint8_t> bytes = DrawingGenerator::MakeDrawing(spec);
    wts::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

class PreviewControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        CPreview::ForgetCache();
        dir = wts::FreshDir(L"preview") + L"\\";
        dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PREVIEW_TEST), nullptr,
                                    PlainDialog, 0);
        ASSERT_TRUE(dialog);
        HWND area = GetDlgItem(dialog, IDC_PREVIEW);
        RECT r;
        GetWindowRect(area, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(area, nullptr, r.left, r.top, kSide, kSide, SWP_NOZORDER);
        ASSERT_TRUE(preview.SubclassWindow(area));
        list.m_hWnd = GetDlgItem(dialog, IDC_DRAWING_LIST);
        preview.m_list = &list;
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 200;
        column.pszText = const_cast<wchar_t*>(L"Name");
        ListView_InsertColumn(list.m_hWnd, 0, &column);
        ShowWindow(dialog, SW_SHOW);
        wts::Pump(200);
    }

    void TearDown() override
    {
        preview.UnsubclassWindow();
        DestroyWindow(dialog);
        for (DrawingRecord* r : records)
            delete r;
    }

    void AddRow(const wchar_t* name, bool missing = false)
    {
        DrawingRecord* record = new DrawingRecord;
        record->folder = dir.c_str();
        record->name = name;
        record->missing = missing;
        records.push_back(record);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = ListView_GetItemCount(list.m_hWnd);
        item.pszText = const_cast<wchar_t*>(name);
        item.lParam = reinterpret_cast<LPARAM>(record);
        ListView_InsertItem(list.m_hWnd, &item);
    }

    // Selects exactly the given rows and lets the control repaint, as the Files page has it do.
    void Select(std::initializer_list<int> rows)
    {
        ListView_SetItemState(list.m_hWnd, -1, 0, LVIS_SELECTED);
        for (int row : rows)
            ListView_SetItemState(list.m_hWnd, row, LVIS_SELECTED, LVIS_SELECTED);
        Repaint();
    }

    void Repaint()
    {
        preview.Invalidate(true);
        UpdateWindow(preview.m_hWnd);
        wts::Pump(300);
    }

    COLORREF At(int x, int y)
    {
        HDC dc = GetDC(preview.m_hWnd);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(preview.m_hWnd, dc);
        return c;
    }

    // Counts the picture's pixels that differ from the thumbnail of `seed` drawn twice as large at (4, 54).
    int Mismatches(uint32_t seed)
    {
        PictureSpec spec = Thumbnail(seed);
        int bad = 0;
        for (int y = 0; y < spec.height; y++)
            for (int x = 0; x < spec.width; x++) {
                DrawingGenerator::Rgb want =
                    DrawingGenerator::TableColor(spec, DrawingGenerator::PatternIndex(spec, x, y));
                for (int dy = 0; dy < 2; dy++)
                    for (int dx = 0; dx < 2; dx++)
                        if (At(4 + 2 * x + dx, 54 + 2 * y + dy) != RGB(want.red, want.green, want.blue) && bad++ < 3)
                            ADD_FAILURE() << "pixel " << x << "," << y << " shows 0x" << std::hex
                                          << At(4 + 2 * x + dx, 54 + 2 * y + dy) << ", want 0x"
                                          << RGB(want.red, want.green, want.blue);
            }
        return bad;
    }

    bool OnlyBackground()
    {
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        for (int y = 0; y < kSide; y += 7)
            for (int x = 0; x < kSide; x += 7)
                if (At(x, y) != face)
                    return false;
        return true;
    }

    std::wstring dir;
    HWND dialog = nullptr;
    CPreview preview;
    CWnd list;
    std::vector<DrawingRecord*> records;
};
}

TEST_F(PreviewControl, DrawsTheSelectedThumbnailScaledAndCentred)
{
    WriteThumbnailDrawing(dir + L"gear.dwg", 3);
    AddRow(L"gear");
    Select({0});
    EXPECT_EQ(0, Mismatches(3)) << "100 x 50 drawn 200 x 100, 50 pixels below the box top";
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(face, At(2, 100)) << "margin";
    EXPECT_EQ(face, At(100, 50)) << "above the picture";
    EXPECT_EQ(face, At(100, 156)) << "below the picture";
    EXPECT_EQ(face, At(205, 100)) << "margin";

    // The screenshot of the documentation, taken inside this suite's own display.
    if (const char* shot = std::getenv("KEST_DRAWINGS_SCREENSHOT")) {
        EXPECT_TRUE(wts::Screenshot(shot, {dialog}));
    }
}

TEST_F(PreviewControl, RepaintingTheSameDrawingDoesNotReadItAgain)
{
    WriteThumbnailDrawing(dir + L"same.dwg", 5);
    WriteThumbnailDrawing(dir + L"other.dwg", 9);
    AddRow(L"same");
    AddRow(L"other");
    Select({0});
    ASSERT_EQ(0, Mismatches(5));

    // The file changes behind the control's back: repaints and reselection still show the copy.
    WriteThumbnailDrawing(dir + L"same.dwg", 7);
    Repaint();
    EXPECT_EQ(0, Mismatches(5));
    Select({});
    Select({0});
    EXPECT_EQ(0, Mismatches(5));

    // Another drawing is read; coming back reads the changed file.
    Select({1});
    EXPECT_EQ(0, Mismatches(9));
    Select({0});
    EXPECT_EQ(0, Mismatches(7));
}

TEST_F(PreviewControl, ShowsOnlyTheBackgroundWithoutASingleReadableDrawing)
{
    WriteThumbnailDrawing(dir + L"one.dwg", 1);
    WriteThumbnailDrawing(dir + L"two.dwg", 2);
    wts::WriteFileBytes(dir + L"junk.dwg", std::string(5000, '\x55'));
    AddRow(L"one");
    AddRow(L"two");
    AddRow(L"one", true);   // marked missing by the Files page
    AddRow(L"junk");
    AddRow(L"absent");

    Select({});
    EXPECT_TRUE(OnlyBackground()) << "no selection";
    Select({0, 1});
    EXPECT_TRUE(OnlyBackground()) << "two rows";
    Select({2});
    EXPECT_TRUE(OnlyBackground()) << "missing row";
    Select({3});
    EXPECT_TRUE(OnlyBackground()) << "no thumbnail in the file";
    Select({4});
    EXPECT_TRUE(OnlyBackground()) << "the file does not exist";
    Select({1});
    EXPECT_EQ(0, Mismatches(2));
}
