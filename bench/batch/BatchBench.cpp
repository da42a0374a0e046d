// The batch under Wine (or Windows), run by hand or by bench.sh:
//   BatchBench.exe [drawings] [rounds]
// 1. Preparing a run and writing the migrate batch for 10,000 drawings, on
//    the window's thread, against writing as many bytes with one plain write:
//    ASCII names, names outside ASCII (en-US) and Japanese names in the
//    Japanese module. The piece files those need are written afterwards on
//    the writer's thread, which is stopped after each round.
// 2. Transmora's own time per drawing: 1,000 drawings through the batch with
//    a host that ends at once, against that host started 1,000 times by a loop.
#include "CKestNoluApp.h"
#include "HostKeys.h"
#include "KestFilenm.h"
#include "RunLog.h"
#include "TextLocale.h"

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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::wstring g_bin, g_dir;

void UseLanguage(const wchar_t* module, int languageId)
{
    if (HMODULE resources = LoadLibraryW((g_bin + L"drxlm\\" + module + L"\\keNoluRes.dll").c_str()))
        AfxSetResourceHandle(resources);
    SetSystemLanguageForTest(languageId);
}

void UseDrawings(int count, const wchar_t* format)
{
    theApp.m_drawings.clear();
    for (int i = 0; i < count; ++i) {
        wchar_t path[200];
        swprintf(path, 200, format, i % 9, i % 31, i);
        theApp.m_drawings.push_back(path);
    }
}

// Case 1: the window thread's part of a start, against one plain write of its bytes.
void WriteBatches(const char* what, int count, int rounds)
{
    std::vector<double> runs, writes, prepares;
    long long bytes = 0;
    static int batches = 0;
    for (int round = 0; round < rounds; ++round) {
        // A batch of its own each round, so no piece of an earlier one is taken.
        const std::wstring batch = g_dir + L"\\migrate" + std::to_wstring(++batches) + L".bat";
        double start = Now();
        theApp.PrepareRun();
        prepares.push_back(Now() - start);
        theApp.WriteBatchFile(0, batch, g_dir + L"\\update.scr", g_dir + L"\\plain.scr", false);
        runs.push_back(Now() - start);
        theApp.m_pieceWriter.Stop();

        bytes = FileSize(MigrateListPath()) + FileSize(batch);
        std::string data(static_cast<size_t>(bytes), 'x');
        start = Now();
        PlainWrite(g_dir + L"\\plain.bin", data);
        writes.push_back(Now() - start);
        DeleteFileW(batch.c_str());
    }
    const double run = Median(runs), write = Median(writes);
    std::printf("%s: drawings %d, bytes written %lld\n", what, count, bytes);
    std::printf("  prepare run + write batch: median %.2f ms (best %.2f)\n", run,
                *std::min_element(runs.begin(), runs.end()));
    std::printf("  of which prepare run:      median %.2f ms\n", Median(prepares));
    std::printf("  one plain write:           median %.2f ms\n", write);
    std::printf("BENCH\tprepare run + write batch, %d drawings, %s\t%.1f ms\tone plain write of the bytes: %.1f ms\t"
                "%.2f\tunder 5\n",
                count, what, run, write, run / write);
}

double RunProcess(const std::wstring& command)
{
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return -1;
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 0;
}

// Case 2: the batch's own cost per drawing, with a host that ends at once.
void PerDrawing(int count)
{
    const std::wstring host = g_dir + L"\\host\\";
    CreateDirectoryW(host.c_str(), nullptr);
    CopyFileW((g_bin + L"QuickHost.exe").c_str(), (host + L"drxl.exe").c_str(), FALSE);
    theApp.m_hostFolder = host;
    UseDrawings(count, L"C:\\Projects\\Plant %d\\Area %d\\Drawings\\P-%06d rev B.dwg");

    theApp.WriteHeadScript(theApp.m_headScript);
    theApp.WriteBodyScript(g_dir + L"\\update.scr", false, true);
    theApp.WriteBodyScript(g_dir + L"\\plain.scr", false, false);
    double start = Now();
    theApp.PrepareRun();
    const std::wstring batch = g_dir + L"\\quick.bat";
    theApp.WriteBatchFile(0, batch, g_dir + L"\\update.scr", g_dir + L"\\plain.scr", false);
    theApp.LaunchBatch(batch);
    if (theApp.m_batch.Held())
        WaitForSingleObject(theApp.m_batch.m_info.hProcess, INFINITE);
    const double viaBatch = Now() - start;
    theApp.m_batch.Clear();

    start = Now();
    const std::wstring command = L"\"" + host + L"drxl.exe\" /b \"" + theApp.m_drawingScript + L"\" /p x /nologo";
    for (int i = 0; i < count; ++i)
        RunProcess(command);
    const double loop = Now() - start;
    std::printf("per drawing: batch %.1f ms, loop %.1f ms\n", viaBatch / count, loop / count);
    std::printf("BENCH\tTransmora's own time per drawing, %d drawings, host ends at once\t%.2f ms a drawing "
                "(%.1f s)\tthe host started by a loop: %.2f ms a drawing\t%.2f\t-\n",
                count, (viaBatch - loop) / count, viaBatch / 1000, loop / count, viaBatch / loop);
}
}

int wmain(int argc, wchar_t** argv)
{
    const int count = argc > 1 ? _wtoi(argv[1]) : 10000;
    const int rounds = argc > 2 ? _wtoi(argv[2]) : 7;
    const int quick = argc > 3 ? _wtoi(argv[3]) : 1000;

    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    g_bin = module;
    g_bin = g_bin.substr(0, g_bin.find_last_of(L'\\') + 1);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    g_dir = std::wstring(temp) + L"kest-batch-bench";
    CreateDirectoryW(g_dir.c_str(), nullptr);
    SetEnvironmentVariableW(L"TEMP", g_dir.c_str());
    g_logFile = g_dir + L"\\migration.log";

    theApp.m_Operation = 1;
    theApp.m_hostFolder = L"C:\\Program Files\\Korvane\\Draxil";
    theApp.m_searchFolders = {L"C:\\Program Files\\Korvane\\Draxil\\support", L"D:\\Standards\\Symbols"};
    KestFilenm name;
    name.SetTempName(L"TMP");
    theApp.m_progressFile = name.m_path;
    name.SetTempName(L"SCR");
    theApp.m_headScript = name.m_path;
    theApp.m_atLeastXP = true;

    UseLanguage(L"en-US", 0x0409);
    UseDrawings(count, L"C:\\Projects\\Plant %d\\Area %d\\Drawings\\Piping\\P-%06d rev B.dwg");
    WriteBatches("ASCII names", count, rounds);
    UseDrawings(count, L"C:\\Projects\\Plant %d\\Area %d\\Zeichnungen\\Rohrleitung\\P-%06d \u00c4nderung B.dwg");
    WriteBatches("names outside ASCII", count, rounds);
    UseLanguage(L"ja-JP", 0x0411);
    UseDrawings(count, L"C:\\\u30d7\u30ed\u30b8\u30a7\u30af\u30c8\\\u5de5\u5834 %d\\\u533a\u57df %d\\"
                       L"\u914d\u7ba1\u56f3 %06d.dwg");
    WriteBatches("Japanese names, Japanese module", count, rounds);
    UseLanguage(L"en-US", 0x0409);
    if (quick > 0)
        PerDrawing(quick);

    theApp.m_pieceWriter.Stop();
    DeleteFileW(theApp.m_headScript.c_str());
    for (const std::wstring& file : theApp.m_tempFiles)
        KestPieceWriter::DeleteTempPath(file);
    for (const wchar_t* file : {L"\\update.scr", L"\\plain.scr", L"\\plain.bin", L"\\quick.bat", L"\\migration.log",
                                L"\\host\\drxl.exe"})
        DeleteFileW((g_dir + file).c_str());
    DeleteFileW(MigrateListPath().c_str());
    RemoveDirectoryW((g_dir + L"\\host").c_str());
    RemoveDirectoryW(g_dir.c_str());
    return 0;
}
