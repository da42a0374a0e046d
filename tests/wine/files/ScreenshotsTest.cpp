// The pictures of both pages for the documentation: the Files page with a list and a preview, the
// Options page with its choices made. They run in the suite's first process (see FilesMain.cpp).
#include "CKestNoluApp.h"
#include "DrawingGenerator.h"
#include "FilesFixture.h"
#include "FilesOptionsIds.h"
#include "WineTestSupport.h"

#include <commctrl.h>

using namespace files;

namespace {
void WritePart(const std::wstring& path, const std::string& magic, int maintenance, unsigned seed)
{
    DrawingSpec spec;
    spec.magic = magic;
    spec.maintenance = static_cast<uint8_t>(maintenance);
    spec.thumbnail = wts::PartThumbnail(seed);
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
