// Lets the user choose a folder: the shell's folder browser, or on shells too
// old for it a reduced old-style open-file dialog. On IDOK GetPathName is the folder.
#pragma once
#include "CFileDialog.h"

class CFolderBrowser : public CFileDialog {
public:
    explicit CFolderBrowser(CWnd* parent = nullptr);
    ~CFolderBrowser() override;

    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;

    // The two ways; DoModal picks one from the shell's version.
    INT_PTR BrowseWithShell();
    INT_PTR BrowseWithFileDialog();
    // Whether a shell library of this version has the folder browser we ask for.
    static bool UseShellBrowser(DWORD major, DWORD minor);

    CWnd* m_pParent;

private:
    void SetChosen(const std::wstring& folder);
    DECLARE_MESSAGE_MAP()
};
