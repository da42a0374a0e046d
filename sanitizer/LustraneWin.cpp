// Lustrane, the path sanitizer: the program. A windowed program
// (wWinMain, -municode) that opens no window and writes nothing to a console;
// plain Win32 calls behind the interfaces of LustraneCore.h.
#include "LustraneCore.h"

#include <windows.h>
#include <shellapi.h>

// The 64-bit view flag of RegGetValueW; the headers give it only for
// _WIN32_WINNT >= 0x0A00, the value is the platform's.
#ifndef RRF_SUBKEY_WOW6464KEY
#define RRF_SUBKEY_WOW6464KEY 0x00010000
#endif

namespace {

using lustrane::Text;

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected");
static_assert(lustrane::kGetValueFlags == (RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY | RRF_NOEXPAND), "RegGetValueW flags");
static_assert(lustrane::kWriteAccess == (KEY_SET_VALUE | KEY_WOW64_64KEY), "RegOpenKeyExW access");
static_assert(lustrane::kTypeString == REG_SZ, "REG_SZ");
static_assert(lustrane::kPathLimit == MAX_PATH, "MAX_PATH");

// The platform only reads and writes the characters behind these pointers.
const wchar_t* Wide(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

class Win32Registry : public lustrane::InstallRegistry {
public:
    std::int32_t GetValue(const Text& subKey, const Text& name, std::uint32_t flags, char16_t* data,
                          std::uint32_t* bytes) override
    {
        DWORD size = *bytes;
        LSTATUS result = RegGetValueW(HKEY_LOCAL_MACHINE, Wide(subKey), Wide(name), flags, nullptr, data, &size);
        *bytes = size;
        return result;
    }
    std::int32_t OpenKey(const Text& subKey, std::uint32_t options, std::uint32_t access, Key* key) override
    {
        HKEY opened = nullptr;
        LSTATUS result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(subKey), options, access, &opened);
        *key = opened;
        return result;
    }
    std::int32_t SetValue(Key key, const Text& name, std::uint32_t type, const char16_t* data,
                          std::uint32_t bytes) override
    {
        return RegSetValueExW(static_cast<HKEY>(key), Wide(name), 0, type, reinterpret_cast<const BYTE*>(data),
                              bytes);
    }
    std::int32_t CloseKey(Key key) override { return RegCloseKey(static_cast<HKEY>(key)); }
};

// AppendLogLine: Lustrane.log in the temporary folder, opened and closed per
// line with shared append access; UTF-8, CR LF. Every failure drops the line.
class Win32Log : public lustrane::LogSink {
public:
    void AppendLine(const Text& line) override
    {
        try {
            Append(line);
        } catch (...) {
        }
    }

private:
    static void Append(const Text& line)
    {
        // 1, 2. The temporary folder and the file's path.
        wchar_t temp[MAX_PATH] = {};
        DWORD result = GetTempPathW(MAX_PATH, temp);
        char16_t folder[MAX_PATH] = {};
        for (int i = 0; i < MAX_PATH; ++i)
            folder[i] = static_cast<char16_t>(temp[i]);
        Text path;
        if (!lustrane::ComposeLogPath(result, folder, path))
            return;
        // 3. Open for appending only, shared, created when missing.
        HANDLE file = CreateFileW(Wide(path), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        // 4. UTF-8, CR LF, one write.
        int length = static_cast<int>(line.size());
        int size = length > 0 ? WideCharToMultiByte(CP_UTF8, 0, Wide(line), length, nullptr, 0, nullptr, nullptr) : 0;
        if (size > 0) {
            HANDLE heap = GetProcessHeap();
            char* bytes = static_cast<char*>(HeapAlloc(heap, 0, static_cast<SIZE_T>(size) + 2));
            if (bytes) {
                int converted = WideCharToMultiByte(CP_UTF8, 0, Wide(line), length, bytes, size, nullptr, nullptr);
                if (converted > 0) {
                    bytes[converted] = '\r';
                    bytes[converted + 1] = '\n';
                    DWORD written = 0;
                    WriteFile(file, bytes, static_cast<DWORD>(converted) + 2, &written, nullptr);
                }
                HeapFree(heap, 0, bytes);
            }
        }
        // 5. Closed per line.
        CloseHandle(file);
    }
};

class Win32CommandLine : public lustrane::CommandLine {
public:
    ~Win32CommandLine() override { Release(); }
    bool Split() override
    {
        argv_ = CommandLineToArgvW(GetCommandLineW(), &argc_);
        return argv_ != nullptr;
    }
    int Count() const override { return argv_ ? argc_ : 0; }
    Text Argument(int index) const override
    {
        const wchar_t* argument = argv_[index];
        Text text;
        for (; *argument; ++argument)
            text.push_back(static_cast<char16_t>(*argument));
        return text;
    }
    void Release() override
    {
        if (argv_)
            LocalFree(argv_);
        argv_ = nullptr;
    }

private:
    LPWSTR* argv_ = nullptr;
    int argc_ = 0;
};

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    Win32CommandLine commandLine;
    Win32Registry registry;
    Win32Log log;
    return lustrane::RunLustrane(commandLine, registry, log);
}
