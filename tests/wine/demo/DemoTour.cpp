// The demo of scripts/demo.sh, run under Wine.
//
//   DemoTour.exe --prepare          installs the simulated host in C:\Draxil and writes the sample drawings
//                                   (several releases, drawing-sheet thumbnails) and their list to C:\Drawings
//   DemoTour.exe --run SHOTS        goes through Transmora's wizard as a user would with that list and the
//                                   default options, supervises the run to its end, takes a screenshot of each
//                                   page and of the run into the Unix folder SHOTS, and prints where the
//                                   migration log is and its summary
//
// Exit code of --run: 0 when every sample drawing was migrated, 1 otherwise, 2 when the wizard could not be
// driven. KEST_BIN names the build's bin folder (Unix path).
#include "DrawingGenerator.h"
#include "HostKeys.h"
#include "ProgressIds.h"
#include "WineTestSupport.h"
#include "WizardIds.h"
#include "WizardTestSupport.h"

#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
const wchar_t kHostFolder[] = L"C:\\Draxil";
const wchar_t kSampleFolder[] = L"C:\\Drawings";
const wchar_t kListFile[] = L"C:\\Drawings\\samples.dml";
const int kFilesList = 2000;
const int kFilesLoad = 2013;
const UINT kFilesLoadTitle = 2019;
const UINT kDmlHeader = 2024;
const UINT kSummaryHead = 2061;

HMODULE g_texts = nullptr;

std::wstring Text(UINT id)
{
    wchar_t* text = nullptr;
    int n = LoadStringW(g_texts, id, reinterpret_cast<wchar_t*>(&text), 0);
    return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

std::string Narrow(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// Where a Windows path of the prefix lies on the Unix side, for the reader of the demo's output.
std::string UnixPath(const std::wstring& path)
{
    typedef char*(CDECL * ToUnix)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"),
                                                          "wine_get_unix_file_name"));
    char* unixPath = toUnix ? toUnix(path.c_str()) : nullptr;
    std::string out = unixPath ? unixPath : Narrow(path);
    if (unixPath)
        HeapFree(GetProcessHeap(), 0, unixPath);
    return out;
}

struct Sample {
    const wchar_t* folder;
    const wchar_t* name;
    const char* release;
    uint16_t bits;
};

// Two folders, drawings of five earlier releases; the thumbnails in the two depths drawings carry.
const Sample kSamples[] = {
    {L"Gearbox", L"housing", "DX1012", 8},      {L"Gearbox", L"input shaft", "DX1015", 8},
    {L"Gearbox", L"output shaft", "DX1018", 24}, {L"Gearbox", L"cover", "DX1021", 8},
    {L"Gearbox", L"flange", "DX1027", 8},       {L"Conveyor", L"roller", "DX1015", 24},
    {L"Conveyor", L"frame", "DX1018", 8},       {L"Conveyor", L"belt guard", "DX1021", 8},
    {L"Conveyor", L"drive plate", "DX1012", 8}, {L"Conveyor", L"tensioner", "DX1027", 24},
};

std::wstring SamplePath(const Sample& s)
{
    return std::wstring(kSampleFolder) + L"\\" + s.folder + L"\\" + s.name + L".dwg";
}

int Prepare()
{
    if (wts::InstallHost(kHostFolder) != 0) {
        std::printf("could not install the simulated host in C:\\Draxil\n");
        return 2;
    }
    // Fresh samples every time: a migrated drawing is in the current release, and its list entry is marked.
    wts::Run(L"cmd /c rmdir /s /q \"" + std::wstring(kSampleFolder) + L"\" 2>nul");
    std::string list = Narrow(Text(kDmlHeader)) + "\r\n";
    uint32_t seed = 1;
    for (const Sample& s : kSamples) {
        SHCreateDirectoryExW(nullptr, (std::wstring(kSampleFolder) + L"\\" + s.folder).c_str(), nullptr);
        PictureSpec picture;
        picture.width = 160;
        picture.height = 120;
        picture.bitCount = s.bits;
        picture.compression = s.bits == 8 ? 1 : 0;
        picture.sheet = true;
        picture.seed = seed++;
        DrawingSpec drawing;
        drawing.magic = s.release;
        drawing.thumbnail = DrawingGenerator::MakeDib(picture);
        std::vector<uint8_t> bytes = DrawingGenerator::MakeDrawing(drawing);
        wts::WriteFileBytes(SamplePath(s), std::string(bytes.begin(), bytes.end()));
        list += "[ ]" + Narrow(SamplePath(s)) + "\r\n";
    }
    wts::WriteFileBytes(kListFile, list);
    std::printf("simulated host in C:\\Draxil; %zu sample drawings and their list %s\n",
                sizeof kSamples / sizeof kSamples[0], Narrow(kListFile).c_str());
    return 0;
}

// Driving Transmora.exe from this process, with window messages as the tour test does.
class Tour {
public:
    explicit Tour(std::string shots) : m_shots(std::move(shots)) {}

    int Run()
    {
        CreateDirectoryW(wts::FromUnix(m_shots).c_str(), nullptr);
        ResetHostKeysForTest();
        // The log's default name has no folder: it lands in Transmora's current folder, the samples' one.
        SetCurrentDirectoryW(kSampleFolder);
        m_process = wts::Start(L"\"" + wts::BinDir() + L"\\Transmora.exe\"");
        if (!m_process)
            return Fail("Transmora.exe does not start");
        m_pid = GetProcessId(m_process);
        int code = Drive();
        if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_process, 1);
        CloseHandle(m_process);
        return code;
    }

private:
    int Fail(const std::string& what)
    {
        std::printf("demo: %s\n", what.c_str());
        return 2;
    }

    void Shot(const char* name, HWND window)
    {
        if (wts::Screenshot(m_shots + "/" + name, {window}))
            ++m_shotCount;
    }

    HWND Page() const { return reinterpret_cast<HWND>(SendMessageW(m_sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }

    bool Next(int expectedIndex)
    {
        PostMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        return wiz::WaitUntil([&] { return wiz::PageIndex(m_sheet) == expectedIndex; }, 60000);
    }

    // A message the demo does not expect is shown and answered, so that the demo cannot hang on it.
    bool AnswerMessage(HWND owner)
    {
        HWND box = wiz::FindMessageBox(owner);
        if (!box)
            return false;
        std::printf("demo: Transmora says: %s\n", Narrow(wiz::StaticTexts(box)).c_str());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return true;
    }

    int Drive()
    {
        if (!wiz::WaitUntil([&] {
                m_sheet = wiz::FindTitled(m_pid, Text(2001));
                return m_sheet && wiz::PageIndex(m_sheet) == 0 &&
                       wiz::ButtonState(wiz::NextButton(m_sheet)) == "enabled";
            }, 120000))
            return Fail("Transmora.exe shows no wizard");
        Shot("1-begin.png", m_sheet);

        PostMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        HWND safety = nullptr;
        if (!wiz::WaitUntil([&] { return (safety = wiz::FindDialogWithItem(m_pid, IDC_SAFETY_ICON)) != nullptr; }))
            return Fail("no safety notice after Next");
        Shot("2-safety-notice.png", safety);
        PostMessageW(safety, WM_COMMAND, IDOK, 0);
        if (!wiz::WaitUntil([&] { return wiz::PageIndex(m_sheet) == 1; }))
            return Fail("no Files page after the safety notice");

        // Files: the sample list, loaded; the first drawing selected, so that its preview shows.
        const int samples = static_cast<int>(sizeof kSamples / sizeof kSamples[0]);
        HWND rows = GetDlgItem(Page(), kFilesList);
        PostMessageW(Page(), WM_COMMAND, MAKEWPARAM(kFilesLoad, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(Page(), kFilesLoad)));
        if (!wiz::ChooseFile(m_pid, Text(kFilesLoadTitle), kListFile))
            return Fail("no Load list dialog");
        if (!wiz::WaitUntil([&] { return ListView_GetItemCount(rows) == samples; }, 60000))
            return Fail("the list shows " + std::to_string(ListView_GetItemCount(rows)) + " drawings");
        PostMessageW(rows, WM_KEYDOWN, VK_DOWN, 1);
        wiz::WaitUntil([&] { return ListView_GetSelectedCount(rows) == 1; });
        Shot("3-files.png", m_sheet);

        // Options, standard, search folders and log as they are offered.
        const char* pages[] = {"4-options.png", "5-standards.png", "6-search.png"};
        for (int page = 2; page <= 4; ++page) {
            if (!Next(page))
                return Fail("page " + std::to_string(wiz::PageIndex(m_sheet)) + " instead of " + std::to_string(page));
            Shot(pages[page - 2], m_sheet);
        }
        if (!Next(5))
            return Fail("no Finish page");
        Shot("7-finish.png", m_sheet);
        PostMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);

        // The run, supervised to its end.
        HWND progress = nullptr;
        if (!wiz::WaitUntil([&] {
                AnswerMessage(m_sheet);
                return (progress = wiz::FindDialogWithItem(m_pid, IDC_PROGRESS_BAR)) != nullptr;
            }, 120000))
            return Fail("no progress dialog after Finish");
        std::printf("demo: migrating %d drawings...\n", samples);
        if (wiz::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(progress, IDC_PROGRESS_STOP)) != 0; }, 60000))
            Shot("8-running.png", progress);
        const std::wstring finished = Text(IDS_MIGRATE_FINISHED);
        if (!wiz::WaitUntil([&] {
                AnswerMessage(progress);
                return wts::WindowText(GetDlgItem(progress, IDC_PROGRESS_STATUS)) == finished &&
                       IsWindowEnabled(GetDlgItem(progress, IDOK));
            }, 600000))
            return Fail("the run did not finish");
        Shot("9-finished.png", progress);

        // Closed without opening the log in notepad: nobody would see it here.
        PostMessageW(progress, WM_COMMAND, IDCANCEL, 0);
        if (WaitForSingleObject(m_process, 60000) != WAIT_OBJECT_0)
            return Fail("Transmora.exe did not end");
        return Report(samples);
    }

    int Report(int samples)
    {
        std::wstring log;
        wts::RegGetString(HKEY_CURRENT_USER, GetProductKeyPath() + L"\\Migration", L"Logfile", log);
        wchar_t full[MAX_PATH] = {};
        if (GetFullPathNameW(log.c_str(), MAX_PATH, full, nullptr))
            log = full;
        std::string text = wts::ReadFileBytes(log);
        std::printf("\nmigration log: %s\n  (%s)\n", Narrow(log).c_str(), UnixPath(log).c_str());
        size_t summary = text.rfind(Narrow(Text(kSummaryHead)));
        if (summary != std::string::npos)
            for (size_t at = summary; at < text.size();) {
                size_t end = text.find('\n', at);
                std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                if (!line.empty())
                    std::printf("  %s\n", line.c_str());
                at = end == std::string::npos ? text.size() : end + 1;
            }
        std::printf("screenshots (%d): %s\n", m_shotCount, m_shots.c_str());

        // Migrated means saved by the host in its current release.
        int migrated = 0;
        for (const Sample& s : kSamples)
            migrated += wts::ReadFileBytes(SamplePath(s)).compare(0, 6, "DX1032") == 0;
        std::printf("%d of %d sample drawings migrated\n", migrated, samples);
        return summary != std::string::npos && migrated == samples ? 0 : 1;
    }

    std::string m_shots;
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
    HWND m_sheet = nullptr;
    int m_shotCount = 0;
};
}

int wmain(int argc, wchar_t** argv)
{
    g_texts = LoadLibraryW(wts::ResourceModulePath().c_str());
    if (!g_texts) {
        std::printf("no resource module in %s\n", Narrow(wts::BinDir()).c_str());
        return 2;
    }
    int code = 0;
    for (int i = 1; i < argc && code == 0; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--prepare") {
            code = Prepare();
        } else if (arg == L"--run" && i + 1 < argc) {
            std::wstring shots = argv[++i];
            code = Tour(std::string(shots.begin(), shots.end())).Run();
        } else {
            std::printf("usage: DemoTour.exe [--prepare] [--run SHOTS-FOLDER]\n");
            return 2;
        }
    }
    std::fflush(stdout);
    return code;
}
