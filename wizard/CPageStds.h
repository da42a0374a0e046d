// Fourth page: the drawing standard.
#pragma once
#include "CBoldTxt.h"
#include "CPropertyPage.h"
#include "CTranspBmp.h"
#include "CWizardBmp.h"

class CNOLUWizard;

class CPageStds : public CPropertyPage {
public:
    explicit CPageStds(CNOLUWizard* wizard);
    ~CPageStds() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    CWizardBmp m_picture;
    CTranspBmp m_bitmap;
    CBoldTxt m_caption;
    CNOLUWizard* m_pWizard;

    DECLARE_MESSAGE_MAP()
};
