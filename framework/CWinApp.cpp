#include "CWinApp.h"
#include "Afx.h"

namespace {
CWinApp* g_app = nullptr;
HINSTANCE g_resource = nullptr;
}

CWinApp::CWinApp() { g_app = this; }
CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return ExitInstance();
}

int CWinApp::WinMainBody(HINSTANCE instance)
{
    if (!g_app)
        return -1;
    g_app->m_hInstance = instance;
    if (!g_resource)
        g_resource = instance;
    try {
        if (!g_app->InitInstance())
            return g_app->ExitInstance();
        return g_app->Run();
    } catch (...) {
        // Nothing may cross into the system; a stray exception still cleans up.
        return g_app->ExitInstance();
    }
}

HINSTANCE AfxGetInstanceHandle() { return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleW(nullptr); }
HINSTANCE AfxGetResourceHandle() { return g_resource ? g_resource : AfxGetInstanceHandle(); }
void AfxSetResourceHandle(HINSTANCE module) { g_resource = module; }
HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type)
{
    HINSTANCE resource = AfxGetResourceHandle();
    if (::FindResourceW(resource, name, type))
        return resource;
    HINSTANCE program = AfxGetInstanceHandle();
    return ::FindResourceW(program, name, type) ? program : resource;
}
CWinApp* AfxGetApp() { return g_app; }

int AfxMessageBox(const wchar_t* text, UINT type, const wchar_t* caption)
{
    if (!caption && g_app && !g_app->m_appName.IsEmpty())
        caption = g_app->m_appName;
    HWND owner = ::GetActiveWindow();
    return ::MessageBoxW(owner, text ? text : L"", caption, type);
}

int AfxMessageBox(UINT textId, UINT type)
{
    CString text;
    text.LoadString(textId);
    return AfxMessageBox(text, type);
}
