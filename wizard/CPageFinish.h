// Last page: the log options, and Finish.
#pragma once
#include "CBoldTxt.h"
#include "CPropertyPage.h"
#include "CTranspBmp.h"
#include "CWizardBmp.h"

class CNOLUWizard;

class CPageFinish : public CPropertyPage {
public:
    explicit CPageFinish(CNOLUWizard* wizard);
    ~CPageFinish() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

    CWizardBmp m_picture;
    CTranspBmp m_bitmap;
    CBoldTxt m_caption;
    CNOLUWizard* m_pWizard;

    DECLARE_MESSAGE_MAP()
};
