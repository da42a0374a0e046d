// Every test of the suite: the resource module loaded once, the job data and the pages' seams reset,
// and a fresh folder for the test's drawings. File and folder dialogs are answered by a script of
// answers that also records how each dialog was set up.
#pragma once
#include "FilesHarness.h"

#include <gtest/gtest.h>

#include <deque>
#include <mutex>

class CFileDialog;

namespace files {
// What the page asked of one file or folder dialog.
struct DialogSeen {
    bool folderBrowser = false;
    std::wstring title;
    std::wstring filter; // "|" between the parts, as in the resource strings
    std::wstring defExt;
    std::wstring initialName;
    DWORD flags = 0;
    DWORD maxFile = 0;
};

class DialogScript {
public:
    // The next dialog returns IDOK with these full paths (several: a multiple selection in one folder).
    void Choose(const std::vector<std::wstring>& paths);
    void Cancel();
    // Installs the script as the Files page's dialog seam.
    void Install();
    std::vector<DialogSeen> Seen();
    size_t SeenCount();

private:
    INT_PTR Answer(CFileDialog& dialog);
    std::mutex m_lock;
    std::deque<std::pair<INT_PTR, std::vector<std::wstring>>> m_answers;
    std::vector<DialogSeen> m_seen;
};

class FilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // A path in the test's folder.
    std::wstring In(const std::wstring& relative) const { return m_dir + L"\\" + relative; }
    // The path as the page shows and hands it on: full and in lower case.
    std::wstring Shown(const std::wstring& relative) const { return Lower(In(relative)); }

    std::wstring m_dir;
    DialogScript m_dialogs;
};
}
