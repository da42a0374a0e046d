// Transmora: the migration wizard. Everything runs inside the application object.
#include "CKestNoluApp.h"

CKestNoluApp theApp;
