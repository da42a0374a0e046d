// Property sheet, here always in wizard mode: Back, Next, Finish, Cancel and Help.
#pragma once
#include "CPropertyPage.h"

#include <vector>

class CPropertySheet : public CWnd {
public:
    explicit CPropertySheet(UINT captionId = 0, CWnd* parent = nullptr, UINT selectPage = 0);

    void AddPage(CPropertyPage* page);
    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
    // ID_WIZFINISH when the wizard ended with Finish, IDCANCEL otherwise.
    virtual INT_PTR DoModal();
    // Called once the sheet window exists, before the first page shows.
    virtual void OnSheetInitialized() {}

    void SetWizardButtons(DWORD flags) { ::PropSheet_SetWizButtons(m_hWnd, flags); }
    bool PressButton(int button) { return ::PostMessageW(m_hWnd, PSM_PRESSBUTTON, button, 0) != 0; }
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const { return m_pages[static_cast<size_t>(index)]; }
    int GetActiveIndex() const;
    CPropertyPage* GetActivePage() const;

    PROPSHEETHEADERW m_psh;
    std::vector<CPropertyPage*> m_pages;
    bool m_finished = false;

private:
    static int CALLBACK SheetCallback(HWND window, UINT msg, LPARAM l);
    CString m_caption;
    std::vector<PROPSHEETPAGEW> m_pageStructs;
};
