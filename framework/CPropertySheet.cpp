#include "CPropertySheet.h"
#include "Afx.h"

namespace {
// The sheet being created on this thread: its callback carries no pointer of its own.
thread_local CPropertySheet* t_creating = nullptr;
}

CPropertyPage::CPropertyPage(UINT templateId) : CDialog(templateId)
{
    m_psp = {};
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.pszTemplate = MAKEINTRESOURCEW(templateId);
    m_psp.pfnDlgProc = &CPropertyPage::PageProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND window, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_INITDIALOG) {
        auto* psp = reinterpret_cast<PROPSHEETPAGEW*>(l);
        auto* self = reinterpret_cast<CPropertyPage*>(psp->lParam);
        ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = window;
        return AfxCallGuarded([&] { return static_cast<LRESULT>(self->OnInitDialog()); }, TRUE);
    }
    return DialogProc(window, msg, w, l);
}

bool CPropertyPage::OnNotify(WPARAM w, LPARAM l, LRESULT* result)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(l);
    if (header && m_sheet && header->hwndFrom == m_sheet->m_hWnd) {
        switch (header->code) {
        case PSN_SETACTIVE: *result = OnSetActive() ? 0 : -1; return true;
        case PSN_KILLACTIVE: *result = OnKillActive() ? FALSE : TRUE; return true;
        case PSN_WIZNEXT: *result = OnWizardNext(); return true;
        case PSN_WIZBACK: *result = OnWizardBack(); return true;
        case PSN_WIZFINISH:
            if (OnWizardFinish()) {
                m_sheet->m_finished = true;
                *result = FALSE;
            } else {
                *result = TRUE;
            }
            return true;
        case PSN_QUERYCANCEL: *result = OnQueryCancel() ? FALSE : TRUE; return true;
        case PSN_RESET: OnReset(); return true;
        case PSN_HELP: OnHelp(); return true;
        default: break;
        }
    }
    return CDialog::OnNotify(w, l, result);
}

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT selectPage)
{
    if (captionId)
        m_caption.LoadString(captionId);
    m_psh = {};
    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    m_psh.hwndParent = parent ? parent->m_hWnd : nullptr;
    m_psh.nStartPage = selectPage;
}

void CPropertySheet::AddPage(CPropertyPage* page)
{
    page->m_sheet = this;
    m_pages.push_back(page);
}

int CALLBACK CPropertySheet::SheetCallback(HWND window, UINT msg, LPARAM)
{
    if (msg == PSCB_INITIALIZED && t_creating) {
        CPropertySheet* self = t_creating;
        self->SubclassWindow(window);
        AfxCallGuarded([&] {
            self->OnSheetInitialized();
            return LRESULT(0);
        });
    }
    return 0;
}

INT_PTR CPropertySheet::DoModal()
{
    AfxInitCommonControls();
    m_pageStructs.clear();
    for (CPropertyPage* page : m_pages) {
        page->m_psp.hInstance = AfxGetResourceHandle();
        // A wizard shows one title throughout: the sheet's, not each page's caption.
        if (!m_caption.IsEmpty()) {
            page->m_psp.dwFlags |= PSP_USETITLE;
            page->m_psp.pszTitle = m_caption;
        }
        m_pageStructs.push_back(page->m_psp);
    }
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = m_caption;
    m_psh.nPages = static_cast<UINT>(m_pageStructs.size());
    m_psh.ppsp = m_pageStructs.data();
    m_psh.pfnCallback = &CPropertySheet::SheetCallback;
    if (!m_psh.hwndParent)
        m_psh.hwndParent = ::GetActiveWindow();
    m_finished = false;
    t_creating = this;
    ::PropertySheetW(&m_psh);
    t_creating = nullptr;
    if (m_hWnd)
        UnsubclassWindow();
    m_hWnd = nullptr;
    return m_finished ? ID_WIZFINISH : IDCANCEL;
}

int CPropertySheet::GetActiveIndex() const
{
    HWND page = PropSheet_GetCurrentPageHwnd(m_hWnd);
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i]->m_hWnd == page)
            return static_cast<int>(i);
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    int index = GetActiveIndex();
    return index < 0 ? nullptr : m_pages[static_cast<size_t>(index)];
}
