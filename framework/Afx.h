// Process-wide helpers of the window layer: module handles and message boxes.
#pragma once
#include <windows.h>

class CWinApp;

HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
// The module that holds a resource: the resource module first, then the program.
HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type);
CWinApp* AfxGetApp();

// Message box owned by the active window of this thread; the caption is the
// application's name unless one is given.
int AfxMessageBox(const wchar_t* text, UINT type = MB_OK, const wchar_t* caption = nullptr);
// Same, with the text loaded from the resource module.
int AfxMessageBox(UINT textId, UINT type = MB_OK);

// Result of a property sheet in wizard mode that ended with Finish.
#ifndef ID_WIZFINISH
#define ID_WIZFINISH 0x3025
#endif
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
