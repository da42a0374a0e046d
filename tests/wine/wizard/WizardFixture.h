// The wizard of this process against a simulated host: the resource module
// loaded, the host installed once, the profile state fresh for every test.
#pragma once
#include "CKestNoluApp.h"
#include "CNOLUWizard.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

class WizardFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;

    // The sheet of a running wizard once it shows, or null.
    static HWND WaitForSheet(const CNOLUWizard& wizard);
    // Presses Next on the Begin page and confirms the safety notice; true on page 1.
    static bool PassBeginPage(HWND sheet);
    // Drops the test drawing on the Files page, as a user can, and goes on with Next, answering
    // a question about an unsaved drawing list with No; true on page 2.
    static bool PassFilesPage(HWND sheet);
    // Presses Next and answers any question on the way with No; true on the expected page.
    static bool NextAnsweringNo(HWND sheet, int expectedIndex);
    // The drop of one file, as the shell hands it to a window.
    static HDROP MakeDrop(const std::wstring& path);
    // Cancel with the question answered Yes.
    static void CancelConfirmed(HWND sheet);
    // Presses a wizard button and waits for the page index to become the expected one.
    static bool PressAndWait(HWND sheet, int button, int expectedIndex);

    static std::wstring ProfileKey();
    // The host profile was saved (or its keys created) by this process.
    static bool ProfileSaveHappened();
    static std::wstring g_host;
    // An existing drawing file.
    static std::wstring g_drawing;
};
