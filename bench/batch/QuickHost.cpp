// A host that ends at once: what is left of a drawing's time is the batch's own.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
