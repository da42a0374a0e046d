#include "FilesHarness.h"
#include "CNOLUWizard.h"
#include "DrawingGenerator.h"
#include "FilesOptionsIds.h"
#include "WineTestSupport.h"
#include "WizardIds.h"
#include "WizardTestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace files {

namespace {
using wts::ClassOf;

// Top-level dialogs of this process that show now, the sheet excepted.
std::vector<HWND> Dialogs(HWND sheet)
{
    return wts::WindowsOf(0, [&](HWND w) { return w != sheet && ClassOf(w) == L"#32770"; });
}

// A message box is a dialog with the message text in its static.
bool IsMessageBox(HWND window) { return GetDlgItem(window, wiz::kMessageBoxText) != nullptr; }

Box Describe(HWND window)
{
    Box box;
    box.window = window;
    box.caption = wts::WindowText(window);
    box.text = wiz::BoxText(window);
    box.hasYes = GetDlgItem(window, IDYES) && IsWindowVisible(GetDlgItem(window, IDYES));
    box.hasNo = GetDlgItem(window, IDNO) && IsWindowVisible(GetDlgItem(window, IDNO));
    box.hasCancel = GetDlgItem(window, IDCANCEL) && IsWindowVisible(GetDlgItem(window, IDCANCEL));
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            box.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    return box;
}
}

void WizardRun::Run(int startPage, const std::function<void(WizardRun&)>& script)
{
    CNOLUWizard wizard;
    wizard.m_psh.nStartPage = static_cast<UINT>(startPage);
    WizardRun run;
    run.m_wizard = &wizard;
    std::thread driver([&] {
        if (WaitUntil([&] { return run.Sheet() && IsWindowVisible(run.Sheet()) && run.PageIndex() == startPage; }))
            script(run);
        else
            ADD_FAILURE() << "the wizard did not show page " << startPage;
        run.End();
    });
    wizard.DoModal();
    run.m_ended = true;
    driver.join();
}

void WizardRun::End()
{
    for (int round = 0; round < 40 && !m_ended; ++round) {
        // Whatever shows over the wizard goes first: boxes get their mildest answer, other dialogs Cancel.
        std::vector<HWND> open = Dialogs(Sheet());
        if (!open.empty()) {
            HWND top = open.front();
            if (IsMessageBox(top)) {
                Box box = Describe(top);
                Answer(box, box.text == Text(IDS_CANCEL_QUESTION) ? IDYES
                            : box.hasNo                           ? IDNO
                            : box.hasCancel                       ? IDCANCEL
                                                                  : IDOK);
            } else {
                PostMessageW(top, WM_COMMAND, IDCANCEL, 0);
                Sleep(300);
            }
            continue;
        }
        PostMessageW(Sheet(), WM_COMMAND, IDCANCEL, 0);
        // The sheet's loop notices its end only with the next message: keep one coming.
        WaitUntil(
            [&] {
                PostMessageW(Sheet(), WM_NULL, 0, 0);
                return m_ended || !Dialogs(Sheet()).empty();
            },
            5000);
    }
}

HWND WizardRun::Sheet() const
{
    return m_wizard->m_hWnd;
}

HWND WizardRun::Page() const
{
    return reinterpret_cast<HWND>(SendMessageW(Sheet(), PSM_GETCURRENTPAGEHWND, 0, 0));
}

int WizardRun::PageIndex() const
{
    HWND page = Page();
    return page ? static_cast<int>(SendMessageW(Sheet(), PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0)) : -1;
}

HWND WizardRun::Item(int id) const
{
    return GetDlgItem(Page(), id);
}

bool WizardRun::Enabled(int id) const
{
    return IsWindowEnabled(Item(id)) != 0;
}

void WizardRun::Click(int id)
{
    PostMessageW(Item(id), BM_CLICK, 0, 0);
}

void WizardRun::PressWizardButton(int button)
{
    PostMessageW(Sheet(), PSM_PRESSBUTTON, button, 0);
}

bool WizardRun::Next(int expectedIndex)
{
    PressWizardButton(PSBTN_NEXT);
    return WaitUntil([&] { return PageIndex() == expectedIndex; }, 15000);
}

bool WizardRun::Back(int expectedIndex)
{
    PressWizardButton(PSBTN_BACK);
    return WaitUntil([&] { return PageIndex() == expectedIndex; }, 15000);
}

void WizardRun::ListKey(WORD key)
{
    UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(List(), WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageW(List(), WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
}

void WizardRun::SetItemText(int id, const std::wstring& text)
{
    SetWindowTextW(Item(id), text.c_str());
}

bool WizardRun::Checked(int id) const
{
    return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

Box WizardRun::WaitForBox(DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : Dialogs(Sheet()))
                if (IsMessageBox(w))
                    found = w;
            return found != nullptr;
        },
        timeoutMs);
    if (!found)
        return Box();
    // The text is in place once the box shows; give its buttons a moment to settle.
    Sleep(50);
    return Describe(found);
}

bool WizardRun::BoxShowing() const
{
    for (HWND w : Dialogs(m_wizard->m_hWnd))
        if (IsMessageBox(w))
            return true;
    return false;
}

void WizardRun::Answer(const Box& box, int button)
{
    if (!box.window)
        return;
    PostMessageW(box.window, WM_COMMAND, button, 0);
    WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }, 10000);
}

HWND WizardRun::List() const
{
    return Item(IDC_FILES_LIST);
}

int WizardRun::Rows() const
{
    return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
}

std::wstring WizardRun::Cell(int row, int column) const
{
    wchar_t buffer[1024] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 1024;
    SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

std::vector<std::wstring> WizardRun::Column(int column) const
{
    std::vector<std::wstring> cells;
    for (int row = 0, rows = Rows(); row < rows; ++row)
        cells.push_back(Cell(row, column));
    return cells;
}

int WizardRun::SelectedCount() const
{
    return static_cast<int>(SendMessageW(List(), LVM_GETSELECTEDCOUNT, 0, 0));
}

void WizardRun::Select(const std::vector<int>& rows)
{
    LVITEMW none = {};
    none.stateMask = LVIS_SELECTED;
    SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    for (int row : rows) {
        LVITEMW item = {};
        item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
}

void WizardRun::ClickHeader(int column)
{
    HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
    RECT r = {};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(header, WM_LBUTTONUP, 0, at);
}

bool WizardRun::WaitRows(int count, DWORD timeoutMs)
{
    return WaitUntil([&] { return Rows() == count; }, timeoutMs);
}

void WizardRun::Drop(const std::vector<std::wstring>& paths)
{
    size_t chars = 1;
    for (const std::wstring& p : paths)
        chars += p.size() + 1;
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    wchar_t* names = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(drop) + sizeof(DROPFILES));
    for (const std::wstring& p : paths) {
        std::copy(p.begin(), p.end(), names);
        names += p.size() + 1;
    }
    GlobalUnlock(block);
    PostMessageW(Sheet(), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
}

void WizardRun::Screenshot(const std::wstring& name)
{
    const char* folder = std::getenv("KEST_FILES_SHOTS");
    if (!folder || !*folder)
        return;
    CreateDirectoryW(wts::FromUnix(folder).c_str(), nullptr);
    EXPECT_TRUE(wts::Screenshot(std::string(folder) + "/" + Narrow(name), {Sheet()})) << "no screenshot "
                                                                                     << Narrow(name);
}

void WriteDrawing(const std::wstring& path, const DrawingFile& file)
{
    DrawingSpec spec;
    spec.magic = file.magic;
    spec.maintenance = static_cast<uint8_t>(file.maintenance);
    if (file.thumbnail) {
        PictureSpec picture;
        picture.width = 160;
        picture.height = 120;
        picture.bitCount = 24;
        picture.seed = file.seed;
        spec.thumbnail = DrawingGenerator::MakeDib(picture);
    }
    std::vector<uint8_t> bytes = DrawingGenerator::MakeDrawing(spec);
    wts::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

void WriteText(const std::wstring& path, const std::string& bytes)
{
    wts::WriteFileBytes(path, bytes);
}

void MakeFolder(const std::wstring& path)
{
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == L'\\')
            CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
}
}
