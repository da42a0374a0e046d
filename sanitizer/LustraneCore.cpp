// Lustrane, the path sanitizer: the logic that needs no Win32.
#include "LustraneCore.h"

#include <cwctype>
#include <vector>

namespace lustrane {

const char16_t kInstallKey[] = u"SOFTWARE\\Korvane\\Draxil\\R26.0\\DRXL-A105\\Install";
const char16_t kLogFileName[] = u"Lustrane.log";

namespace {

bool IsStripped(char16_t c) { return c == u'"' || c == u'\\'; }

// Closes the opened key whatever happens to the set (a throwing close is ignored).
class KeyCloser {
public:
    KeyCloser(InstallRegistry& registry, InstallRegistry::Key key) : registry_(registry), key_(key) {}
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;
    ~KeyCloser()
    {
        try {
            registry_.CloseKey(key_);
        } catch (...) {
        }
    }

private:
    InstallRegistry& registry_;
    InstallRegistry::Key key_;
};

} // namespace

Text Decimal(std::int32_t value)
{
    std::int64_t v = value;
    bool negative = v < 0;
    if (negative)
        v = -v;
    Text digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
        v /= 10;
    } while (v != 0);
    if (negative)
        digits.insert(digits.begin(), u'-');
    return digits;
}

bool IsDriveDesignator(const Text& text)
{
    return text.size() == 2 && text[1] == u':' && std::iswalpha(static_cast<std::wint_t>(text[0])) != 0;
}

Text NormalizeInstallPath(const Text& text)
{
    // 1. Empty stays empty.
    if (text.empty())
        return text;
    // 2. Strip every trailing double quote and backslash, in any mix and number.
    std::size_t end = text.size();
    while (end > 0 && IsStripped(text[end - 1]))
        --end;
    Text t = text.substr(0, end);
    // 3. Drive-root rule: the trailing backslashes of a drive root stay, the
    //    trailing quotes go. Keeping "the text with only its trailing quotes
    //    removed" would, for a tail that mixes the two (C:"\ or C:\"\), keep
    //    an inner quote and end in a backslash after it, and so count as
    //    already clean. So the drive root keeps the backslashes that directly
    //    follow "X:" and loses everything from the first quote of its tail on;
    //    for every tail without a quote before a backslash (C:\, C:\\, C:\",
    //    C:", C:) both readings agree.
    if (IsDriveDesignator(t)) {
        std::size_t keep = end;
        while (keep < text.size() && text[keep] == u'\\')
            ++keep;
        return text.substr(0, keep);
    }
    // 4. Otherwise the stripped text.
    return t;
}

bool ReadInstallValue(InstallRegistry& registry, const Text& name, Text& text)
{
    // 1. Size only.
    std::uint32_t size = 0;
    if (registry.GetValue(kInstallKey, name, kGetValueFlags, nullptr, &size) != 0 || size < 2)
        return false;
    // 2. A zero-filled buffer of size / 2 wide characters, read again. The byte
    //    count passed is the buffer's own (an odd size is rounded down).
    std::vector<char16_t> buffer(size / 2, u'\0');
    std::uint32_t bytes = static_cast<std::uint32_t>(buffer.size() * sizeof(char16_t));
    if (registry.GetValue(kInstallKey, name, kGetValueFlags, buffer.data(), &bytes) != 0)
        return false;
    // 3. Cut at the first NUL.
    std::size_t length = 0;
    while (length < buffer.size() && buffer[length] != u'\0')
        ++length;
    text.assign(buffer.data(), length);
    return !text.empty();
}

bool WriteInstallValue(InstallRegistry& registry, LogSink& log, const Text& name, const Text& text)
{
    // 1. Open for setting values, 64-bit view.
    InstallRegistry::Key key = nullptr;
    std::int32_t error = registry.OpenKey(kInstallKey, 0, kWriteAccess, &key);
    if (error != 0) {
        log.AppendLine(u"  cannot open HKLM\\" + Text(kInstallKey) + u" for write; error " + Decimal(error));
        return false;
    }
    // 2. Set as REG_SZ with its terminating NUL; close whatever the result.
    {
        KeyCloser closer(registry, key);
        std::uint32_t bytes = static_cast<std::uint32_t>((text.size() + 1) * sizeof(char16_t));
        error = registry.SetValue(key, name, kTypeString, text.c_str(), bytes);
    }
    // 3. Report a failed set.
    if (error != 0) {
        log.AppendLine(u"  cannot write " + name + u"; error " + Decimal(error));
        return false;
    }
    return true;
}

bool SanitizeValue(InstallRegistry& registry, LogSink& log, const Text& name)
{
    Text old;
    if (!ReadInstallValue(registry, name, old)) {
        log.AppendLine(name + u": not set; nothing to sanitize.");
        return true;
    }
    Text now = NormalizeInstallPath(old);
    if (now.empty()) {
        log.AppendLine(name + u": [" + old + u"] normalizes to nothing; left as is.");
        return false;
    }
    if (now == old) {
        log.AppendLine(name + u": already clean [" + old + u"].");
        return true;
    }
    if (WriteInstallValue(registry, log, name, now)) {
        log.AppendLine(name + u": [" + old + u"] -> [" + now + u"].");
        return true;
    }
    log.AppendLine(name + u": [" + old + u"] -> [" + now + u"] FAILED.");
    return false;
}

int RunLustrane(CommandLine& commandLine, InstallRegistry& registry, LogSink& log)
{
    // 1. Split.
    if (!commandLine.Split()) {
        log.AppendLine(u"Unable to read the command line.");
        return 1;
    }
    // 2. At least one name.
    const int count = commandLine.Count();
    if (count < 2) {
        log.AppendLine(u"No value names given. Usage: Lustrane.exe <valueName> [<valueName> ...]");
        commandLine.Release();
        return 1;
    }
    // 3. Header.
    log.AppendLine(u"Sanitizing under HKLM\\" + Text(kInstallKey));
    // 4. Each name, first to last; one catch-all around each.
    std::int32_t dirty = 0;
    for (int i = 1; i < count; ++i) {
        try {
            if (!SanitizeValue(registry, log, commandLine.Argument(i)))
                ++dirty;
        } catch (...) {
            ++dirty;
            try {
                log.AppendLine(commandLine.Argument(i) + u": unexpected failure.");
            } catch (...) {
            }
        }
    }
    // 5. Release, 6. summary, 7. exit code.
    commandLine.Release();
    log.AppendLine(u"Done; " + Decimal(dirty) + u" value(s) left dirty.");
    return dirty;
}

bool ComposeLogPath(std::uint32_t tempResult, const char16_t* tempBuffer, Text& path)
{
    if (tempResult == 0 || tempResult >= kPathLimit)
        return false;
    std::size_t folder = 0;
    while (folder < kPathLimit && tempBuffer[folder] != u'\0')
        ++folder;
    const std::size_t name = sizeof(kLogFileName) / sizeof(kLogFileName[0]) - 1;
    if (folder + name + 1 > kPathLimit)
        return false;
    path.assign(tempBuffer, folder);
    path.append(kLogFileName, name);
    return true;
}

} // namespace lustrane
