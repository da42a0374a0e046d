// First page of the wizard: its Next is the gate into the wizard. It needs the
// host profile key, the confirmed safety notice, and has the profile saved.
#pragma once
#include "CPropertyPage.h"
#include "CBoldTxt.h"
#include "CStatic.h"
#include "CTranspBmp.h"
#include "CWizardBmp.h"

class CNOLUWizard;

class CPageBegin : public CPropertyPage {
public:
    explicit CPageBegin(CNOLUWizard* wizard);
    ~CPageBegin() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;

    CWizardBmp m_picture;
    CTranspBmp m_bitmap;
    CStatic m_icon;
    CBoldTxt m_caption;
    CNOLUWizard* m_pWizard;

protected:
    void OnHelpButton();
    DECLARE_MESSAGE_MAP()
};
