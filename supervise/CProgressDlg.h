// Progress dialog of the run. Placeholder until the supervision lands: it
// takes the run's parameters and ends at once as cancelled.
#pragma once
#include <windows.h>
#include <string>

class CProgressDlg {
public:
    CProgressDlg() = default;
    void SetProgressFile(const std::wstring& path) { m_progressFile = path; }
    void SetMode(int mode) { m_mode = mode; }
    INT_PTR DoModal() { return IDCANCEL; }

    std::wstring m_progressFile;
    int m_mode = 0;
};
