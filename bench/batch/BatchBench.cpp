// Preparing a run and writing the migrate batch for 10,000 drawings, against
// writing the same number of bytes with one plain write. Run by hand under
// Wine (or Windows): wine BatchBench.exe [drawings] [rounds] [--outside-ascii]
// The last option gives every drawing a name outside ASCII, which costs two
// piece files per drawing.
#include "CKestNoluApp.h"
#include "HostKeys.h"
#include "KestFilenm.h"
#include "RunLog.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

CKestNoluApp theApp;

namespace {
double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

long long FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void PlainWrite(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}
}

int wmain(int argc, wchar_t** argv)
{
    const int count = argc > 1 ? _wtoi(argv[1]) : 10000;
    const int rounds = argc > 2 ? _wtoi(argv[2]) : 7;
    const bool outsideAscii = argc > 3 && std::wstring(argv[3]) == L"--outside-ascii";

    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring bin(module);
    bin = bin.substr(0, bin.find_last_of(L'\\') + 1);
    if (HMODULE resources = LoadLibraryW((bin + L"drxlm\\en-US\\keNoluRes.dll").c_str()))
        AfxSetResourceHandle(resources);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + L"kest-batch-bench";
    CreateDirectoryW(dir.c_str(), nullptr);
    SetEnvironmentVariableW(L"TEMP", dir.c_str());
    g_logFile = dir + L"\\migration.log";

    theApp.m_Operation = 1;
    theApp.m_hostFolder = L"C:\\Program Files\\Korvane\\Draxil";
    theApp.m_searchFolders = {L"C:\\Program Files\\Korvane\\Draxil\\support", L"D:\\Standards\\Symbols"};
    for (int i = 0; i < count; ++i) {
        wchar_t path[200];
        swprintf(path, 200,
                 outsideAscii ? L"C:\\Projects\\Plant %d\\Area %d\\Zeichnungen\\Rohrleitung\\P-%06d \u00c4nderung B.dwg"
                              : L"C:\\Projects\\Plant %d\\Area %d\\Drawings\\Piping\\P-%06d rev B.dwg",
                 i % 9, i % 31, i);
        theApp.m_drawings.push_back(path);
    }
    KestFilenm name;
    name.SetTempName(L"TMP");
    theApp.m_progressFile = name.m_path;
    name.SetTempName(L"SCR");
    theApp.m_headScript = name.m_path;
    const std::wstring batch = dir + L"\\migrate.bat";
    const std::wstring update = dir + L"\\update.scr";
    const std::wstring plain = dir + L"\\plain.scr";
    const std::wstring plainFile = dir + L"\\plain.bin";

    std::vector<double> runs, writes, prepares;
    long long bytes = 0;
    for (int round = 0; round < rounds; ++round) {
        double start = Now();
        theApp.PrepareRun();
        prepares.push_back(Now() - start);
        theApp.WriteBatchFile(0, batch, update, plain, false);
        runs.push_back(Now() - start);

        bytes = FileSize(MigrateListPath()) + FileSize(batch);
        std::string data(static_cast<size_t>(bytes), 'x');
        start = Now();
        PlainWrite(plainFile, data);
        writes.push_back(Now() - start);
    }
    std::sort(prepares.begin(), prepares.end());
    std::sort(runs.begin(), runs.end());
    std::sort(writes.begin(), writes.end());
    double run = runs[runs.size() / 2], write = writes[writes.size() / 2];
    std::printf("drawings %d, batch count %d, bytes written %lld\n", count, static_cast<int>(theApp.m_batchCount),
                bytes);
    std::printf("prepare run + write batch: median %.2f ms (best %.2f)\n", run, runs.front());
    std::printf("  of which prepare run:    median %.2f ms\n", prepares[prepares.size() / 2]);
    std::printf("one plain write:           median %.2f ms (best %.2f)\n", write, writes.front());
    std::printf("ratio %.2f (goal: under 5)\n", run / write);
    std::printf("BENCH\tprepare run + write batch, %d drawings\t%.1f ms\tone plain write of the bytes: %.1f ms\t%.2f\t"
                "under 5\n",
                count, run, write, run / write);

    for (const std::wstring& file : {batch, update, plain, plainFile, MigrateListPath(), theApp.m_drawingScript})
        DeleteFileW(file.c_str());
    for (const std::wstring& file : theApp.m_tempFiles)
        DeleteFileW(file.c_str());
    RemoveDirectoryW(dir.c_str());
    return 0;
}
