// The application object for suites that do not use it themselves.
#include "CKestNoluApp.h"

CKestNoluApp theApp;
