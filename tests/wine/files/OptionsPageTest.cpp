// The Options page: its check boxes and their groups, the time-out's range, the template file it
// insists on, the flags it clears; and the settings of both pages as the run's scripts and batch carry them.
#include "CKestNoluApp.h"
#include "CPageOptions.h"
#include "FilesFixture.h"
#include "FilesOptionsIds.h"
#include "HostKeys.h"
#include "ResourceIds.h"
#include "TextLocale.h"
#include "WineTestSupport.h"

#include <cwchar>

using namespace files;

namespace {
const int kFilesPage = 1;
const int kOptionsPage = 2;
const int kStandardsPage = 3;

const int kPurgeGroup[] = {IDC_OPTIONS_PURGE_BLOCKS, IDC_OPTIONS_PURGE_LAYERS, IDC_OPTIONS_PURGE_DIMS,
                           IDC_OPTIONS_PURGE_PLOTS,  IDC_OPTIONS_PURGE_LABEL,  IDC_OPTIONS_PURGE_LTYPES,
                           IDC_OPTIONS_PURGE_STYLES, IDC_OPTIONS_PURGE_MLINES, IDC_OPTIONS_PURGE_SHAPES};

std::wstring RangeMessage()
{
    return L"Please enter an integer between 1 and 1440.";
}

// Presses Next and expects a box with this text; answers it and checks the page stayed.
void ExpectRefusal(WizardRun& ui, const std::wstring& text, const char* what)
{
    ui.PressWizardButton(PSBTN_NEXT);
    Box box = ui.WaitForBox();
    EXPECT_EQ(box.text, text) << what;
    ui.Answer(box, IDOK);
    Sleep(200);
    EXPECT_EQ(ui.PageIndex(), kOptionsPage) << what;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}
}

TEST_F(FilesTest, DefaultFlagsTickOnlyLayersAndGreyBothGroups)
{
    WizardRun::Run(kOptionsPage, [&](WizardRun& ui) {
        for (int id = IDC_OPTIONS_USE_TEMPLATE; id <= IDC_OPTIONS_PURGE_SHAPES; ++id) {
            if (id == IDC_OPTIONS_TEMPLATE || id == IDC_OPTIONS_BROWSE || id == IDC_OPTIONS_PURGE_LABEL)
                continue;
            EXPECT_EQ(ui.Checked(id), id == IDC_OPTIONS_PURGE_LAYERS) << "box " << id;
        }
        for (int id : kPurgeGroup)
            EXPECT_FALSE(ui.Enabled(id)) << "control " << id;
        EXPECT_FALSE(ui.Enabled(IDC_OPTIONS_TEMPLATE));
        EXPECT_FALSE(ui.Enabled(IDC_OPTIONS_BROWSE));
        EXPECT_TRUE(ui.Enabled(IDC_OPTIONS_PURGE));
        EXPECT_EQ(wts::WindowText(ui.Item(IDC_OPTIONS_TIMEOUT)), L"120");
    });
}

TEST_F(FilesTest, TimeoutOutsideOneTo1440KeepsThePage)
{
    WizardRun::Run(kOptionsPage, [&](WizardRun& ui) {
        ui.SetItemText(IDC_OPTIONS_TIMEOUT, L"0");
        ExpectRefusal(ui, RangeMessage(), "time-out 0");
        ui.SetItemText(IDC_OPTIONS_TIMEOUT, L"1441");
        ExpectRefusal(ui, RangeMessage(), "time-out 1441");
        ui.SetItemText(IDC_OPTIONS_TIMEOUT, L"1");
        ASSERT_TRUE(ui.Next(kStandardsPage)) << "time-out 1: page " << ui.PageIndex();
        EXPECT_EQ(theApp.m_Timeout, 1);
        ASSERT_TRUE(ui.Back(kOptionsPage));
        ui.SetItemText(IDC_OPTIONS_TIMEOUT, L"1440");
        ASSERT_TRUE(ui.Next(kStandardsPage)) << "time-out 1440: page " << ui.PageIndex();
        EXPECT_EQ(theApp.m_Timeout, 1440);
        // Back leaves the page too: an invalid time-out keeps it there as well.
        ASSERT_TRUE(ui.Back(kOptionsPage));
        ui.SetItemText(IDC_OPTIONS_TIMEOUT, L"5000");
        ui.PressWizardButton(PSBTN_BACK);
        Box box = ui.WaitForBox();
        EXPECT_EQ(box.text, RangeMessage()) << "Back with time-out 5000";
        ui.Answer(box, IDOK);
        Sleep(200);
        EXPECT_EQ(ui.PageIndex(), kOptionsPage);
    });
}

TEST_F(FilesTest, PurgeBoxGreysItsGroupAndKeepsTheTicks)
{
    theApp.m_DrxlmFlags = 0x40 | 0x800 | 0x8;
    WizardRun::Run(kOptionsPage, [&](WizardRun& ui) {
        ui.Click(IDC_OPTIONS_PURGE);
        ASSERT_TRUE(WaitUntil([&] { return ui.Enabled(IDC_OPTIONS_PURGE_BLOCKS); })) << "ticking Purge";
        for (int id : kPurgeGroup)
            EXPECT_TRUE(ui.Enabled(id)) << "control " << id;
        ui.Click(IDC_OPTIONS_PURGE_BLOCKS);
        ASSERT_TRUE(WaitUntil([&] { return ui.Checked(IDC_OPTIONS_PURGE_BLOCKS); }));
        ui.Click(IDC_OPTIONS_PURGE);
        ASSERT_TRUE(WaitUntil([&] { return !ui.Enabled(IDC_OPTIONS_PURGE_BLOCKS); })) << "unticking Purge";
        for (int id : kPurgeGroup)
            EXPECT_FALSE(ui.Enabled(id)) << "control " << id;
        EXPECT_TRUE(ui.Checked(IDC_OPTIONS_PURGE_BLOCKS));
        EXPECT_TRUE(ui.Checked(IDC_OPTIONS_PURGE_LAYERS));
        ui.Click(IDC_OPTIONS_PURGE);
        ASSERT_TRUE(WaitUntil([&] { return ui.Enabled(IDC_OPTIONS_PURGE_BLOCKS); }));
        EXPECT_TRUE(ui.Checked(IDC_OPTIONS_PURGE_BLOCKS)) << "ticks come back with the group";
        ASSERT_TRUE(ui.Next(kStandardsPage));
    });
    // The boxes' ten bits from the boxes; 0x40 and 0x800 have no box and stay.
    EXPECT_EQ(theApp.m_DrxlmFlags, 0x40 | 0x800 | 0x8 | 0x4 | 0x2) << std::hex << theApp.m_DrxlmFlags;
}

TEST_F(FilesTest, TheTemplateOptionNeedsAnExistingTemplateFile)
{
    WriteText(In(L"company.dwt"), "template");
    WizardRun::Run(kOptionsPage, [&](WizardRun& ui) {
        // Off, a wrong path blocks nothing.
        SendMessageW(ui.Item(IDC_OPTIONS_TEMPLATE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"c:\\no\\such.dwt"));
        ASSERT_TRUE(ui.Next(kStandardsPage)) << "template box off";
        ASSERT_TRUE(ui.Back(kOptionsPage));

        ui.Click(IDC_OPTIONS_USE_TEMPLATE);
        ASSERT_TRUE(WaitUntil([&] { return ui.Enabled(IDC_OPTIONS_TEMPLATE) && ui.Enabled(IDC_OPTIONS_BROWSE); }));
        ExpectRefusal(ui, Text(IDS_OPTIONS_NO_TEMPLATE), "a template that does not exist");
        ui.SetItemText(IDC_OPTIONS_TEMPLATE, L"");
        ui.PressWizardButton(PSBTN_NEXT);
        Box empty = ui.WaitForBox();
        EXPECT_EQ(empty.text, Text(IDS_OPTIONS_NO_TEMPLATE)) << "an empty template path";
        EXPECT_EQ(empty.caption, Text(IDS_CAPTION));
        EXPECT_EQ(empty.icon, LoadIconW(nullptr, IDI_WARNING));
        ui.Answer(empty, IDOK);
        // A folder exists too, but is no template file.
        MakeFolder(In(L"folder.dwt"));
        ui.SetItemText(IDC_OPTIONS_TEMPLATE, In(L"folder.dwt"));
        ExpectRefusal(ui, Text(IDS_OPTIONS_NO_TEMPLATE), "a folder named as the template");
        ui.SetItemText(IDC_OPTIONS_TEMPLATE, In(L"company.dwt"));
        ASSERT_TRUE(ui.Next(kStandardsPage)) << "an existing template";
    });
    EXPECT_EQ(theApp.m_templatePath, In(L"company.dwt"));
    EXPECT_EQ(theApp.m_DrxlmFlags & 0x1, 0x1);
}

TEST_F(FilesTest, BrowseFillsInTheChosenTemplate)
{
    std::vector<OPENFILENAMEW> asked;
    int calls = 0;
    CPageOptions::s_openFileHook = [&](OPENFILENAMEW& ofn) -> BOOL {
        asked.push_back(ofn);
        if (++calls == 2)
            return FALSE;
        wcscpy(ofn.lpstrFile, L"c:\\templates\\iso.dwt");
        return TRUE;
    };
    theApp.m_DrxlmFlags |= 0x1;
    WizardRun::Run(kOptionsPage, [&](WizardRun& ui) {
        ui.Click(IDC_OPTIONS_BROWSE);
        EXPECT_TRUE(WaitUntil([&] {
            return wts::WindowText(ui.Item(IDC_OPTIONS_TEMPLATE)) == L"c:\\templates\\iso.dwt";
        })) << Narrow(wts::WindowText(ui.Item(IDC_OPTIONS_TEMPLATE)));
        ui.Click(IDC_OPTIONS_BROWSE);
        ASSERT_TRUE(WaitUntil([&] { return calls == 2; }));
        Sleep(200);
        EXPECT_EQ(wts::WindowText(ui.Item(IDC_OPTIONS_TEMPLATE)), L"c:\\templates\\iso.dwt") << "a cancelled browse";
    });
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].lStructSize, 152u);
    EXPECT_EQ(asked[0].Flags, 0x81000u);
    EXPECT_EQ(std::wstring(asked[0].lpstrFilter), L"DWT Files");
    EXPECT_EQ(std::wstring(asked[0].lpstrFilter + 10), L"*.dwt");
    EXPECT_EQ(std::wstring(asked[0].lpstrDefExt), L"dwt");
    EXPECT_EQ(asked[0].nMaxFile, 260u);
    EXPECT_EQ(theApp.m_templatePath, L"c:\\templates\\iso.dwt");

    // Shells before XP get the structure without its newer fields.
    theApp.m_atLeastXP = false;
    asked.clear();
    calls = 1;
    WizardRun::Run(kOptionsPage, [&](WizardRun& ui) {
        ui.Click(IDC_OPTIONS_BROWSE);
        ASSERT_TRUE(WaitUntil([&] { return calls == 2; }));
    });
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].lStructSize, 136u);
}

TEST_F(FilesTest, OptionsPageClearsUpdateAndOptionFlags)
{
    WizardRun::Run(kOptionsPage, [&](WizardRun& ui) { ASSERT_TRUE(ui.Next(kStandardsPage)); });
    EXPECT_EQ(theApp.m_UpdateFlags, 0);
    EXPECT_EQ(theApp.m_OptionFlags, 0);
}

TEST_F(FilesTest, TheSettingsOfBothPagesReachTheRun)
{
    SetSystemLanguageForTest(0x0409);
    WriteDrawing(In(L"first.dwg"));
    WriteDrawing(In(L"second.dwg"));
    WriteDrawing(In(L"locked.dwg"));
    SetFileAttributesW(In(L"locked.dwg").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteText(In(L"company.dwt"), "template");
    m_dialogs.Install();
    m_dialogs.Choose({In(L"first.dwg"), In(L"second.dwg"), In(L"locked.dwg")});
    CPageOptions::s_openFileHook = [&](OPENFILENAMEW& ofn) -> BOOL {
        wcscpy(ofn.lpstrFile, In(L"company.dwt").c_str());
        return TRUE;
    };

    WizardRun::Run(kFilesPage, [&](WizardRun& ui) {
        ui.Click(IDC_FILES_ADD);
        ASSERT_TRUE(ui.WaitRows(3));
        ui.PressWizardButton(PSBTN_NEXT);
        Box unsaved = ui.WaitForBox();
        ui.Answer(unsaved, IDNO);
        ASSERT_TRUE(WaitUntil([&] { return ui.PageIndex() == kOptionsPage; }));
        ui.Click(IDC_OPTIONS_USE_TEMPLATE);
        ASSERT_TRUE(WaitUntil([&] { return ui.Enabled(IDC_OPTIONS_BROWSE); }));
        ui.Click(IDC_OPTIONS_BROWSE);
        ASSERT_TRUE(WaitUntil([&] { return wts::WindowText(ui.Item(IDC_OPTIONS_TEMPLATE)) == In(L"company.dwt"); }));
        ui.Click(IDC_OPTIONS_PURGE);
        ASSERT_TRUE(WaitUntil([&] { return ui.Enabled(IDC_OPTIONS_PURGE_BLOCKS); }));
        ui.Click(IDC_OPTIONS_PURGE_BLOCKS);
        ui.Click(IDC_OPTIONS_PURGE_LTYPES);
        ASSERT_TRUE(WaitUntil([&] { return ui.Checked(IDC_OPTIONS_PURGE_LTYPES); }));
        ui.SetItemText(IDC_OPTIONS_TIMEOUT, L"45");
        ASSERT_TRUE(ui.Next(kStandardsPage));
    });

    EXPECT_EQ(theApp.m_drawings, (std::vector<std::wstring>{Shown(L"first.dwg"), Shown(L"second.dwg")}));
    EXPECT_EQ(theApp.m_Timeout, 45);
    // What the run writes from these settings: the update script and the analysis batch.
    theApp.m_migrationFolder = L"c:\\draxil\\migration";
    theApp.m_hostFolder = L"c:\\draxil";
    theApp.m_progressFile = In(L"progress.tmp");
    g_logFile = In(L"run.log");
    theApp.WriteBodyScript(In(L"update.scr"), false, true);
    std::string update = wts::ReadFileBytes(In(L"update.scr"));
    EXPECT_TRUE(Contains(update, "_kesetupdwg\r\n_T\r\n" + Narrow(In(L"company.dwt")) + "\r\n")) << update;
    EXPECT_TRUE(Contains(update, "_-purge _B * _N\r\n")) << update;
    EXPECT_TRUE(Contains(update, "_-purge _LA * _N\r\n")) << update;
    EXPECT_TRUE(Contains(update, "_-purge _LT * _N\r\n")) << update;
    EXPECT_FALSE(Contains(update, "_-purge _D * _N")) << update;
    EXPECT_TRUE(Contains(update, "_kestmode\r\n1\r\n")) << "host mode 1 once the page cleared OptionFlags\n" << update;
    theApp.m_headScript = In(L"head.scr");
    theApp.m_drawingScript = In(L"drawing.scr");
    theApp.WriteBatchFile(0, In(L"analysis.bat"), In(L"scan.scr"), L"", true);
    std::string batch = wts::ReadFileBytes(In(L"analysis.bat"));
    EXPECT_TRUE(Contains(batch, Narrow(Shown(L"first.dwg")))) << batch;
    EXPECT_TRUE(Contains(batch, Narrow(Shown(L"second.dwg")))) << batch;
    EXPECT_FALSE(Contains(batch, "locked.dwg")) << batch;
    // And the time-out the progress dialog gives each drawing is stored for the next start.
    theApp.WriteSettings();
    DWORD timeout = 0;
    ASSERT_TRUE(wts::RegGetDword(HKEY_CURRENT_USER, MigrationSettingsKey(), L"Timeout", timeout));
    EXPECT_EQ(timeout, 45u);
}
