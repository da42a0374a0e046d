#include "KestResourceModule.h"
#include "Afx.h"
#include "Ustora.h"
#include "../app/RunMessages.h"

std::wstring KestResourceModule::ModulePath(const std::wstring& folder, const std::wstring& language)
{
    return folder + L"drxlm\\" + language + L"\\" + L"keNoluRes.dll";
}

KestResourceModule::KestResourceModule()
{
    ustoInitProductParams(L"DRXLM", L"");
    const wchar_t* folder = ustoGetSpecialFolder(static_cast<int>(UstoSpecialFolder::Folders));
    const wchar_t* language = ustoGetCurrentLanguage();
    std::wstring path = ModulePath(folder ? folder : L"", language ? language : L"");
    m_module = LoadLibraryW(path.c_str());
    if (!m_module) {
        if (RunMessages::Unattended())
            RunMessages::Log(L"Can not load resource dll: " + path);
        else
            MessageBoxW(nullptr, path.c_str(), L"Can not load resource dll", MB_ICONERROR);
        ExitProcess(static_cast<UINT>(-1));
    }
    m_previous = AfxGetResourceHandle();
    AfxSetResourceHandle(m_module);
}

KestResourceModule::~KestResourceModule()
{
    AfxSetResourceHandle(m_previous);
    if (m_module)
        FreeLibrary(m_module);
}
