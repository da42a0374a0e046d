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
#include "RunIds.h"
#include "TransmoraDriver.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
const wchar_t kHostFolder[] = L"C:\\Draxil";
const wchar_t kSampleFolder[] = L"C:\\Drawings";
const wchar_t kListFile[] = L"C:\\Drawings\\samples.dml";

using wts::Narrow;
using wts::Text;

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
    std::string list = Narrow(Text(IDS_DML_HEADER)) + "\r\n";
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
        TransmoraDriver app;
        if (!app.process)
            return Fail("Transmora.exe does not start");
        return Drive(app);
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

    // A message the demo does not expect is shown and answered, so that the demo cannot hang on it.
    void AnswerMessage(HWND owner)
    {
        if (HWND box = wiz::FindMessageBox(owner)) {
            std::printf("demo: Transmora says: %s\n", Narrow(wiz::StaticTexts(box)).c_str());
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    }

    int Drive(TransmoraDriver& app)
    {
        HWND sheet = app.WaitForBeginPage(120000);
        if (!sheet)
            return Fail("Transmora.exe shows no wizard");
        Shot("1-begin.png", sheet);
        if (!app.ToFilesPage([&](HWND safety) { Shot("2-safety-notice.png", safety); }))
            return Fail("no safety notice, or no Files page after it");

        // Files: the sample list, loaded; the first drawing selected, so that its preview shows.
        const int samples = static_cast<int>(sizeof kSamples / sizeof kSamples[0]);
        if (!app.LoadList(kListFile, samples))
            return Fail("the sample list did not load its " + std::to_string(samples) + " drawings");
        app.SelectFirstDrawing();
        Shot("3-files.png", sheet);

        // Options, standard, search folders and log as they are offered.
        const char* pages[] = {"4-options.png", "5-standards.png", "6-search.png", "7-finish.png"};
        for (int page = 2; page <= 5; ++page) {
            if (!app.Next(page, 60000))
                return Fail("page " + std::to_string(wiz::PageIndex(sheet)) + " instead of " + std::to_string(page));
            Shot(pages[page - 2], sheet);
        }

        // The run, supervised to its end.
        HWND progress = app.Finish([&] { AnswerMessage(sheet); }, 120000);
        if (!progress)
            return Fail("no progress dialog after Finish");
        std::printf("demo: migrating %d drawings...\n", samples);
        if (wts::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(progress, IDC_PROGRESS_STOP)) != 0; }, 60000))
            Shot("8-running.png", progress);
        if (!app.WaitForFinished(600000, [&] { AnswerMessage(progress); }))
            return Fail("the run did not finish");
        Shot("9-finished.png", progress);

        // Closed without opening the log in notepad: nobody would see it here.
        PostMessageW(progress, WM_COMMAND, IDCANCEL, 0);
        if (!app.WaitForExit())
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
        size_t summary = text.rfind(Narrow(Text(IDS_SUMMARY_HEAD)));
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
    int m_shotCount = 0;
};
}

int wmain(int argc, wchar_t** argv)
{
    if (Text(IDS_DML_HEADER).empty()) {
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
