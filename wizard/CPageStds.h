// Fourth page: the drawing standard, and whether balloons and symbols of the
// drawings are brought to it. Leaving the page stores the choice in the job
// settings and names the standard at once in the host's "BOM Migration" key.
#pragma once
#include "CBoldTxt.h"
#include "CImageList.h"
#include "CPropertyPage.h"
#include "CTranspBmp.h"
#include "CTreeCtrl.h"
#include "CWizardBmp.h"

class CNOLUWizard;

class CPageStds : public CPropertyPage {
public:
    explicit CPageStds(CNOLUWizard* wizard);
    ~CPageStds() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    // The eight standards: the name string of each; its index is the item data.
    static const int kStandardCount = 8;
    static const UINT kNameIds[kStandardCount];
    // The SymbolStd stored for an index: 1 to 6 as they are, everything else 0.
    static int SymbolStdOf(int index) { return index >= 1 && index <= 6 ? index : 0; }

    CWizardBmp m_picture;
    CTranspBmp m_bitmap;
    CBoldTxt m_caption;
    CTreeCtrl m_tree;
    int m_preselected = 0;
    int m_balloons = 0;
    int m_symbols = 0;
    CImageList m_images;
    CNOLUWizard* m_pWizard;

    DECLARE_MESSAGE_MAP()
};
