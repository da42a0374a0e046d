// Dialog from a template of the resource module, modal or modeless.
#pragma once
#include "CWnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr) : m_templateId(templateId), m_parent(parent) {}

    virtual INT_PTR DoModal();
    // Modeless: the window stays until DestroyWindow.
    bool Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(INT_PTR result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    bool OnCommand(WPARAM w, LPARAM l) override;

    UINT m_templateId;
    CWnd* m_parent;

protected:
    // Dialogs leave unhandled messages to the dialog manager.
    LRESULT DefWindowProc(UINT, WPARAM, LPARAM) override { return 0; }
    // Runs the map; true when handled, with the handler's result.
    bool Dispatch(UINT msg, WPARAM w, LPARAM l, LRESULT* result);
    // The dialog procedure's return for a handled message (a few return the result itself).
    static INT_PTR DialogResult(HWND window, UINT msg, LRESULT result);
    static INT_PTR CALLBACK DialogProc(HWND window, UINT msg, WPARAM w, LPARAM l);
    bool m_modal = false;
};

// Common controls of every kind the programs use, once per process.
void AfxInitCommonControls();
