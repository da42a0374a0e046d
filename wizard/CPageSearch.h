// Fifth page: the folders the host searches for support files.
#pragma once
#include "CBoldTxt.h"
#include "CPropertyPage.h"
#include "CTranspBmp.h"

class CNOLUWizard;

class CPageSearch : public CPropertyPage {
public:
    explicit CPageSearch(CNOLUWizard* wizard);
    ~CPageSearch() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

    CTranspBmp m_bitmap;
    CBoldTxt m_caption;
    CNOLUWizard* m_pWizard;

    DECLARE_MESSAGE_MAP()
};
