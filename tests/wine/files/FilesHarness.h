// The wizard of this process shown from one page while a script drives it from a second thread, as a
// user would: buttons, keys, drops and the answers to message boxes, with drawings made on disk.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "WineTestSupport.h"

class CNOLUWizard;

namespace files {
using wts::Format;
using wts::Lower;
using wts::Text;
// The wizard of this process waits on the thread that drives it: longer than elsewhere.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 30000)
{
    return wts::WaitUntil(condition, timeoutMs);
}
// A UTF-8 form of a wide text for failure messages.
inline std::string Narrow(const std::wstring& text) { return wts::Narrow(text, CP_UTF8); }

// A message box of this process as it shows.
struct Box {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    HICON icon = nullptr;
    bool hasYes = false, hasNo = false, hasCancel = false;
};

class WizardRun {
public:
    // Shows the wizard from page startPage (1: Files, 2: Options) on this thread and runs script on a
    // second one. When the script is done the wizard is cancelled, whatever state it is in.
    static void Run(int startPage, const std::function<void(WizardRun&)>& script);

    CNOLUWizard& Wizard() { return *m_wizard; }
    HWND Sheet() const;
    HWND Page() const;
    int PageIndex() const;
    HWND Item(int id) const;
    bool Enabled(int id) const;
    // Clicks a control of the current page (a button press, as the mouse would).
    void Click(int id);
    void PressWizardButton(int button);
    // Presses Next (or Back) and waits until the page index is the expected one; false if it never is.
    bool Next(int expectedIndex);
    bool Back(int expectedIndex);
    // A key pressed in the list of the Files page.
    void ListKey(WORD key);
    void SetItemText(int id, const std::wstring& text);
    bool Checked(int id) const;

    // The next message box of this process, waiting for it to show; window null when none came.
    Box WaitForBox(DWORD timeoutMs = 30000);
    // Whether any message box shows now.
    bool BoxShowing() const;
    void Answer(const Box& box, int button);

    // The Files page's list.
    HWND List() const;
    int Rows() const;
    std::wstring Cell(int row, int column) const;
    std::vector<std::wstring> Column(int column) const;
    int SelectedCount() const;
    void Select(const std::vector<int>& rows);
    // Clicks the header of a column.
    void ClickHeader(int column);
    bool WaitRows(int count, DWORD timeoutMs = 60000);

    // Drops the paths on the wizard, with a drop block made here as the shell makes one.
    void Drop(const std::vector<std::wstring>& paths);

    // Screenshot of the sheet into $KEST_FILES_SHOTS/<name>; nothing without that variable.
    void Screenshot(const std::wstring& name);

private:
    void End();
    CNOLUWizard* m_wizard = nullptr;
    volatile bool m_ended = false;
};

// Drawing files for the tests.
struct DrawingFile {
    std::string magic = "DX1018";
    int maintenance = 40; // "DX1018" with 40: string 2261
    bool thumbnail = false;
    unsigned seed = 1;
};
void WriteDrawing(const std::wstring& path, const DrawingFile& spec = DrawingFile());
void WriteText(const std::wstring& path, const std::string& bytes);
void MakeFolder(const std::wstring& path);
}
