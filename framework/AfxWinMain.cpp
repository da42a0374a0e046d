// Entry point of every windowed program built on this layer.
#include "CWinApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    return CWinApp::WinMainBody(instance);
}
