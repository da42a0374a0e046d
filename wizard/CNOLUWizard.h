// The six-page wizard. Placeholder until the wizard lands: it ends as cancelled.
#pragma once
#include <windows.h>

class CNOLUWizard {
public:
    INT_PTR DoModal() { return IDCANCEL; }
};
