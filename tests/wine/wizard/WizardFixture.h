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
    // Cancel with the question answered Yes.
    static void CancelConfirmed(HWND sheet);
    // Presses a wizard button and waits for the page index to become the expected one.
    static bool PressAndWait(HWND sheet, int button, int expectedIndex);

    static std::wstring ProfileKey();
    // The host profile was saved (or its keys created) by this process.
    static bool ProfileSaveHappened();
    static std::wstring g_host;
};
