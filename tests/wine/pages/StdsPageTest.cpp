// The Standards page: the eight standards, the two boxes, what leaving the page
// stores in the job settings and in the host's "BOM Migration" key.
#include "CPageStds.h"
#include "PagesFixture.h"
#include "WineTestSupport.h"
#include "StdsSearchFinishIds.h"
#include "WizardIds.h"

namespace {
const UINT kNames[] = {IDS_STD_0, IDS_STD_1, IDS_STD_2, IDS_STD_3, IDS_STD_4, IDS_STD_5, IDS_STD_6, IDS_STD_7};

std::wstring Registry(const std::wstring& key, const wchar_t* name)
{
    std::wstring value;
    return wts::RegGetString(HKEY_CURRENT_USER, key, name, value) ? value : L"(missing)";
}
}

using StdsPage = PagesFixture;

TEST_F(StdsPage, ListsTheEightStandardsWithTheStoredOneSelectedAndItsGlyphs)
{
    theApp.m_SymbolStd = 3;
    theApp.m_QuenbarFlags = 2;
    std::vector<std::wstring> texts;
    std::vector<LPARAM> data;
    std::wstring selected;
    int image = -1, selectedImage = -1, imageCount = 0, imageWidth = 0;
    bool balloons = true, symbols = false, boxesEnabled = false;
    RunPages([&](HWND sheet) {
        HWND page = Page(sheet);
        HWND tree = GetDlgItem(page, IDC_STDS_TREE);
        for (HTREEITEM item : Children(tree, nullptr)) {
            texts.push_back(ItemText(tree, item));
            TVITEMW tv = {};
            tv.mask = TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
            tv.hItem = item;
            SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
            data.push_back(tv.lParam);
            image = tv.iImage;
            selectedImage = tv.iSelectedImage;
        }
        selected = ItemText(tree, TreeView_GetSelection(tree));
        HIMAGELIST images = TreeView_GetImageList(tree, TVSIL_NORMAL);
        imageCount = ImageList_GetImageCount(images);
        int height = 0;
        ImageList_GetIconSize(images, &imageWidth, &height);
        balloons = Checked(page, IDC_STDS_BALLOONS);
        symbols = Checked(page, IDC_STDS_SYMBOLS);
        boxesEnabled = Enabled(page, IDC_STDS_BALLOONS) && Enabled(page, IDC_STDS_SYMBOLS) &&
                       Enabled(page, IDC_STDS_UPDATE_GROUP);
    });
    ASSERT_EQ(texts.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(texts[i], wts::Text(kNames[i])) << "item " << i;
        EXPECT_EQ(data[i], static_cast<LPARAM>(i)) << "item " << i;
    }
    EXPECT_EQ(selected, wts::Text(IDS_STD_3));
    EXPECT_EQ(image, 0);
    EXPECT_EQ(selectedImage, 1);
    EXPECT_EQ(imageCount, 2) << "bitmap 2057 gives two glyphs";
    EXPECT_EQ(imageWidth, 24);
    EXPECT_FALSE(balloons);
    EXPECT_TRUE(symbols);
    EXPECT_TRUE(boxesEnabled);
}

TEST_F(StdsPage, NextStoresTheChoiceAndNamesTheStandardInTheHostKey)
{
    theApp.m_QuenbarFlags = 0;
    RunPages([&](HWND sheet) {
        HWND page = Page(sheet);
        HWND tree = GetDlgItem(page, IDC_STDS_TREE);
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Children(tree, nullptr)[5]));
        Toggle(page, IDC_STDS_BALLOONS);
        Toggle(page, IDC_STDS_SYMBOLS);
        wts::Pump(200);
        EXPECT_TRUE(Press(sheet, PSBTN_NEXT, 1));
    });
    EXPECT_EQ(theApp.m_SymbolStd, 5);
    EXPECT_EQ(theApp.m_QuenbarFlags, 3);
    EXPECT_EQ(Registry(BomKey(), L"Last Recently Used Standard"), wts::Text(IDS_STD_5));
    EXPECT_EQ(Registry(BomKey(), L"Original name"), wts::Text(IDS_STD_5));
}

TEST_F(StdsPage, TheEighthStandardIsStoredAsTheFirstButNamedAsItself)
{
    theApp.m_SymbolStd = 2;
    RunPages([&](HWND sheet) {
        HWND tree = GetDlgItem(Page(sheet), IDC_STDS_TREE);
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Children(tree, nullptr)[7]));
        EXPECT_TRUE(Press(sheet, PSBTN_NEXT, 1));
    });
    EXPECT_EQ(theApp.m_SymbolStd, 0);
    EXPECT_EQ(Registry(BomKey(), L"Last Recently Used Standard"), wts::Text(IDS_STD_7));

    // The next wizard shows the first standard chosen.
    std::wstring selected;
    RunPages([&](HWND sheet) {
        HWND tree = GetDlgItem(Page(sheet), IDC_STDS_TREE);
        selected = ItemText(tree, TreeView_GetSelection(tree));
    });
    EXPECT_EQ(selected, wts::Text(IDS_STD_0));
}

TEST_F(StdsPage, LeavingByBackStoresTooAndTheValuesStayAfterCancel)
{
    RunPages([&](HWND sheet) {
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 1));
        ASSERT_TRUE(Press(sheet, PSBTN_BACK, 0));
        HWND page = Page(sheet);
        HWND tree = GetDlgItem(page, IDC_STDS_TREE);
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Children(tree, nullptr)[1]));
        Toggle(page, IDC_STDS_SYMBOLS);
        wts::Pump(200);
        ASSERT_TRUE(Press(sheet, PSBTN_NEXT, 1));
        ASSERT_TRUE(Press(sheet, PSBTN_BACK, 0));
        EXPECT_EQ(theApp.m_SymbolStd, 1) << "leaving by Back stores as well";
    });
    EXPECT_EQ(theApp.m_QuenbarFlags, 2);
    EXPECT_EQ(Registry(BomKey(), L"Last Recently Used Standard"), wts::Text(IDS_STD_1));
}

TEST_F(StdsPage, WithOperation2TheBoxesKeepTheirValuesButCannotBeChanged)
{
    theApp.m_Operation = 2;
    theApp.m_QuenbarFlags = 1;
    bool balloons = false, symbols = true, anyEnabled = true, treeEnabled = false;
    RunPages([&](HWND sheet) {
        HWND page = Page(sheet);
        balloons = Checked(page, IDC_STDS_BALLOONS);
        symbols = Checked(page, IDC_STDS_SYMBOLS);
        anyEnabled = Enabled(page, IDC_STDS_BALLOONS) || Enabled(page, IDC_STDS_SYMBOLS) ||
                     Enabled(page, IDC_STDS_UPDATE_GROUP);
        treeEnabled = Enabled(page, IDC_STDS_TREE);
        EXPECT_TRUE(Press(sheet, PSBTN_NEXT, 1));
    });
    EXPECT_TRUE(balloons);
    EXPECT_FALSE(symbols);
    EXPECT_FALSE(anyEnabled) << "2096, 2097 and 2109 are disabled";
    EXPECT_TRUE(treeEnabled) << "the standard itself can still be chosen";
    EXPECT_EQ(theApp.m_QuenbarFlags, 1);
}
