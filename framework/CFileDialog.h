// Common open or save file dialog. Explorer style unless the caller clears
// OFN_EXPLORER; an old-style dialog gets a hook, so its OnInitDialog and
// message map see it like any dialog of ours.
#pragma once
#include "CDialog.h"

#include <commdlg.h>

class CFileDialog : public CDialog {
public:
    // The filter is "text|pattern|text|pattern||"; every "|" becomes a NUL.
    explicit CFileDialog(bool openFileDialog, const wchar_t* defExt = nullptr, const wchar_t* fileName = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const wchar_t* filter = nullptr,
                         CWnd* parent = nullptr);

    // IDOK or IDCANCEL.
    INT_PTR DoModal() override;
    // The full path chosen (the first name of a multiple selection).
    CString GetPathName() const { return CString(m_ofn.lpstrFile ? m_ofn.lpstrFile : L""); }
    // The walk of the names chosen with OFN_ALLOWMULTISELECT: a start position (null when nothing was
    // chosen), then one full path per GetNextPathName, which leaves the position null after the last.
    const wchar_t* GetStartPosition() const;
    CString GetNextPathName(const wchar_t*& position) const;

    OPENFILENAMEW m_ofn;

protected:
    // Only the message map: OK and Cancel belong to the common dialog.
    bool OnCommand(WPARAM w, LPARAM l) override { return CWnd::OnCommand(w, l); }

    bool m_openFileDialog;
    wchar_t m_szFileName[MAX_PATH] = {};
    wchar_t m_szFileTitle[MAX_PATH] = {};

private:
    static UINT_PTR CALLBACK HookProc(HWND window, UINT msg, WPARAM w, LPARAM l);
    std::wstring m_filter;
    std::wstring m_defExt;
};
