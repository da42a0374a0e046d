// Safety notice of the Begin page: OK goes on and has the host profile saved, Cancel ends the wizard.
#pragma once
#include "CDialog.h"
#include "CStatic.h"

class CSafetyDlg : public CDialog {
public:
    explicit CSafetyDlg(CWnd* parent = nullptr);
    ~CSafetyDlg() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    CStatic m_icon;

    DECLARE_MESSAGE_MAP()
};
