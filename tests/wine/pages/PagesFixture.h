// The Standards, Search and Finish pages in a wizard of their own, run in this
// process against a simulated host; a script on a second thread plays the user.
#pragma once
#include "CKestNoluApp.h"
#include "CNOLUWizard.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

class PagesFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;

public:
    // Runs the three pages (Standards first) until the script has closed the
    // wizard, or cancels it when the script left it open; returns DoModal's result.
    static INT_PTR RunPages(const std::function<void(HWND sheet)>& script);
    // Presses a wizard button and waits for the page (0 Standards, 1 Search, 2 Finish).
    static bool Press(HWND sheet, int button, int expectedIndex);
    // Answers or cancels every other dialog of this process: a failed test must not hang.
    static void CloseOtherDialogs(HWND sheet);
    static HWND Page(HWND sheet);

    // A click on a page's button as the dialog receives it; a mouse press and
    // release on it, which moves the focus as a real click does.
    static void Click(HWND page, int id);
    static void MouseClick(HWND page, int id);
    // A check box clicked: it toggles itself and tells the page.
    static void Toggle(HWND page, int id);
    static bool Checked(HWND page, int id);
    static bool Enabled(HWND page, int id);

    // Any message box of this process, once it shows; its text.
    static HWND WaitForMessageBox(DWORD ms = 20000);
    static std::wstring BoxText(HWND box);
    static HWND BoxOwner(HWND box);
    // A visible dialog of this process with this title.
    static HWND WaitForDialog(const std::wstring& title, DWORD ms = 20000);
    // The file name box of a file dialog; a path typed into it and OK pressed.
    static HWND FileNameBox(HWND dialog);
    static void ChooseFile(HWND dialog, const std::wstring& path);

    // Tree items and texts (every call is a message to the page's thread).
    static std::vector<HTREEITEM> Children(HWND tree, HTREEITEM parent);
    static std::wstring ItemText(HWND tree, HTREEITEM item);
    static std::vector<std::wstring> Texts(HWND tree, HTREEITEM parent);

    static std::wstring BomKey();
    static std::wstring g_host;
};
