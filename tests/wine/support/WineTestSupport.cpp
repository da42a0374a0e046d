#include "WineTestSupport.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

namespace wts {

std::wstring FromUnix(const std::string& unixPath)
{
    std::wstring out = L"Z:";
    for (char c : unixPath)
        out += (c == '/') ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return out;
}

std::wstring BinDir()
{
    const char* bin = std::getenv("KEST_BIN");
    return bin ? FromUnix(bin) : std::wstring(L".");
}

std::wstring ResourceModulePath() { return BinDir() + L"\\drxlm\\en-US\\keNoluRes.dll"; }

int InstallHost(const std::wstring& folder, const std::wstring& language)
{
    return Run(Quoted(BinDir() + L"\\HostSetup.exe") + L" " + Quoted(folder) + L" --language " + language);
}

std::wstring FreshDir(const std::wstring& name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + L"kest-" + name;
    std::wstring command = L"cmd /c rmdir /s /q \"" + dir + L"\" 2>nul";
    Run(command);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

HANDLE Start(const std::wstring& commandLine, const std::wstring& env)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::wstring line = commandLine;
    std::wstring block;
    if (!env.empty()) {
        // Ours, with the given "NAME=value;NAME=value" entries added or put in place of ours.
        std::vector<std::wstring> given;
        for (size_t start = 0; start < env.size();) {
            size_t end = env.find(L';', start);
            if (end == std::wstring::npos) end = env.size();
            given.push_back(env.substr(start, end - start));
            start = end + 1;
        }
        auto nameOf = [](const std::wstring& entry) { return entry.substr(0, entry.find(L'=', 1)); };
        wchar_t* current = GetEnvironmentStringsW();
        for (wchar_t* p = current; *p; p += wcslen(p) + 1) {
            std::wstring name = nameOf(p);
            bool replaced = false;
            for (const std::wstring& entry : given)
                replaced = replaced || _wcsicmp(nameOf(entry).c_str(), name.c_str()) == 0;
            if (!replaced)
                block.append(p).push_back(L'\0');
        }
        FreeEnvironmentStringsW(current);
        for (const std::wstring& entry : given)
            block.append(entry).push_back(L'\0');
        block.push_back(L'\0');
    }
    // Under load Wine's new process may die before it runs a line of its own,
    // and the creation fails with ERROR_INTERNAL_ERROR: nothing of it ran, so
    // it is started again (a few times at most).
    BOOL created = FALSE;
    for (int attempt = 0; attempt < 3 && !created; ++attempt) {
        line = commandLine;
        created = CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                                 block.empty() ? nullptr : &block[0], nullptr, &si, &pi);
        if (!created && GetLastError() != ERROR_INTERNAL_ERROR)
            break;
    }
    if (!created)
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int Run(const std::wstring& commandLine, DWORD timeoutMs)
{
    HANDLE process = Start(commandLine);
    if (!process)
        return -998;
    DWORD code = static_cast<DWORD>(-999);
    if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    else
        TerminateProcess(process, 1);
    CloseHandle(process);
    return static_cast<int>(code);
}

namespace {
struct FindTitle {
    const std::wstring* title;
    HWND found;
};
BOOL CALLBACK FindTitleProc(HWND window, LPARAM lParam)
{
    auto* find = reinterpret_cast<FindTitle*>(lParam);
    if (IsWindowVisible(window) && WindowText(window) == *find->title) {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}
BOOL CALLBACK ChildProc(HWND window, LPARAM lParam)
{
    reinterpret_cast<std::vector<std::wstring>*>(lParam)->push_back(WindowText(window));
    return TRUE;
}
}

HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        FindTitle find = {&title, nullptr};
        EnumWindows(FindTitleProc, reinterpret_cast<LPARAM>(&find));
        if (find.found)
            return find.found;
        if (GetTickCount() - start > timeoutMs)
            return nullptr;
        Pump(100);
    }
}

std::wstring WindowText(HWND window)
{
    wchar_t buffer[1024] = {0};
    // WM_GETTEXT across processes works for our purposes under Wine and Windows.
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

std::vector<std::wstring> ChildTexts(HWND window)
{
    std::vector<std::wstring> texts;
    EnumChildWindows(window, ChildProc, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

std::vector<HWND> WindowsOf(DWORD processId, const std::function<bool(HWND)>& keep)
{
    struct Search {
        DWORD processId;
        const std::function<bool(HWND)>* keep;
        std::vector<HWND> found;
    } search = {processId ? processId : GetCurrentProcessId(), &keep, {}};
    EnumWindows(
        [](HWND window, LPARAM l) -> BOOL {
            auto* s = reinterpret_cast<Search*>(l);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if ((s->processId == kAnyProcess || pid == s->processId) && IsWindowVisible(window) &&
                (!*s->keep || (*s->keep)(window)))
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

DWORD ExitCode(HANDLE process, DWORD waitMs)
{
    DWORD code = STILL_ACTIVE;
    if (process && WaitForSingleObject(process, waitMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    return code;
}

void EndProcess(HANDLE process, UINT exitCode)
{
    if (!process)
        return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, exitCode);
        WaitForSingleObject(process, 10000);
    }
    CloseHandle(process);
}

int EndTree(HANDLE process, DWORD graceMs)
{
    if (!process)
        return 0;
    auto tree = ProcessTree(GetProcessId(process));
    TerminateProcess(process, 9);
    WaitForSingleObject(process, 10000);
    // Its job ends what it started; any that live on are counted, then ended so that the suite goes on clean.
    int survivors = 0;
    for (size_t i = 1; i < tree.size(); ++i)
        if (HANDLE child = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, tree[i].first)) {
            if (WaitForSingleObject(child, graceMs) == WAIT_TIMEOUT) {
                ++survivors;
                TerminateProcess(child, 9);
                WaitForSingleObject(child, 10000);
            }
            CloseHandle(child);
        }
    return survivors;
}

void RegSetString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value)
{
    HKEY k;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * 2));
        RegCloseKey(k);
    }
}

void RegSetDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD value)
{
    HKEY k;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(k, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
        RegCloseKey(k);
    }
}

bool RegGetString(HKEY root, const std::wstring& key, const std::wstring& name, std::wstring& value)
{
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 0;
    bool ok = RegQueryValueExW(k, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ;
    if (ok) {
        std::wstring data(size / 2 + 1, L'\0');
        ok = RegQueryValueExW(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) ==
             ERROR_SUCCESS;
        data.resize(wcslen(data.c_str()));
        value = data;
    }
    RegCloseKey(k);
    return ok;
}

bool RegGetDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD& value)
{
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 4, data = 0;
    bool ok = RegQueryValueExW(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) ==
                  ERROR_SUCCESS && type == REG_DWORD;
    if (ok)
        value = data;
    RegCloseKey(k);
    return ok;
}

bool RegValueExists(HKEY root, const std::wstring& key, const std::wstring& name)
{
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    bool ok = RegQueryValueExW(k, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(k);
    return ok;
}

void RegDeleteTree(HKEY root, const std::wstring& key) { RegDeleteTreeW(root, key.c_str()); }

std::vector<std::wstring> RegValueNames(HKEY root, const std::wstring& key)
{
    std::vector<std::wstring> names;
    HKEY k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD length = 512;
        if (RegEnumValueW(k, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(k);
    return names;
}

namespace {
// A Unix program run to its end through Wine's own spawner; false when it cannot run or fails.
bool SpawnUnix(std::vector<std::string> args)
{
    typedef LONG(CDECL * Spawn)(char* const argv[], int wait);
    auto spawn = reinterpret_cast<Spawn>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp"));
    if (!spawn)
        return false;
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    return spawn(argv.data(), 1) == 0;
}
}

bool Screenshot(const std::string& unixPath, const RECT& area, std::initializer_list<HWND> windows)
{
    // Every window paints itself anew now, and has handled what was queued before.
    for (HWND w : windows) {
        if (!w)
            continue;
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    }
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, cut;
    if (!IntersectRect(&cut, &area, &screen))
        return false;
    std::string geometry = std::to_string(cut.right - cut.left) + "x" + std::to_string(cut.bottom - cut.top) + "+" +
                           std::to_string(cut.left) + "+" + std::to_string(cut.top);
    // Painted pixels reach the display a little later: grab until the picture stops changing. Without
    // metadata the file's bytes depend on the pixels alone.
    const std::string grab = unixPath + ".grab.png";
    std::string last;
    bool steady = false;
    for (int i = 0; i < 30 && !steady; ++i) {
        if (i > 0)
            Pump(150);   // paints of this thread's own windows reach the display too
        if (!SpawnUnix({"/usr/bin/import", "-window", "root", "-crop", geometry, "+repage", "-strip", grab}))
            return false;
        std::string bytes = ReadFileBytes(FromUnix(grab));
        steady = !bytes.empty() && bytes == last;
        last = bytes;
    }
    return !last.empty() && MoveFileExW(FromUnix(grab).c_str(), FromUnix(unixPath).c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool Screenshot(const std::string& unixPath, std::initializer_list<HWND> windows)
{
    RECT all = {};
    bool first = true;
    for (HWND w : windows) {
        RECT r;
        if (!w || !GetWindowRect(w, &r))
            continue;
        if (first)
            all = r;
        else
            UnionRect(&all, &all, &r);
        first = false;
    }
    return !first && Screenshot(unixPath, all, windows);
}

std::string Narrow(const std::wstring& text, UINT codePage)
{
    int n = WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring Lower(std::wstring text)
{
    if (!text.empty())
        CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    return text;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(30);
    }
    return true;
}

std::wstring Text(UINT id, const std::wstring& language)
{
    // Loaded once per language for the whole suite, as data: the module has no code to run.
    static std::map<std::wstring, HMODULE> modules;
    HMODULE& module = modules[language];
    if (!module)
        module = LoadLibraryExW((BinDir() + L"\\drxlm\\" + language + L"\\keNoluRes.dll").c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    wchar_t* text = nullptr;
    int n = module ? LoadStringW(module, id, reinterpret_cast<wchar_t*>(&text), 0) : 0;
    return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

std::wstring Format(UINT id, int number, const std::wstring& language)
{
    wchar_t buffer[512];
    return swprintf(buffer, 512, Text(id, language).c_str(), number) >= 0 ? buffer : std::wstring();
}

std::wstring Format(UINT id, const std::wstring& argument, const std::wstring& language)
{
    std::wstring text = Text(id, language);
    size_t at = text.find(L"%s");
    return at == std::wstring::npos ? text : text.replace(at, 2, argument);
}

std::string Line(UINT id, int number) { return Narrow(Format(id, number)); }
std::string Line(UINT id, const std::wstring& argument) { return Narrow(Format(id, argument)); }

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> Entries(const std::wstring& pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<uint8_t> PartThumbnail(unsigned seed)
{
    const int width = 160, height = 120;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap =
        CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HPEN frame = CreatePen(PS_SOLID, 1, RGB(40, 40, 40));
    HPEN part = CreatePen(PS_SOLID, 2, RGB(20, 60, 160));
    HPEN axis = CreatePen(PS_DASHDOT, 1, RGB(200, 40, 40));
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    SelectObject(dc, frame);
    Rectangle(dc, 4, 4, width - 4, height - 4);
    Rectangle(dc, width - 60, height - 24, width - 4, height - 4);
    MoveToEx(dc, width - 60, height - 14, nullptr);
    LineTo(dc, width - 4, height - 14);
    SelectObject(dc, part);
    const int cx = 60 + static_cast<int>(seed % 3) * 6, cy = 52, r = 22 + static_cast<int>(seed % 4) * 4;
    if (seed % 2)
        Ellipse(dc, cx - r, cy - r, cx + r, cy + r);
    else
        Rectangle(dc, cx - r - 8, cy - r + 4, cx + r + 8, cy + r - 4);
    Ellipse(dc, cx - 8, cy - 8, cx + 8, cy + 8);
    for (unsigned i = 0; i < 4 + seed % 3; ++i) {
        double a = 6.2831853 * i / (4 + seed % 3);
        int x = cx + static_cast<int>(std::lround((r - 7) * std::cos(a)));
        int y = cy + static_cast<int>(std::lround((r - 7) * std::sin(a)));
        Ellipse(dc, x - 3, y - 3, x + 3, y + 3);
    }
    SelectObject(dc, axis);
    MoveToEx(dc, cx - r - 12, cy, nullptr);
    LineTo(dc, cx + r + 12, cy);
    MoveToEx(dc, cx, cy - r - 10, nullptr);
    LineTo(dc, cx, cy + r + 10);
    GdiFlush();
    const size_t stride = (width * 3 + 3) & ~3u;
    std::vector<uint8_t> dib(sizeof(header) + stride * height);
    memcpy(dib.data(), &header, sizeof(header));
    memcpy(dib.data() + sizeof(header), bits, stride * height);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    DeleteObject(frame);
    DeleteObject(part);
    DeleteObject(axis);
    return dib;
}

ULONGLONG CreatedAt(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    FILETIME created = {}, unused = {};
    const bool read = process && GetProcessTimes(process, &created, &unused, &unused, &unused);
    if (process)
        CloseHandle(process);
    return read ? (ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime : 0;
}

std::vector<std::pair<DWORD, std::wstring>> ProcessTree(DWORD root)
{
    struct Process {
        DWORD pid, parent;
        std::wstring name;
        ULONGLONG created;
    };
    std::vector<Process> all;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        all.push_back({entry.th32ProcessID, entry.th32ParentProcessID, Lower(entry.szExeFile),
                       CreatedAt(entry.th32ProcessID)});
    CloseHandle(snapshot);
    std::vector<std::pair<DWORD, std::wstring>> tree = {{root, L""}};
    std::vector<ULONGLONG> created = {CreatedAt(root)};
    for (size_t i = 0; i < tree.size(); ++i)
        for (const Process& p : all) {
            bool known = std::any_of(tree.begin(), tree.end(), [&](const auto& t) { return t.first == p.pid; });
            if (p.parent == tree[i].first && !known && (!p.created || p.created >= created[i])) {
                tree.push_back({p.pid, p.name});
                created.push_back(p.created);
            }
        }
    return tree;
}
}
