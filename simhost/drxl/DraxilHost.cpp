#include "DraxilHost.h"
#include "FaultDialog.h"

#include <cwctype>

namespace {
const char kCurrentMagic[] = "DX1032";
const DWORD kSupervisorWaitMs = 120000;

std::wstring Widen(const std::string& bytes, UINT codePage, DWORD flags)
{
    if (bytes.empty())
        return std::wstring();
    int n = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
    return out;
}

// Marker texts are UTF-8 when they are valid UTF-8, else text of the system code page.
std::wstring MarkerText(const std::string& bytes)
{
    std::wstring utf8 = Widen(bytes, CP_UTF8, MB_ERR_INVALID_CHARS);
    return !utf8.empty() || bytes.empty() ? utf8 : Widen(bytes, CP_ACP, 0);
}

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

bool ReadBytes(const std::wstring& path, std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes.clear();
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0 && bytes.size() < (64u << 20))
        bytes.append(buffer, got);
    CloseHandle(file);
    return true;
}

bool AppendBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::wstring Trimmed(const std::wstring& text)
{
    size_t first = 0, last = text.size();
    while (first < last && std::iswspace(text[first]))
        ++first;
    while (last > first && std::iswspace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::wstring Unquoted(const std::wstring& text)
{
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
        return text.substr(1, text.size() - 2);
    return text;
}

bool Is(const std::wstring& command, const wchar_t* name) { return _wcsicmp(command.c_str(), name) == 0; }

std::wstring FileName(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring Environment(const wchar_t* name)
{
    wchar_t buffer[4096] = {0};
    DWORD n = GetEnvironmentVariableW(name, buffer, 4096);
    return n > 0 && n < 4096 ? std::wstring(buffer, n) : std::wstring();
}
}

bool DraxilHost::LoadScript(const std::wstring& path)
{
    std::string bytes;
    if (!ReadBytes(path, bytes))
        return false;
    std::wstring text = Widen(bytes, CP_ACP, 0);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = Trimmed(text.substr(start, end - start));
        if (!line.empty())   // an empty line repeats the last command; the contract never uses one
            m_lines.push_back(line);
        start = end + 1;
    }
    return true;
}

std::wstring DraxilHost::NextLine() { return m_next < m_lines.size() ? m_lines[m_next++] : std::wstring(); }

void DraxilHost::Step()
{
    if (m_inStep || m_waiting || m_stopped)
        return;
    m_inStep = true;
    while (!m_waiting && !m_stopped) {
        if (!m_pending.empty()) {
            Fault fault = m_pending.front();
            m_pending.pop_front();
            RunFault(fault);
            continue;
        }
        if (m_next >= m_lines.size())
            break;   // no "_.QUIT": the host waits at its command line
        Execute(NextLine());
    }
    m_inStep = false;
}

void DraxilHost::OnTimer(UINT_PTR id)
{
    if (id == kReassertTimer) {
        m_log.Reassert();
        return;
    }
    if (id == kResumeTimer) {
        KillTimer(m_window, kResumeTimer);
        KillTimer(m_window, kReassertTimer);
        m_waiting = false;
        Step();
    }
}

void DraxilHost::WaitThenStep(DWORD ms)
{
    m_waiting = true;
    SetTimer(m_window, kResumeTimer, ms, nullptr);
}

void DraxilHost::Execute(const std::wstring& command)
{
    if (Is(command, L"_EXPERT")) {
        NextLine();
    } else if (Is(command, L"_krx")) {
        std::wstring action = NextLine();
        std::wstring name = Unquoted(NextLine());
        if (Is(action, L"_load")) {
            DWORD attributes = GetFileAttributesW(name.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                _wcsicmp(FileName(name).c_str(), L"kemigr.krx") == 0) {
                m_extension = true;
                m_log.Start();
                m_log.Add(L"kemigr: loaded " + name);
            }
        } else if (Is(action, L"_unload") && m_extension) {
            m_log.Add(L"kemigr: unloaded");
            m_extension = false;
        }
    } else if (Is(command, L"_.OPEN")) {
        Open(Unquoted(NextLine()));
    } else if (Is(command, L"_.QSAVE")) {
        Save();
    } else if (Is(command, L"_.QUIT")) {
        // Ends without destroying the window first: under X an unmapped window
        // waits for a window manager that a test display does not have.
        m_stopped = true;
        PostQuitMessage(0);
    } else if (!m_extension || command[0] == L'(') {
        // Unknown to the bare host, or a lisp expression: nothing it acts on.
    } else if (Is(command, L"_kestloginfo")) {
        m_migrationLog = NextLine();
        m_logFlags = _wtoi(NextLine().c_str());
        m_log.Add(L"kemigr: log " + m_migrationLog + L" flags " + std::to_wstring(m_logFlags));
    } else if (Is(command, L"_kestmigr")) {
        m_migrate = m_open;
        m_log.Add(L"kemigr: migrate " + m_drawing);
    } else if (Is(command, L"_kestscan") || Is(command, L"_kestanalyze")) {
        m_log.Add(L"kemigr: " + command.substr(5) + L" " + m_drawing);
    } else if (Is(command, L"_kestmode") || Is(command, L"_logfilemode")) {
        m_log.Add(L"kemigr: " + command + L" " + NextLine());
    } else if (Is(command, L"_kesetupdwg")) {
        std::wstring option = NextLine();
        m_log.Add(L"kemigr: setup " + option + L" " + (Is(option, L"_T") ? NextLine() : std::wstring()));
    } else {
        m_log.Add(L"kemigr: " + command);
    }
}

void DraxilHost::Open(const std::wstring& path)
{
    std::string bytes;
    if (!ReadBytes(path, bytes)) {
        m_log.Add(L"kemigr: drawing not found " + path);
        return;
    }
    m_drawing = path;
    m_open = true;
    // Tests ask what the host found on its PATH: the folders it searches for support files.
    const std::wstring pathRecord = Environment(L"KEST_HOST_PATH_RECORD");
    if (!pathRecord.empty())
        AppendBytes(pathRecord, Narrow(Environment(L"PATH")) + "\r\n");
    std::wstring title = m_strings.MainTitle() + L" - [" + FileName(path) + L"]";
    SetWindowTextW(m_window, title.c_str());
    for (const Fault& fault : FaultMarkers::Parse(bytes)) {
        if (fault.kind == Fault::NoSave)
            m_noSave = true;
        else if (fault.kind == Fault::Delay)
            m_delaySeconds += fault.seconds;
        else
            m_pending.push_back(fault);
    }
}

void DraxilHost::RunFault(const Fault& fault)
{
    switch (fault.kind) {
    case Fault::Hang:
        m_stopped = true;   // the window stays and answers messages; only TerminateProcess ends it
        break;
    case Fault::Crash:
        // Raised by the message loop: an exception inside a window procedure may be swallowed.
        m_crashPending = true;
        m_stopped = true;
        break;
    case Fault::LogError:
        m_log.Add(m_strings.Resolve(MarkerText(fault.text)));
        SetTimer(m_window, kReassertTimer, 500, nullptr);
        WaitThenStep(kSupervisorWaitMs);
        break;
    case Fault::Title:
        SetWindowTextW(m_window, MarkerText(fault.text).c_str());
        break;
    case Fault::Dialog: {
        std::vector<std::wstring> texts;
        for (const std::string& item : fault.items)
            texts.push_back(m_strings.Resolve(MarkerText(item)));
        std::wstring title = m_strings.Resolve(MarkerText(fault.text));
        FaultDialog::Answer answer = FaultDialog::Show(m_window, title, texts);
        m_log.Add(L"kemigr: dialog " + title + L" answered " + FaultDialog::AnswerName(answer));
        break;
    }
    default:
        break;
    }
}

void DraxilHost::Save()
{
    if (!m_open || m_noSave)
        return;
    if (m_delaySeconds > 0) {
        DWORD ms = static_cast<DWORD>(m_delaySeconds) * 1000;
        m_delaySeconds = 0;
        --m_next;   // save once the time has passed
        WaitThenStep(ms);
        return;
    }
    HANDLE file = CreateFileW(m_drawing.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        m_log.Add(L"kemigr: drawing is read-only " + m_drawing);
        return;
    }
    DWORD written = 0;
    bool saved = WriteFile(file, kCurrentMagic, 6, &written, nullptr) && written == 6;
    CloseHandle(file);
    if (saved && m_migrate && m_extension && !m_listed) {
        m_listed = true;
        AppendBytes(Environment(L"TEMP") + L"\\MIGRATED.TXT", Narrow(m_drawing) + "\r\n");
        m_log.Add(L"kemigr: saved " + m_drawing);
        if (m_logFlags & 0x1)
            AddMigrationLogLine(L"kemigr: " + FileName(m_drawing) + L" saved in the current release");
    }
}

void DraxilHost::AddMigrationLogLine(const std::wstring& line)
{
    if (!m_migrationLog.empty())
        AppendBytes(m_migrationLog, Narrow(line) + "\r\n");
}
