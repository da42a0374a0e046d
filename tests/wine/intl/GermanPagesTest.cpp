// The wizard in German, as a German user sees it: the Begin page and the Files
// page with a list of drawings whose names hold umlauts. Their pictures are the
// documentation's (KEST_WIZARD_SHOTS).
#include "FilesOptionsIds.h"
#include "HostKeys.h"
#include "WineTestSupport.h"
#include "WizardInLanguage.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

TEST(German, TheBeginAndFilesPagesShowTheGermanTexts)
{
    WizardInLanguage wizard(L"de-DE");
    ASSERT_TRUE(wizard.HasModule()) << "no drxlm\\de-DE\\keNoluRes.dll in the bin folder";
    wts::RegSetString(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Decorated", L"N");
    ASSERT_EQ(wts::InstallHost(wts::FreshDir(L"host"), L"de-DE"), 0);
    ResetHostKeysForTest();
    UseBatchProfile();

    std::wstring root = L"C:\\Zeichnungen";   // where the picture shows the folders whole
    std::vector<std::wstring> drawings = {
        root + L"\\Getriebe\\Gehäuse.dwg", root + L"\\Getriebe\\Welle mit Zahnrad.dwg",
        root + L"\\Förderband\\Umlenkrolle.dwg", root + L"\\Förderband\\Spannstation.dwg",
        root + L"\\Rahmen\\Grundrahmen geschweißt.dwg"};
    ASSERT_TRUE(WizardInLanguage::MakeDrawings(drawings, "DX1021"));
    std::wstring list = root + L"\\Werk 7.dml";
    wizard.WriteList(list, drawings);

    TransmoraDriver app(wizard.Start());
    ASSERT_NE(app.WaitForBeginPage(), nullptr) << "Transmora.exe shows no German wizard";
    wizard.Screenshot(L"de-begin.png", app.Sheet());
    ASSERT_TRUE(app.ToFilesPage()) << "no Files page";
    ASSERT_TRUE(app.LoadList(list, 5)) << "the list was not loaded";
    EXPECT_TRUE(app.SelectFirstDrawing()) << "no drawing selected for the preview";
    wizard.Screenshot(L"de-files.png", app.Sheet());
    // The page's own texts come from the German module too.
    EXPECT_EQ(wts::WindowText(GetDlgItem(wiz::CurrentPage(app.Sheet()), IDC_FILES_COUNT)),
              wts::Format(IDS_FILES_COUNT_MANY, 5, L"de-DE"));
    EXPECT_TRUE(app.Cancel()) << "the wizard did not end on Cancel";
}
