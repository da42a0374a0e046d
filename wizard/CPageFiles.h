// Second page: the drawings to migrate.
#pragma once
#include "CBoldTxt.h"
#include "CPropertyPage.h"
#include "CTranspBmp.h"

class CNOLUWizard;

class CPageFiles : public CPropertyPage {
public:
    explicit CPageFiles(CNOLUWizard* wizard);
    ~CPageFiles() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

    CTranspBmp m_bitmap;
    CBoldTxt m_caption;
    CNOLUWizard* m_pWizard;

protected:
    void OnDropFiles(HDROP drop);

    DECLARE_MESSAGE_MAP()
};
