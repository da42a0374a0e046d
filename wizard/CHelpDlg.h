// The modeless help window with the migration notes of the host installation.
// OK and Cancel only hide it; the wizard replaces a hidden one on the next request.
#pragma once
#include "CDialog.h"
#include "CHelpEdit.h"
#include "CStatic.h"

class CHelpDlg : public CDialog {
public:
    explicit CHelpDlg(CWnd* parent = nullptr);
    ~CHelpDlg() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    CHelpEdit m_edit;
    CStatic m_banner;
    CString m_text;
    HBITMAP m_bitmap = nullptr;
    HFONT m_font = nullptr;

private:
    // Sizes the window to the banner; the Close button keeps its corner.
    void LayOut(int bannerWidth);
    void UseHelpFont();
    HWND m_keyboardFor = nullptr;

    DECLARE_MESSAGE_MAP()
};
