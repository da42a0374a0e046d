// Last page: what the migration log records (LogFlags, handed to the host) and
// where it is written, and Finish, which is refused while Draxil is open.
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
    BOOL OnWizardFinish() override;

    // The log path as the page shows it.
    static const size_t kShownLength = 40;

    CWizardBmp m_picture;
    CTranspBmp m_bitmap;
    CBoldTxt m_caption;
    int m_logDrawings = 0;   // LogFlags 0x1
    int m_logUpdates = 0;    // 0x2
    int m_logWarnings = 0;   // 0x4
    int m_logDetails = 0;    // 0x8, never shown
    CNOLUWizard* m_pWizard;

protected:
    void OnChooseLogFile();
    void ShowLogPath();

    DECLARE_MESSAGE_MAP()
};
