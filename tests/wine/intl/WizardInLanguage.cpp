#include "WizardInLanguage.h"

#include "DrawingGenerator.h"
#include "FilesOptionsIds.h"
#include "ResourceIds.h"
#include "RunIds.h"
#include "WineTestSupport.h"
#include "WizardIds.h"
#include "WizardTestSupport.h"

#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <cstdlib>

namespace {
std::string Convert(const std::wstring& text, UINT codePage)
{
    int n = WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }
}

WizardInLanguage::WizardInLanguage(const std::wstring& language)
    : m_language(language),
      m_module(LoadLibraryExW((wts::BinDir() + L"\\drxlm\\" + language + L"\\keNoluRes.dll").c_str(), nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))
{
}

WizardInLanguage::~WizardInLanguage()
{
    if (m_process) {
        if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_process, 1);
        CloseHandle(m_process);
    }
    if (m_module)
        FreeLibrary(m_module);
}

std::wstring WizardInLanguage::Text(UINT id) const
{
    wchar_t* text = nullptr;
    int n = m_module ? LoadStringW(m_module, id, reinterpret_cast<wchar_t*>(&text), 0) : 0;
    return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

bool WizardInLanguage::Start(const std::wstring& environment)
{
    std::wstring variables = L"USTORA_LANGUAGE=" + m_language + (environment.empty() ? L"" : L";" + environment);
    m_process = wts::Start(Quoted(wts::BinDir() + L"\\Transmora.exe"), variables);
    if (!m_process)
        return false;
    DWORD pid = ProcessId();
    std::wstring title = Text(IDS_CAPTION);
    return wiz::WaitUntil([&] {
        m_sheet = wiz::FindTitled(pid, title);
        return m_sheet && wiz::PageIndex(m_sheet) == 0 && wiz::ButtonState(wiz::NextButton(m_sheet)) == "enabled";
    }, 60000);
}

bool WizardInLanguage::PassBegin()
{
    PostMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    HWND safety = nullptr;
    if (!wiz::WaitUntil([&] { return (safety = wiz::FindDialogWithItem(ProcessId(), IDC_SAFETY_ICON)) != nullptr; }))
        return false;
    PostMessageW(safety, WM_COMMAND, IDOK, 0);
    return wiz::WaitUntil([&] { return wiz::PageIndex(m_sheet) == 1; });
}

bool WizardInLanguage::LoadList(const std::wstring& list, int rows)
{
    HWND page = reinterpret_cast<HWND>(SendMessageW(m_sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    HWND view = GetDlgItem(page, IDC_FILES_LIST);
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_FILES_LOAD, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_FILES_LOAD)));
    if (!wiz::ChooseFile(ProcessId(), Text(IDS_FILES_LOAD_TITLE), list))
        return false;
    if (!wiz::WaitUntil([&] { return ListView_GetItemCount(view) == rows; }, 60000))
        return false;
    // The first row selected, so that the preview shows a drawing.
    PostMessageW(view, WM_KEYDOWN, VK_DOWN, 1);
    wts::Pump(500);
    return true;
}

bool WizardInLanguage::Next(int pageIndex)
{
    PostMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    return wiz::WaitUntil([&] { return wiz::PageIndex(m_sheet) == pageIndex; }, 30000);
}

bool WizardInLanguage::Cancel()
{
    PostMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    HWND question = nullptr;
    if (wiz::WaitUntil([&] { return (question = wiz::FindMessageBox(m_sheet)) != nullptr; }, 10000))
        PostMessageW(question, WM_COMMAND, IDYES, 0);
    return WaitForSingleObject(m_process, 30000) == WAIT_OBJECT_0;
}

void WizardInLanguage::Screenshot(const std::wstring& name, HWND window) const
{
    const char* folder = std::getenv("KEST_WIZARD_SHOTS");
    if (!folder || !*folder)
        return;
    window = window ? window : m_sheet;
    // Every control painted before the picture is taken.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    wts::Pump(500);
    std::wstring file = wts::FromUnix(std::string(folder) + "/") + name;
    DeleteFileW(file.c_str());
    wiz::Screenshot(name, {window});
    // The capture runs beside this process; the window must not change before it is written.
    LONGLONG last = -1;
    wiz::WaitUntil([&] {
        WIN32_FILE_ATTRIBUTE_DATA data;
        LONGLONG size = GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)
                            ? (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow
                            : -1;
        bool settled = size > 0 && size == last;
        last = size;
        wts::Pump(300);
        return settled;
    }, 20000);
}

bool WizardInLanguage::MakeDrawings(const std::vector<std::wstring>& paths, const std::string& magic,
                                    const std::string& fault)
{
    unsigned seed = 1;
    for (const std::wstring& path : paths) {
        SHCreateDirectoryExW(nullptr, path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
        DrawingSpec spec;
        spec.magic = magic;
        spec.thumbnail = wts::PartThumbnail(seed++);
        spec.hasFault = !fault.empty();
        spec.faultText = fault;
        std::vector<uint8_t> bytes = DrawingGenerator::MakeDrawing(spec);
        wts::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
        if (!wts::FileExists(path))
            return false;
    }
    return true;
}

void WizardInLanguage::WriteList(const std::wstring& path, const std::vector<std::wstring>& drawings) const
{
    std::string text = Ansi(Text(IDS_DML_HEADER)) + "\r\n";
    for (const std::wstring& drawing : drawings)
        text += "[ ]" + Ansi(drawing) + "\r\n";
    wts::WriteFileBytes(path, text);
}

std::string WizardInLanguage::Ansi(const std::wstring& text) { return Convert(text, CP_ACP); }

std::string WizardInLanguage::Utf8(const std::wstring& text) { return Convert(text, CP_UTF8); }
