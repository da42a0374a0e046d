// Driving the wizard and its dialogs: a second thread finds the windows and
// answers them while the modal loops run on the test's own thread.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "WineTestSupport.h"

namespace wiz {
// Runs a script on a second thread; the destructor waits for it. Should the
// modal loop still run long after the script gave up (a failed assertion),
// the driver cancels every window of this process so the suite goes on.
class Driver {
public:
    explicit Driver(std::function<void()> script);
    ~Driver();

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

using wts::WaitUntil;

// System ids, not the product's: the name field of the file dialogs, the text of a message box, the wizard's
// buttons.
const int kFileNameField = 1148;
const int kFileNameEdit = 1152;
const int kMessageBoxText = 0xFFFF;
const int kBackButton = 0x3023;
const int kNextButton = 0x3024;
const int kFinishButton = 0x3025;

// A visible top-level window of the given process (0: this one) that has a child with this id.
HWND FindDialogWithItem(DWORD processId, int itemId, HWND except = nullptr);
// A visible top-level window of the process with exactly this title.
HWND FindTitled(DWORD processId, const std::wstring& title, HWND except = nullptr);
// The shell's folder browser of the process (0: this one): a window with a tree in it, other than one that
// holds a control of that id.
HWND FindFolderBrowser(DWORD processId = 0, int exceptItem = 0);
// The message box owned by the window, if one shows.
HWND FindMessageBox(HWND owner);
// The text of a message box.
std::wstring BoxText(HWND box);
// Number of visible top-level windows of the process with this title.
int CountTitled(DWORD processId, const std::wstring& title);
// Concatenated texts of a window's static children.
std::wstring StaticTexts(HWND window);

// The sheet's current page index, or -1; its window.
int PageIndex(HWND sheet);
HWND CurrentPage(HWND sheet);
// A button of the window clicked, as the window receives it.
void Click(HWND window, int id);
// Wizard buttons.
HWND BackButton(HWND sheet);
HWND NextButton(HWND sheet);
HWND FinishButton(HWND sheet);
// "enabled" / "disabled" / "hidden", for readable failures.
std::string ButtonState(HWND button);

// The window with the keyboard focus in the thread that owns the window.
HWND FocusOf(HWND window);
// A key pressed in the focused window of the window's thread, as the keyboard would send it.
void PressKey(HWND window, WORD key);

// Waits for the process's file dialog with this title, types the path into its name field, presses OK and
// waits until the dialog is gone; false when it did not show or did not close.
bool ChooseFile(DWORD processId, const std::wstring& title, const std::wstring& path);
// Visible notepad windows whose title names the file (case ignored).
std::vector<HWND> Notepads(const std::wstring& fileName);

// Screenshot of the suite's display, cut to the rectangle around the windows,
// into $KEST_WIZARD_SHOTS/<name>; does nothing without that variable.
void Screenshot(const std::wstring& name, std::initializer_list<HWND> windows);
}
