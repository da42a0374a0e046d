#include "FilesFixture.h"
#include "Afx.h"
#include "CAddProgressDlg.h"
#include "CFileDialog.h"
#include "CFolderBrowser.h"
#include "CKestNoluApp.h"
#include "CPageFiles.h"
#include "CPageOptions.h"
#include "CPreview.h"
#include "ResourceIds.h"
#include "WineTestSupport.h"

// Test programs bring their own application object.
CKestNoluApp theApp;

namespace files {

void DialogScript::Choose(const std::vector<std::wstring>& paths)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_answers.emplace_back(IDOK, paths);
}

void DialogScript::Cancel()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_answers.emplace_back(IDCANCEL, std::vector<std::wstring>());
}

void DialogScript::Install()
{
    CPageFiles::s_dialogHook = [this](CFileDialog& dialog) { return Answer(dialog); };
}

std::vector<DialogSeen> DialogScript::Seen()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_seen;
}

size_t DialogScript::SeenCount()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_seen.size();
}

INT_PTR DialogScript::Answer(CFileDialog& dialog)
{
    std::lock_guard<std::mutex> hold(m_lock);
    const OPENFILENAMEW& ofn = dialog.m_ofn;
    DialogSeen seen;
    seen.folderBrowser = dynamic_cast<CFolderBrowser*>(&dialog) != nullptr;
    seen.title = ofn.lpstrTitle ? ofn.lpstrTitle : L"";
    for (const wchar_t* part = ofn.lpstrFilter; part && *part; part += wcslen(part) + 1)
        seen.filter += std::wstring(part) + L"|";
    if (!seen.filter.empty())
        seen.filter += L"|";
    seen.defExt = ofn.lpstrDefExt ? ofn.lpstrDefExt : L"";
    seen.initialName = ofn.lpstrFile ? ofn.lpstrFile : L"";
    seen.flags = ofn.Flags;
    seen.maxFile = ofn.nMaxFile;
    m_seen.push_back(seen);

    if (m_answers.empty())
        return IDCANCEL;
    auto answer = m_answers.front();
    m_answers.pop_front();
    if (answer.first != IDOK || answer.second.empty())
        return IDCANCEL;
    // The buffer as the common dialog fills it: one full path, or the folder and then each name.
    std::wstring names;
    const std::vector<std::wstring>& paths = answer.second;
    if (paths.size() == 1) {
        names = paths[0] + L'\0';
    } else {
        std::wstring folder = paths[0].substr(0, paths[0].rfind(L'\\'));
        names = folder + L'\0';
        for (const std::wstring& p : paths)
            names += p.substr(p.rfind(L'\\') + 1) + L'\0';
    }
    names += L'\0';
    if (names.size() > ofn.nMaxFile) {
        ADD_FAILURE() << "the dialog's buffer holds " << ofn.nMaxFile << " characters, the answer needs "
                      << names.size();
        return IDCANCEL;
    }
    std::copy(names.begin(), names.end(), ofn.lpstrFile);
    return IDOK;
}

void FilesTest::SetUpTestSuite()
{
    static HMODULE resources = nullptr;
    if (resources)
        return;
    resources = LoadLibraryW(wts::ResourceModulePath().c_str());
    ASSERT_NE(resources, nullptr) << "no resource module in the bin folder";
    AfxSetResourceHandle(resources);
    theApp.m_appName.LoadString(IDS_CAPTION);
}

void FilesTest::SetUp()
{
    theApp.m_drawings.clear();
    theApp.m_listFile.clear();
    theApp.m_templatePath.clear();
    theApp.m_UpdateFlags = 27;
    theApp.m_OptionFlags = 4;
    theApp.m_DrxlmFlags = 8;
    theApp.m_Timeout = 120;
    theApp.m_atLeastXP = true;
    for (bool& ascending : CPageFiles::s_sortAscending)
        ascending = false;
    CPageFiles::s_dialogHook = nullptr;
    CPageOptions::s_openFileHook = nullptr;
    CAddProgressDlg::s_showAfterMs = 400;
    CPreview::ForgetCache();
    const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    m_dir = wts::FreshDir(L"files-" + std::wstring(name, name + strlen(name)));
}

void FilesTest::TearDown()
{
    CPageFiles::s_dialogHook = nullptr;
    CPageOptions::s_openFileHook = nullptr;
}
}
