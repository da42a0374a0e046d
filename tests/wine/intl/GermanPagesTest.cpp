// The wizard in German, as a German user sees it: the Begin page and the Files
// page with a list of drawings whose names hold umlauts. Their pictures are the
// documentation's (KEST_WIZARD_SHOTS).
#include "FilesOptionsIds.h"
#include "HostKeys.h"
#include "WineTestSupport.h"
#include "WizardInLanguage.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <prsht.h>

#include <cwchar>
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

    ASSERT_TRUE(wizard.Start()) << "Transmora.exe shows no German wizard";
    wizard.Screenshot(L"de-begin.png");
    ASSERT_TRUE(wizard.PassBegin()) << "no Files page";
    ASSERT_TRUE(wizard.LoadList(list, 5)) << "the list was not loaded";
    wizard.Screenshot(L"de-files.png");
    // The page's own texts come from the German module too.
    HWND page = reinterpret_cast<HWND>(SendMessageW(wizard.Sheet(), PSM_GETCURRENTPAGEHWND, 0, 0));
    wchar_t count[64];
    swprintf(count, 64, wizard.Text(IDS_FILES_COUNT_MANY).c_str(), 5);
    EXPECT_EQ(wts::WindowText(GetDlgItem(page, IDC_FILES_COUNT)), count);
    EXPECT_TRUE(wizard.Cancel()) << "the wizard did not end on Cancel";
}
