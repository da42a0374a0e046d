// One page of a property sheet; in wizard mode the sheet's notifications
// arrive as the virtual members below, their results travelling back
// through DWLP_MSGRESULT.
#pragma once
#include "CDialog.h"

#include <prsht.h>

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT templateId);

    virtual BOOL OnSetActive() { return TRUE; }           // FALSE refuses the page
    virtual BOOL OnKillActive() { return UpdateData(true); }
    virtual LRESULT OnWizardNext() { return 0; }          // 0: next page, -1: stay, template id: go there
    virtual LRESULT OnWizardBack() { return 0; }
    virtual BOOL OnWizardFinish() { return TRUE; }        // FALSE keeps the wizard open
    virtual BOOL OnQueryCancel() { return TRUE; }         // FALSE keeps the wizard open
    virtual void OnReset() {}
    virtual void OnHelp() {}

    bool OnNotify(WPARAM w, LPARAM l, LRESULT* result) override;
    // Pages never end a dialog themselves: OK and Cancel belong to the sheet.
    void OnOK() override {}
    void OnCancel() override {}

    CPropertySheet* GetSheet() const { return m_sheet; }

    PROPSHEETPAGEW m_psp;
    CPropertySheet* m_sheet = nullptr;

    static INT_PTR CALLBACK PageProc(HWND window, UINT msg, WPARAM w, LPARAM l);
};
