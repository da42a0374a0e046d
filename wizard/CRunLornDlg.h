// Notice that the host profile the migration needs is missing; the wizard ends after it.
#pragma once
#include "CDialog.h"
#include "CStatic.h"

class CRunLornDlg : public CDialog {
public:
    explicit CRunLornDlg(CWnd* parent = nullptr);
    ~CRunLornDlg() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    CStatic m_icon;

    DECLARE_MESSAGE_MAP()
};
