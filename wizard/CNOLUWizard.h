// The wizard: a property sheet in wizard mode with its six pages, the Cancel
// question, the help window and the dropped files of the Files page.
#pragma once
#include "CPropertySheet.h"

class CHelpDlg;
class CPageBegin;
class CPageFiles;
class CPageOptions;
class CPageStds;
class CPageSearch;
class CPageFinish;

class CNOLUWizard : public CPropertySheet {
public:
    CNOLUWizard();
    ~CNOLUWizard() override;

    // Pages ask for their buttons by posting, so the request lands after the page change.
    void RequestButtons(DWORD flags);
    // Ends the wizard as cancelled without asking.
    void EndCancelled();

    CPageBegin* m_pageBegin;
    CPageFiles* m_pageFiles;
    CPageOptions* m_pageOptions;
    CPageStds* m_pageStds;
    CPageSearch* m_pageSearch;
    CPageFinish* m_pageFinish;
    HICON m_hIcon = nullptr;
    CHelpDlg* m_pHelpDlg = nullptr;

    // The sheet's initialisation: icons, title, drop target, hidden Help button.
    void OnSheetInitialized() override;

protected:
    void OnCancelCommand();
    void OnHelpCommand();
    void OnDropFiles(HDROP drop);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSysCommand(UINT id, LPARAM l);
    LRESULT OnQueryEndSession(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM ending, LPARAM);

private:
    bool m_cancelConfirmed = false;
    DECLARE_MESSAGE_MAP()
};
