// Every dialog of every language module fits its texts: each template is made
// into a hidden dialog, and the text of each static, button, check box and
// group box is measured with the dialog's own font the way the control draws
// it, bold where the program makes it bold, and with the strings that the
// program puts into its controls at run time. A module is measured on a system of its own code page (that of its
// folder's language), as its users see it; the others are named and left.
#include "FilesOptionsIds.h"
#include "ProgressIds.h"
#include "WineTestSupport.h"
#include "WizardIds.h"
#include "WizardInLanguage.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <iterator>
#include <string>
#include <vector>

namespace {
// Controls that the program sizes to their text at run time.
struct SizedAtRunTime {
    int dialog;
    int control;
};
const SizedAtRunTime kSizedAtRunTime[] = {
    {IDD_PAGE_OPTIONS, IDC_OPTIONS_PURGE},   // the purge box heading its group's frame
};

// Captions that the program draws bold on one line.
const SizedAtRunTime kBold[] = {
    {IDD_PAGE_BEGIN, IDC_BEGIN_CAPTION},       {IDD_PAGE_FILES, IDC_FILES_CAPTION},
    {IDD_PAGE_OPTIONS, IDC_OPTIONS_CAPTION},   {IDD_PAGE_STDS, IDC_STDS_CAPTION},
    {IDD_PAGE_SEARCH, IDC_SEARCH_CAPTION},     {IDD_PAGE_FINISH, IDC_FINISH_CAPTION},
    {IDD_PROGRESS, IDC_PROGRESS_ANALYSIS},     {IDD_PROGRESS, IDC_PROGRESS_MIGRATE},
};

// Strings that the program puts into a control of a template, formatted with the largest numbers a
// run shows.
struct TextAtRunTime {
    int dialog;
    int control;
    UINT string;
};
const TextAtRunTime kTextsAtRunTime[] = {
    {IDD_PAGE_FILES, IDC_FILES_COUNT, IDS_FILES_COUNT_NONE},
    {IDD_PAGE_FILES, IDC_FILES_COUNT, IDS_FILES_COUNT_ONE},
    {IDD_PAGE_FILES, IDC_FILES_COUNT, IDS_FILES_COUNT_MANY},
    {IDD_ADD_PROGRESS, IDC_ADD_PROGRESS_TEXT, IDS_ADD_PROGRESS_SEARCH},
    {IDD_ADD_PROGRESS, IDC_ADD_PROGRESS_TEXT, IDS_ADD_PROGRESS_ADD},
    {IDD_ADD_PROGRESS, IDC_ADD_PROGRESS_COUNT, IDS_ADD_PROGRESS_FOUND},
    {IDD_ADD_PROGRESS, IDC_ADD_PROGRESS_COUNT, IDS_ADD_PROGRESS_OF},
    {IDD_PROGRESS, IDC_PROGRESS_ANALYSIS, IDS_ANALYSIS_CAPTION},
    {IDD_PROGRESS, IDC_PROGRESS_STATUS, IDS_ANALYSIS_STATUS},
    {IDD_PROGRESS, IDC_PROGRESS_STATUS, IDS_MIGRATE_FINISHED},
    {IDD_PROGRESS, IDC_PROGRESS_STATUS, IDS_ANALYSIS_FINISHED},
};
const int kLargestCount = 99999;

bool Listed(const SizedAtRunTime* table, size_t n, const std::wstring& dialog, int control)
{
    for (size_t i = 0; i < n; ++i)
        if (dialog == std::to_wstring(table[i].dialog) && control == table[i].control)
            return true;
    return false;
}

std::string Utf8(const std::wstring& text) { return wts::Narrow(text, CP_UTF8); }

struct Module {
    std::wstring language;
    HMODULE handle;
};

// The language modules of the build that users of this system's code page read.
std::vector<Module> ModulesOfThisCodePage(std::vector<std::wstring>& others)
{
    std::vector<Module> modules;
    std::wstring folder = wts::BinDir() + L"\\drxlm\\";
    for (const std::wstring& language : wts::Entries(folder + L"*")) {
        if (!(GetFileAttributesW((folder + language).c_str()) & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        DWORD codePage = 0;
        GetLocaleInfoEx(language.c_str(), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<wchar_t*>(&codePage), sizeof(codePage) / sizeof(wchar_t));
        if (codePage != GetACP()) {
            others.push_back(language);
            continue;
        }
        HMODULE handle = LoadLibraryExW((folder + language + L"\\keNoluRes.dll").c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        modules.push_back({language, handle});
    }
    return modules;
}

std::wstring ResourceName(const wchar_t* name)
{
    return IS_INTRESOURCE(name) ? std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : std::wstring(name);
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names)
{
    reinterpret_cast<std::vector<std::wstring>*>(names)->push_back(ResourceName(name));
    return TRUE;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The template as a hidden dialog, with a hidden owner for child templates (the wizard's pages).
HWND CreateHidden(HMODULE module, const std::wstring& name, HWND owner)
{
    LPCWSTR id = name[0] >= L'0' && name[0] <= L'9' ? MAKEINTRESOURCEW(std::stoi(name)) : name.c_str();
    HRSRC resource = FindResourceW(module, id, MAKEINTRESOURCEW(5));
    if (!resource)
        return nullptr;
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    std::vector<BYTE> copy(bytes, bytes + SizeofResource(module, resource));
    // Extended templates keep the style after version, signature, help id and extended style.
    bool extended = copy.size() > 16 && copy[2] == 0xFF && copy[3] == 0xFF;
    DWORD* style = reinterpret_cast<DWORD*>(&copy[extended ? 12 : 0]);
    *style &= ~static_cast<DWORD>(WS_VISIBLE);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()),
                                      owner, QuietDialog, 0);
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// How a control draws its text: the DrawText flags and the room it leaves for the text; false for
// controls that show no template text of their own.
bool TextRoom(HWND control, UINT& flags, SIZE& room)
{
    RECT client;
    GetClientRect(control, &client);
    room = {client.right, client.bottom};
    LONG style = GetWindowLongW(control, GWL_STYLE);
    std::wstring cls = ClassOf(control);
    flags = DT_CALCRECT | DT_EXPANDTABS;
    if (lstrcmpiW(cls.c_str(), L"Static") == 0) {
        LONG kind = style & SS_TYPEMASK;
        if (style & SS_ELLIPSISMASK)
            return false;   // shortened to fit on purpose
        if (kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT)
            flags |= DT_WORDBREAK;
        else if (kind == SS_LEFTNOWORDWRAP || kind == SS_SIMPLE)
            flags |= DT_SINGLELINE;
        else
            return false;
        if (style & SS_NOPREFIX)
            flags |= DT_NOPREFIX;
        return true;
    }
    if (lstrcmpiW(cls.c_str(), L"Button") != 0)
        return false;
    flags |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    int edge = GetSystemMetrics(SM_CXEDGE);
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        room.cx -= 4 * edge;   // the raised frame and the focus rectangle on either side
        return true;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        room.cx -= GetSystemMetrics(SM_CXMENUCHECK) + 2 * edge;   // the glyph and the gap after it
        return true;
    case BS_GROUPBOX:
        room.cx -= 8 * edge;   // the frame runs on beside the text on either side
        return true;
    default:
        return false;
    }
}
}

TEST(Layout, EveryTextFitsItsControlInEveryDialogOfEveryLanguage)
{
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    std::vector<std::wstring> others;
    std::vector<Module> modules = ModulesOfThisCodePage(others);
    for (const std::wstring& language : others)
        std::printf("%s is measured on a system of its own code page, not this one (%u)\n", Utf8(language).c_str(),
                    GetACP());
    ASSERT_FALSE(modules.empty()) << "no language module of code page " << GetACP() << " in the bin folder";

    HWND owner = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    for (const Module& module : modules) {
        int measured = 0;
        ASSERT_NE(module.handle, nullptr) << Utf8(module.language) << ": the module does not load";
        std::vector<std::wstring> dialogs;
        EnumResourceNamesW(module.handle, MAKEINTRESOURCEW(5), CollectName, reinterpret_cast<LONG_PTR>(&dialogs));
        EXPECT_FALSE(dialogs.empty()) << Utf8(module.language) << ": no dialog templates";
        for (const std::wstring& dialogName : dialogs) {
            HWND dialog = CreateHidden(module.handle, dialogName, owner);
            EXPECT_NE(dialog, nullptr) << Utf8(module.language) << " dialog " << Utf8(dialogName)
                                       << " cannot be made";
            if (!dialog)
                continue;
            HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
            LOGFONTW heavy = {};
            GetObjectW(font, sizeof(heavy), &heavy);
            heavy.lfWeight = FW_BOLD;
            HFONT bold = CreateFontIndirectW(&heavy);
            for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
                int id = GetDlgCtrlID(control);
                UINT flags = 0;
                SIZE room = {};
                // Controls the template hides stay hidden: the folder chooser's file controls, the log option
                // kept for the settings' sake.
                bool hidden = !(GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE);
                bool sized = Listed(kSizedAtRunTime, std::size(kSizedAtRunTime), dialogName, id);
                if (hidden || sized || !TextRoom(control, flags, room))
                    continue;
                bool isBold = Listed(kBold, std::size(kBold), dialogName, id);
                if (isBold)
                    flags = (flags & ~static_cast<UINT>(DT_WORDBREAK)) | DT_SINGLELINE;
                std::vector<std::wstring> texts = {wts::WindowText(control)};
                for (const TextAtRunTime& t : kTextsAtRunTime) {
                    if (dialogName != std::to_wstring(t.dialog) || id != t.control)
                        continue;
                    const std::wstring format = wts::Text(t.string, module.language);
                    wchar_t text[1024] = {};
                    if (!format.empty())
                        swprintf(text, 1024, format.c_str(), kLargestCount, kLargestCount);
                    EXPECT_FALSE(format.empty()) << Utf8(module.language) << ": no string " << t.string;
                    texts.push_back(text);
                }
                HDC dc = GetDC(control);
                HGDIOBJ old = SelectObject(dc, isBold ? bold : font);
                for (const std::wstring& text : texts) {
                    if (text.empty())
                        continue;
                    RECT need = {0, 0, room.cx, 0};
                    DrawTextW(dc, text.c_str(), -1, &need, flags);
                    ++measured;
                    EXPECT_TRUE(need.right <= room.cx && need.bottom <= room.cy)
                        << Utf8(module.language) << " dialog " << Utf8(dialogName) << " control " << id << " ("
                        << Utf8(ClassOf(control)) << (isBold ? ", bold" : "") << ") \"" << Utf8(text) << "\": needs "
                        << need.right << " x " << need.bottom << " px, has " << room.cx << " x " << room.cy;
                }
                SelectObject(dc, old);
                ReleaseDC(control, dc);
            }
            DeleteObject(bold);
            DestroyWindow(dialog);
        }
        std::printf("%s: %d texts in %zu dialogs measured\n", Utf8(module.language).c_str(), measured,
                    dialogs.size());
        EXPECT_GT(measured, 0) << Utf8(module.language);
        FreeLibrary(module.handle);
    }
    DestroyWindow(owner);
}
