// Third page: what the host does with each drawing besides saving it.
#pragma once
#include "CBoldTxt.h"
#include "CPropertyPage.h"
#include "CTranspBmp.h"
#include "CWizardBmp.h"

class CNOLUWizard;

class CPageOptions : public CPropertyPage {
public:
    explicit CPageOptions(CNOLUWizard* wizard);
    ~CPageOptions() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

    CWizardBmp m_picture;
    CTranspBmp m_bitmap;
    CBoldTxt m_caption;
    CNOLUWizard* m_pWizard;

    DECLARE_MESSAGE_MAP()
};
