// Application object: one global instance; the entry point runs InitInstance
// and, when it returns FALSE, ExitInstance, as the programs here never need a
// message loop of their own.
#pragma once
#include "CString.h"
#include "Afx.h"

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return m_exitCode; }
    // Message loop for applications whose InitInstance returns TRUE.
    virtual int Run();

    HINSTANCE m_hInstance = nullptr;
    CString m_appName;      // caption of AfxMessageBox
    int m_exitCode = 0;

    // The entry point's work: start-up, then clean-up; returns the exit status.
    static int WinMainBody(HINSTANCE instance);
};
