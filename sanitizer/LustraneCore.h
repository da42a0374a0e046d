// Lustrane, the path sanitizer: the logic that needs no Win32.
//
// Everything here compiles natively (clang, ASan/UBSan) as well as with
// mingw-w64. Text is UTF-16 (std::u16string), so that comparisons are by
// UTF-16 code units on every platform (wchar_t is 32-bit on Linux). The
// platform stands behind three small interfaces: the registry, the log and
// the command line. LustraneWin.cpp implements them with plain Win32 calls;
// the native tests implement them with fakes.
#pragma once

#include <cstdint>
#include <string>

namespace lustrane {

using Text = std::u16string;

// The fixed key under HKEY_LOCAL_MACHINE, always in the 64-bit view.
extern const char16_t kInstallKey[];

// Values the platform layer passes on unchanged (checked against <windows.h>
// by static_assert in LustraneWin.cpp).
// RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY | RRF_NOEXPAND. Without RRF_NOEXPAND the platform expands a REG_EXPAND_SZ value and hands it
// over as a plain string, so that a rewrite would turn it into REG_SZ with its
// variables resolved. With it, such a value is "not a plain string": not set.
constexpr std::uint32_t kGetValueFlags = 0x10010002;
constexpr std::uint32_t kWriteAccess = 0x102;       // KEY_SET_VALUE | KEY_WOW64_64KEY
constexpr std::uint32_t kTypeString = 1;            // REG_SZ
constexpr std::uint32_t kPathLimit = 260;           // MAX_PATH, terminator included
extern const char16_t kLogFileName[];               // "Lustrane.log"

// The four registry operations on HKEY_LOCAL_MACHINE. Each
// returns the platform's result code (0 = success). Implementations may throw
// (the main flow catches per value).
class InstallRegistry {
public:
    using Key = void*;
    virtual ~InstallRegistry() = default;
    // RegGetValueW(HKEY_LOCAL_MACHINE, subKey, name, flags, no type, data, bytes).
    // With data null only the size is asked for.
    virtual std::int32_t GetValue(const Text& subKey, const Text& name, std::uint32_t flags, char16_t* data,
                                  std::uint32_t* bytes) = 0;
    // RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey, options, access, key).
    virtual std::int32_t OpenKey(const Text& subKey, std::uint32_t options, std::uint32_t access, Key* key) = 0;
    // RegSetValueExW(key, name, 0, type, data, bytes).
    virtual std::int32_t SetValue(Key key, const Text& name, std::uint32_t type, const char16_t* data,
                                  std::uint32_t bytes) = 0;
    // RegCloseKey(key).
    virtual std::int32_t CloseKey(Key key) = 0;
};

// AppendLogLine: appends one line to Lustrane.log. Failures are silent.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void AppendLine(const Text& line) = 0;
};

// GetCommandLineW + CommandLineToArgvW, and LocalFree of the split array.
class CommandLine {
public:
    virtual ~CommandLine() = default;
    // Splits the command line; false when the platform cannot split it.
    virtual bool Split() = 0;
    // Number of entries of the split array, the program name included.
    virtual int Count() const = 0;
    // Entry index (0 is the program name) of the split array, unchanged.
    virtual Text Argument(int index) const = 0;
    // Releases the split array.
    virtual void Release() = 0;
};

// Signed decimal without leading zeros, the "C" way.
Text Decimal(std::int32_t value);

// The drive-root rule's test: exactly two characters, a letter (iswalpha of
// the runtime in the default locale) and ":".
bool IsDriveDesignator(const Text& text);

// Trailing double quotes and backslashes stripped, then the drive-root rule.
Text NormalizeInstallPath(const Text& text);

// True when a non-empty plain string value was read into text.
bool ReadInstallValue(InstallRegistry& registry, const Text& name, Text& text);

// Writes text as REG_SZ; logs its own detail line on failure.
bool WriteInstallValue(InstallRegistry& registry, LogSink& log, const Text& name, const Text& text);

// Handles one value; true when it is left clean.
bool SanitizeValue(InstallRegistry& registry, LogSink& log, const Text& name);

// The main flow; returns the exit code.
int RunLustrane(CommandLine& commandLine, InstallRegistry& registry, LogSink& log);

// AppendLogLine steps 1 and 2: from what GetTempPathW returned (its result
// and the zero-filled 260-character buffer), the log file's path. False when
// the line is to be dropped (result 0 or 260 or more, or no room for the name).
bool ComposeLogPath(std::uint32_t tempResult, const char16_t* tempBuffer, Text& path);

} // namespace lustrane
