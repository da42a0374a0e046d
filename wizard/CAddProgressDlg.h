// Keeps the wizard responsive while many drawings are added: the thread's messages are pumped every
// little while, a small window tells what is being done once the work takes longer than a moment, and a
// folder search can be stopped with its Stop button or Escape. Input meant for the wizard is dropped
// while the work runs, so no page change, question or second addition can start in the middle of one.
#pragma once
#include "CDialog.h"
#include "CProgressCtrl.h"

class CAddProgressDlg : public CDialog {
public:
    enum class Kind { Search, List };

    // owner: the window that stays disabled while this one shows. total: units of work, 0 when unknown.
    CAddProgressDlg(CWnd* owner, Kind kind, int total);
    ~CAddProgressDlg() override;

    // Reports progress; false once the user has asked to stop. For a search, added and folders; for a
    // list, added and done of total.
    bool Step(const wchar_t* where, int added, int second);
    bool Stopped() const { return m_stopped; }
    // Whether the window has been shown (a test reads it; the work goes on either way).
    bool Shown() const { return m_hWnd != nullptr; }

    BOOL OnInitDialog() override;
    void OnCancel() override;

    // The work must last this long before the window shows, so short additions do not flash one.
    static DWORD s_showAfterMs;

private:
    void Pump();
    void ShowWindowNow();
    void UpdateTexts();

    CWnd* m_owner;
    Kind m_kind;
    int m_total;
    bool m_stopped = false;
    bool m_ownerDisabled = false;
    DWORD m_start;
    DWORD m_lastPump;
    DWORD m_lastText = 0;
    std::wstring m_where;
    int m_added = 0;
    int m_second = 0;
    CProgressCtrl m_bar;
};
