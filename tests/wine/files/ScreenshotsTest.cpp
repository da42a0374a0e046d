// The pictures of both pages for the documentation: the Files page with a list and a preview, the
// Options page with its choices made. They run in the suite's first process (see FilesMain.cpp).
#include "CKestNoluApp.h"
#include "DrawingGenerator.h"
#include "FilesFixture.h"
#include "FilesOptionsIds.h"
#include "WineTestSupport.h"

#include <commctrl.h>

#include <cmath>

using namespace files;

namespace {
// A thumbnail that looks like a part drawing: a frame, a title block and a few shapes varied by seed.
std::vector<uint8_t> PartThumbnail(unsigned seed)
{
    const int width = 160, height = 120;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap =
        CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HPEN frame = CreatePen(PS_SOLID, 1, RGB(40, 40, 40));
    HPEN part = CreatePen(PS_SOLID, 2, RGB(20, 60, 160));
    HPEN axis = CreatePen(PS_DASHDOT, 1, RGB(200, 40, 40));
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    SelectObject(dc, frame);
    Rectangle(dc, 4, 4, width - 4, height - 4);
    Rectangle(dc, width - 60, height - 24, width - 4, height - 4);
    MoveToEx(dc, width - 60, height - 14, nullptr);
    LineTo(dc, width - 4, height - 14);
    SelectObject(dc, part);
    const int cx = 60 + static_cast<int>(seed % 3) * 6, cy = 52, r = 22 + static_cast<int>(seed % 4) * 4;
    if (seed % 2)
        Ellipse(dc, cx - r, cy - r, cx + r, cy + r);
    else
        Rectangle(dc, cx - r - 8, cy - r + 4, cx + r + 8, cy + r - 4);
    Ellipse(dc, cx - 8, cy - 8, cx + 8, cy + 8);
    for (unsigned i = 0; i < 4 + seed % 3; ++i) {
        double a = 6.2831853 * i / (4 + seed % 3);
        int x = cx + static_cast<int>(std::lround((r - 7) * std::cos(a)));
        int y = cy + static_cast<int>(std::lround((r - 7) * std::sin(a)));
        Ellipse(dc, x - 3, y - 3, x + 3, y + 3);
    }
    SelectObject(dc, axis);
    MoveToEx(dc, cx - r - 12, cy, nullptr);
    LineTo(dc, cx + r + 12, cy);
    MoveToEx(dc, cx, cy - r - 10, nullptr);
    LineTo(dc, cx, cy + r + 10);
    GdiFlush();
    const size_t stride = (width * 3 + 3) & ~3u;
    std::vector<uint8_t> dib(sizeof(header) + stride * height);
    memcpy(dib.data(), &header, sizeof(header));
    memcpy(dib.data() + sizeof(header), bits, stride * height);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    DeleteObject(frame);
    DeleteObject(part);
    DeleteObject(axis);
    return dib;
}

void WritePart(const std::wstring& path, const std::string& magic, int maintenance, unsigned seed)
{
    DrawingSpec spec;
    spec.magic = magic;
    spec.maintenance = static_cast<uint8_t>(maintenance);
    spec.thumbnail = PartThumbnail(seed);
    std::vector<uint8_t> bytes = DrawingGenerator::MakeDrawing(spec);
    wts::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
}
}

class Screenshots : public FilesTest {
};

TEST_F(Screenshots, FilesPage)
{
    const std::wstring folder = L"C:\\Projects\\Gearbox 2019";
    MakeFolder(folder + L"\\Housing");
    MakeFolder(folder + L"\\Shafts");
    const struct {
        const wchar_t* name;
        const char* magic;
        int maintenance;
    } parts[] = {
        {L"\\Housing\\housing lower.dwg", "DX1021", 20},
        {L"\\Housing\\housing upper.dwg", "DX1021", 20},
        {L"\\Housing\\cover plate.dwg", "DX1018", 50},
        {L"\\Housing\\bearing seat.dwg", "DX1024", 47},
        {L"\\Shafts\\input shaft.dwg", "DX1027", 60},
        {L"\\Shafts\\output shaft.dwg", "DX1027", 60},
        {L"\\Shafts\\gear wheel z42.dwg", "DX1015", 8},
        {L"\\Shafts\\spacer ring.dwg", "DX1015", 3},
        {L"\\assembly.dwg", "DX1024", 50},
        {L"\\old sketch.dwg", "DX1009", 0},
    };
    unsigned seed = 1;
    for (const auto& part : parts)
        WritePart(folder + part.name, part.magic, part.maintenance, seed++);
    SetFileAttributesW((folder + L"\\Shafts\\spacer ring.dwg").c_str(), FILE_ATTRIBUTE_READONLY);
    m_dialogs.Install();
    m_dialogs.Choose({folder});

    WizardRun::Run(1, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD_FOLDER);
        ASSERT_TRUE(ui.WaitRows(10));
        ui.ClickHeader(1);
        ASSERT_TRUE(WaitUntil([&] { return ui.Cell(0, 0) == L"assembly"; }, 10000)) << Narrow(ui.Cell(0, 0));
        // A click on a row, as the user makes one: the list takes the focus and shows the row's picture.
        RECT row = {LVIR_BOUNDS};
        SendMessageW(ui.List(), LVM_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&row));
        LPARAM at = MAKELPARAM(row.left + 20, (row.top + row.bottom) / 2);
        PostMessageW(ui.List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(ui.List(), WM_LBUTTONUP, 0, at);
        ASSERT_TRUE(WaitUntil([&] { return ui.SelectedCount() == 1; }));
        HWND preview = ui.Item(IDC_FILES_PREVIEW);
        EXPECT_TRUE(WaitUntil([&] {
            RECT client;
            GetClientRect(preview, &client);
            HDC dc = GetDC(preview);
            COLORREF c = GetPixel(dc, client.right / 2, client.bottom / 2);
            ReleaseDC(preview, dc);
            return c != GetSysColor(COLOR_BTNFACE);
        })) << "no preview";
        ui.Screenshot(L"wizard-files.png");
    });
}

TEST_F(Screenshots, OptionsPage)
{
    theApp.m_DrxlmFlags = 0x1 | 0x2 | 0x4 | 0x8 | 0x80 | 0x100;
    theApp.m_templatePath = L"C:\\Projects\\Templates\\Company A3.dwt";
    theApp.m_Timeout = 90;
    WizardRun::Run(2, [&](WizardRun& ui) { ui.Screenshot(L"wizard-options.png"); });
}
