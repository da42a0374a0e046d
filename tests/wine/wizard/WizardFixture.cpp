#include "WizardFixture.h"
#include "Afx.h"
#include "HostKeys.h"
#include "HostProfile.h"
#include "ResourceIds.h"
#include "WineTestSupport.h"
#include "WizardIds.h"

#include <shlobj.h>

// Test programs bring their own application object.
CKestNoluApp theApp;

std::wstring WizardFixture::g_host;
std::wstring WizardFixture::g_drawing;

void WizardFixture::SetUpTestSuite()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    HMODULE resources = LoadLibraryW(wts::ResourceModulePath().c_str());
    ASSERT_NE(resources, nullptr) << "no resource module in the bin folder";
    AfxSetResourceHandle(resources);
    theApp.m_appName.LoadString(IDS_CAPTION);
    g_host = wts::FreshDir(L"host");
    ASSERT_EQ(wts::InstallHost(g_host), 0);
    ResetHostKeysForTest();
    UseBatchProfile();
    g_drawing = wts::FreshDir(L"drawings") + L"\\gear.dwg";
    wts::WriteFileBytes(g_drawing, std::string("AC1018") + std::string(122, '\0'));
}

void WizardFixture::SetUp()
{
    ResetHostProfileForTest();
    theApp.m_drawings.clear();
    theApp.m_listFile.clear();
    theApp.m_hostFolder = g_host;
    // Some tests remove the profile key; every test starts with it.
    wts::RegSetString(HKEY_CURRENT_USER, ProfileKey() + L"\\General", L"DRXL",
                      L"c:\\draxil\\support;c:\\draxil\\fonts");
    // The save step creates this key; without it no save has happened.
    wts::RegDeleteTree(HKEY_CURRENT_USER, ProfileKey() + L"\\Dialogs");
}

bool WizardFixture::ProfileSaveHappened()
{
    HKEY key;
    bool exists = RegOpenKeyExW(HKEY_CURRENT_USER, (ProfileKey() + L"\\Dialogs\\Appload\\Startup").c_str(), 0,
                                KEY_READ, &key) == ERROR_SUCCESS;
    if (exists)
        RegCloseKey(key);
    return exists || theApp.m_profileSaved;
}

std::wstring WizardFixture::ProfileKey() { return GetProfileKeyPath(); }

HWND WizardFixture::WaitForSheet(const CNOLUWizard& wizard)
{
    if (!wiz::WaitUntil([&] {
            return wizard.m_hWnd && IsWindowVisible(wizard.m_hWnd) && wiz::PageIndex(wizard.m_hWnd) >= 0;
        }))
        return nullptr;
    return wizard.m_hWnd;
}

bool WizardFixture::PassBeginPage(HWND sheet)
{
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    HWND safety = nullptr;
    if (!wiz::WaitUntil([&] { return (safety = wiz::FindDialogWithItem(0, IDC_SAFETY_ICON)) != nullptr; }))
        return false;
    PostMessageW(safety, WM_COMMAND, IDOK, 0);
    return wiz::WaitUntil([&] { return wiz::PageIndex(sheet) == 1; });
}

void WizardFixture::CancelConfirmed(HWND sheet)
{
    PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    HWND box = nullptr;
    if (wiz::WaitUntil([&] { return (box = wiz::FindMessageBox(sheet)) != nullptr; }))
        PostMessageW(box, WM_COMMAND, IDYES, 0);
}

bool WizardFixture::PressAndWait(HWND sheet, int button, int expectedIndex)
{
    PostMessageW(sheet, PSM_PRESSBUTTON, button, 0);
    return wiz::WaitUntil([&] { return wiz::PageIndex(sheet) == expectedIndex; });
}

HDROP WizardFixture::MakeDrop(const std::wstring& path)
{
    size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

bool WizardFixture::NextAnsweringNo(HWND sheet, int expectedIndex)
{
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    return wiz::WaitUntil([&] {
        if (HWND box = wiz::FindMessageBox(sheet))
            PostMessageW(box, WM_COMMAND, IDNO, 0);
        return wiz::PageIndex(sheet) == expectedIndex;
    });
}

bool WizardFixture::PassFilesPage(HWND sheet)
{
    PostMessageW(sheet, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(g_drawing)), 0);
    wiz::WaitUntil([&] { return wiz::ButtonState(wiz::NextButton(sheet)) == "enabled"; }, 10000);
    return NextAnsweringNo(sheet, 2);
}
