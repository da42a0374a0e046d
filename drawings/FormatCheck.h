// Message formats come from the language resource module, a separate file. A
// format whose conversions do not match the arguments would read past them,
// so callers check it first and fall back to a plain text when it does not fit.
#pragma once
#include <string>

// True when the printf-style format's conversions are, in order, exactly the
// kinds given: 's' for a wide string, 'd' for an int ("%%" is always fine).
// Flags, width and precision are accepted; '*' and length modifiers are not.
bool FormatTakes(const std::wstring& format, const char* kinds);
