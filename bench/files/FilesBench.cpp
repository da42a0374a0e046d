// Folder search of the Files page against "cmd /c dir /s /b" on the same tree, for 5,000, 10,000 and
// 20,000 drawings. The search is timed as the user meets it: a folder dropped on the wizard, every
// drawing's release read, every row in the list. Run from the build's bin folder under Wine:
//
//     KEST_XVFB=1 KEST_BIN=$BUILD_ROOT/windows/bin tests/wine/wine-run.sh $BUILD_ROOT/windows/bin/bench_files.exe
//
// Arguments: [folder for the trees] [counts ...]. The trees stay there for later runs.
//
// Without a window manager on the display, Wine's X11 driver waits two seconds for one whenever a
// managed window is hidden, as the progress window is at the end of each search: the program turns
// managed windows off in the prefix and runs itself again, so that wait is not timed.
#include "Afx.h"
#include "CKestNoluApp.h"
#include "CNOLUWizard.h"
#include "CPageFiles.h"
#include "DrawingGenerator.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

CKestNoluApp theApp;

namespace {
double Now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A tree as archives have them: 100 drawings per folder, ten folders per project, some other files.
void MakeTree(const std::wstring& root, int drawings)
{
    if (GetFileAttributesW((root + L"\\done").c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    CreateDirectoryW(root.c_str(), nullptr);
    std::vector<std::vector<uint8_t>> bodies;
    for (const char* magic : {"DX1015", "DX1018", "DX1021", "DX1024", "DX1027"}) {
        DrawingSpec spec;
        spec.magic = magic;
        spec.maintenance = 40;
        spec.bodyBytes = 4096;
        bodies.push_back(DrawingGenerator::MakeDrawing(spec));
    }
    for (int i = 0; i < drawings; ++i) {
        wchar_t project[MAX_PATH], folder[MAX_PATH], path[MAX_PATH];
        swprintf(project, MAX_PATH, L"%ls\\project %03d", root.c_str(), i / 1000);
        swprintf(folder, MAX_PATH, L"%ls\\part %02d", project, (i / 100) % 10);
        swprintf(path, MAX_PATH, L"%ls\\drawing %05d.dwg", folder, i);
        if (i % 1000 == 0)
            CreateDirectoryW(project, nullptr);
        if (i % 100 == 0) {
            CreateDirectoryW(folder, nullptr);
            HANDLE note = CreateFileW((std::wstring(folder) + L"\\notes.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, 0, nullptr);
            CloseHandle(note);
        }
        const std::vector<uint8_t>& body = bodies[static_cast<size_t>(i) % bodies.size()];
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, body.data(), static_cast<DWORD>(body.size()), &written, nullptr);
        CloseHandle(file);
    }
    CloseHandle(CreateFileW((root + L"\\done").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

double TimeDir(const std::wstring& root)
{
    std::wstring line = L"cmd /c dir /s /b \"" + root + L"\" > nul";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    double start = Now();
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    double seconds = Now() - start;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return seconds;
}

HGLOBAL DropOf(const std::wstring& path)
{
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    return block;
}

int RunUnmanaged()
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), 4);
        RegCloseKey(key);
    }
    SetEnvironmentVariableW(L"KEST_BENCH_CHILD", L"1");
    STARTUPINFOW startup = {sizeof(startup)};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    std::wstring line = GetCommandLineW();
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return 2;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 2;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(code);
}

struct Result {
    int drawings;
    double dir;
    double search;
    int rows;
};
}

int wmain(int argc, wchar_t** argv)
{
    if (!GetEnvironmentVariableW(L"KEST_BENCH_CHILD", nullptr, 0))
        return RunUnmanaged();
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring bin(exe);
    bin = bin.substr(0, bin.rfind(L'\\'));
    HMODULE resources = LoadLibraryW((bin + L"\\drxlm\\en-US\\keNoluRes.dll").c_str());
    if (!resources) {
        fprintf(stderr, "no resource module beside the program\n");
        return 2;
    }
    AfxSetResourceHandle(resources);
    theApp.m_appName.LoadString(2001);
    theApp.m_atLeastXP = true;

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring base = argc > 1 ? argv[1] : std::wstring(temp) + L"files-bench";
    std::vector<int> counts;
    for (int i = 2; i < argc; ++i)
        counts.push_back(_wtoi(argv[i]));
    if (counts.empty())
        counts = {5000, 10000, 20000};
    CreateDirectoryW(base.c_str(), nullptr);
    for (int n : counts)
        MakeTree(base + L"\\tree" + std::to_wstring(n), n);

    std::vector<Result> results;
    CNOLUWizard wizard;
    wizard.m_psh.nStartPage = 1;
    std::thread driver([&] {
        while (!wizard.m_hWnd || !IsWindowVisible(wizard.m_hWnd))
            Sleep(50);
        Sleep(500);
        HWND sheet = wizard.m_hWnd;
        HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        HWND list = GetDlgItem(page, 2000);
        for (int n : counts) {
            std::wstring tree = base + L"\\tree" + std::to_wstring(n);
            Result r = {n, 0, 0, 0};
            std::vector<double> dirs, searches;
            TimeDir(tree);   // the tree in the cache for both
            for (int round = 0; round < 3; ++round) {
                dirs.push_back(TimeDir(tree));
                double start = Now();
                // Returns when the page has searched the tree and filled the list.
                SendMessageW(sheet, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(tree)), 0);
                searches.push_back(Now() - start);
                r.rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
                SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
            }
            r.dir = Median(dirs);
            r.search = Median(searches);
            results.push_back(r);
        }
        // Cancel without the question: the wizard's own Cancel asks first.
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
        HWND box = nullptr;
        while (!box) {
            Sleep(50);
            for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w && !box;
                 w = FindWindowExW(nullptr, w, L"#32770", nullptr))
                if (GetWindow(w, GW_OWNER) == sheet && IsWindowVisible(w))
                    box = w;
        }
        PostMessageW(box, WM_COMMAND, IDYES, 0);
        for (int i = 0; i < 100 && wizard.m_hWnd; ++i) {
            PostMessageW(sheet, WM_NULL, 0, 0);
            Sleep(50);
        }
    });
    wizard.DoModal();
    driver.join();

    printf("%10s %10s %12s %8s %14s\n", "drawings", "dir (s)", "search (s)", "ratio", "us per drawing");
    for (const Result& r : results)
        printf("%10d %10.3f %12.3f %8.2f %14.1f%s\n", r.drawings, r.dir, r.search, r.search / r.dir,
               1e6 * r.search / r.drawings, r.rows == r.drawings ? "" : "  (rows differ!)");
    for (const Result& r : results)
        printf("BENCH\tfolder search, %d drawings%s\t%.2f s (%.0f us a drawing)\tdir /s /b: %.2f s\t%.2f\tunder 3\n",
               r.drawings, r.rows == r.drawings ? "" : " (rows differ!)", r.search, 1e6 * r.search / r.drawings, r.dir,
               r.search / r.dir);
    return 0;
}
