#include "RunMessages.h"
#include "CKestNoluApp.h"
#include "KestTextStream.h"
#include "ResourceIds.h"
#include "UnattendedIds.h"
#include "../drawings/FormatCheck.h"

namespace {
bool g_unattended = false;
bool g_logReady = false;
bool g_runLogBegun = false;
std::vector<std::wstring> g_early;

void ReportToEventLog(const std::wstring& text)
{
    HANDLE source = RegisterEventSourceW(nullptr, L"Transmora");
    if (!source)
        return;
    std::wstring format = LoadText(IDS_LOG_UNWRITABLE), full = text;
    if (FormatTakes(format, "s")) {
        CString head;
        head.Format(format.c_str(), g_logFile.c_str());
        full = head.Str() + L"\n" + text;
    }
    const wchar_t* strings[] = {full.c_str()};
    ReportEventW(source, EVENTLOG_ERROR_TYPE, 0, IDS_LOG_UNWRITABLE, nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(source);
}
}

namespace RunMessages {
void SetUnattended(bool unattended) { g_unattended = unattended; }
bool Unattended() { return g_unattended; }
void SetLogReady(bool ready) { g_logReady = ready; }

int UnattendedAnswer(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_YESNO: return IDNO;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
    case MB_CANCELTRYCONTINUE: return IDCANCEL;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDOK;
    }
}

std::vector<std::wstring> TakeEarlyLines()
{
    std::vector<std::wstring> lines;
    lines.swap(g_early);
    return lines;
}

void RunLogBegun() { g_runLogBegun = true; }

bool Log(const std::wstring& text)
{
    if (!g_runLogBegun)
        g_early.push_back(text);
    if (g_logReady) {
        KestTextStream log(g_logFile, KestTextStream::Append);
        if (log.is_open()) {
            log << text << L'\n';
            if (log.close())
                return true;
        }
    }
    ReportToEventLog(text);
    return false;
}

int Show(HWND owner, const std::wstring& text, UINT type)
{
    if (!g_unattended)
        return ::MessageBoxW(owner, text.c_str(), LoadText(IDS_CAPTION).c_str(), type);
    Log(text);
    return UnattendedAnswer(type);
}
}

std::wstring LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text.Str();
}

std::wstring FormatText(UINT id, const std::wstring& argument)
{
    std::wstring format = LoadText(id);
    CString text;
    if (FormatTakes(format, "s"))
        text.Format(format.c_str(), argument.c_str());
    else
        text.Format(L"%s %s", format.c_str(), argument.c_str());
    return text.Str();
}
