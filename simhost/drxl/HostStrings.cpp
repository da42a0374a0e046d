#include "HostStrings.h"
#include "FaultMarkers.h"

HostStrings::HostStrings()
{
    wchar_t path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    if (n == 0 || n >= MAX_PATH * 4)
        return;
    std::wstring folder(path, n);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    m_module = LoadLibraryW((folder + L"drxlm\\drxlmres.dll").c_str());
}

HostStrings::~HostStrings()
{
    if (m_module)
        FreeLibrary(m_module);
}

std::wstring HostStrings::Load(unsigned id) const
{
    const wchar_t* text = nullptr;
    int length = m_module ? LoadStringW(m_module, id, reinterpret_cast<LPWSTR>(&text), 0) : 0;
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::wstring HostStrings::MainTitle() const
{
    std::wstring title = Load(2094);
    return title.empty() ? L"Draxil R26.0" : title;
}

std::wstring HostStrings::Resolve(const std::wstring& text) const
{
    return FaultMarkers::ResolveHostText(text, [this](unsigned id) { return Load(id); });
}
