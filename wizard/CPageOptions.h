// Third page: what the host does with each drawing besides saving it (the template set-up and the
// purges of DrxlmFlags) and how many minutes one drawing may take.
#pragma once
#include "CBoldTxt.h"
#include "CPropertyPage.h"
#include "CTranspBmp.h"
#include "CWizardBmp.h"

#include <commdlg.h>

#include <functional>

class CNOLUWizard;

class CPageOptions : public CPropertyPage {
public:
    explicit CPageOptions(CNOLUWizard* wizard);
    ~CPageOptions() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;

    // The template controls follow DrxlmFlags bit 0x1, the purge controls bit 0x2.
    void EnableGroups();

    CNOLUWizard* m_pWizard;
    CWizardBmp m_picture;
    CTranspBmp m_transp;
    CBoldTxt m_caption;
    // Minutes per drawing as the edit control holds them.
    int m_timeout = 120;

    // Test seam: when set, the template dialog is answered by this instead of being shown; it fills in
    // the structure's file buffer as the dialog would and returns whether a file was chosen.
    static std::function<BOOL(OPENFILENAMEW&)> s_openFileHook;

protected:
    void OnMasterClicked();
    void OnBrowse();

    DECLARE_MESSAGE_MAP()
};
