// Progress dialog of the run. Placeholder until the supervision lands: it
// takes the run's parameters and ends at once as cancelled.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class KestBatchProcess;

class CProgressDlg {
public:
    CProgressDlg() = default;
    void SetProgressFile(const std::wstring& path) { m_progressFile = path; }
    void SetMode(int mode) { m_mode = mode; }
    INT_PTR DoModal() { return IDCANCEL; }
    // The batch writer's list of drawings for the current batch.
    void SetDrawings(const std::vector<std::wstring>& drawings)
    {
        m_drawings = drawings;
        m_drawingCount = static_cast<int>(drawings.size());
        m_currentDrawing = 0;
    }
    // Borrowed from the application object, which owns the handle: test it
    // with IsRunning and end it with Clear, never keep a copy of the handle.
    void SetBatchProcess(KestBatchProcess* process) { m_batchProcess = process; }

    std::wstring m_progressFile;
    int m_mode = 0;
    std::vector<std::wstring> m_drawings;
    int m_drawingCount = 0;
    int m_currentDrawing = 0;
    KestBatchProcess* m_batchProcess = nullptr;
};
