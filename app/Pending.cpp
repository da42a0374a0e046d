// Steps whose parts have not landed yet. Each is replaced by its real
// implementation as it lands; until then the start-up passes through them.
#include "CKestNoluApp.h"
#include "TextLocale.h"

