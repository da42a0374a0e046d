// Fakes of Lustrane's three platform interfaces, for the native tests.
// The registry fake behaves like RegGetValueW / RegOpenKeyExW /
// RegSetValueExW / RegCloseKey on the one key the program uses.
#pragma once

#include "LustraneCore.h"

#include <cstring>
#include <map>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace fake {

using lustrane::Text;

constexpr std::int32_t kNotFound = 2;           // ERROR_FILE_NOT_FOUND
constexpr std::int32_t kAccessDenied = 5;       // ERROR_ACCESS_DENIED
constexpr std::int32_t kMoreData = 234;         // ERROR_MORE_DATA
constexpr std::int32_t kUnsupportedType = 1630; // ERROR_UNSUPPORTED_TYPE
constexpr std::uint32_t kDword = 4;             // REG_DWORD
constexpr std::uint32_t kExpandString = 2;      // REG_EXPAND_SZ
constexpr std::uint32_t kNoExpand = 0x10000000; // RRF_NOEXPAND

struct Value {
    std::uint32_t type = lustrane::kTypeString;
    std::vector<unsigned char> data;
};

// A REG_SZ value as the platform stores it: the text and its terminator.
inline Value String(const Text& text, bool terminated = true)
{
    Value v;
    std::size_t count = text.size() + (terminated ? 1 : 0);
    v.data.resize(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        char16_t c = i < text.size() ? text[i] : u'\0';
        v.data[2 * i] = static_cast<unsigned char>(c & 0xff);
        v.data[2 * i + 1] = static_cast<unsigned char>(c >> 8);
    }
    return v;
}

inline Value Dword(std::uint32_t number)
{
    Value v;
    v.type = kDword;
    for (int i = 0; i < 4; ++i)
        v.data.push_back(static_cast<unsigned char>(number >> (8 * i)));
    return v;
}

struct GetCall {
    Text subKey, name;
    std::uint32_t flags;
    bool withData;
    std::uint32_t bytesIn;
};
struct OpenCall {
    Text subKey;
    std::uint32_t options, access;
};
struct SetCall {
    void* key;
    Text name;
    std::uint32_t type;
    std::vector<unsigned char> data;
};

class Registry : public lustrane::InstallRegistry {
public:
    std::map<Text, Value> values;
    // Failures and exceptions to inject.
    std::int32_t openError = 0;
    std::map<Text, std::int32_t> setError;
    std::set<Text> throwOnRead, throwOnSet;
    std::set<Text> growAfterSizeQuery; // the value grows between the two reads
    // What the code under test did.
    std::vector<GetCall> gets;
    std::vector<OpenCall> opens;
    std::vector<SetCall> sets;
    std::vector<void*> closes;
    int openKeys = 0;

    std::int32_t GetValue(const Text& subKey, const Text& name, std::uint32_t flags, char16_t* data,
                          std::uint32_t* bytes) override
    {
        gets.push_back({subKey, name, flags, data != nullptr, *bytes});
        if (throwOnRead.count(name))
            throw std::bad_alloc();
        if (subKey != lustrane::kInstallKey)
            return kNotFound;
        auto it = values.find(name);
        if (it == values.end())
            return kNotFound;
        // As RegGetValueW: without RRF_NOEXPAND a REG_EXPAND_SZ value is expanded
        // (here: handed over as it is) and then counts as REG_SZ.
        const bool expandedToString = it->second.type == kExpandString && !(flags & kNoExpand);
        if (it->second.type != lustrane::kTypeString && !expandedToString)
            return kUnsupportedType;
        const std::vector<unsigned char>& stored = it->second.data;
        std::uint32_t size = static_cast<std::uint32_t>(stored.size());
        if (!data) {
            *bytes = size;
            if (growAfterSizeQuery.count(name))
                it->second.data.insert(it->second.data.end() - 2, {'x', 0});
            return 0;
        }
        if (*bytes < size) {
            *bytes = size;
            return kMoreData;
        }
        std::memcpy(data, stored.data(), size);
        *bytes = size;
        return 0;
    }

    std::int32_t OpenKey(const Text& subKey, std::uint32_t options, std::uint32_t access, Key* key) override
    {
        opens.push_back({subKey, options, access});
        if (openError != 0)
            return openError;
        if (subKey != lustrane::kInstallKey)
            return kNotFound;
        ++openKeys;
        *key = &token_;
        return 0;
    }

    std::int32_t SetValue(Key key, const Text& name, std::uint32_t type, const char16_t* data,
                          std::uint32_t bytes) override
    {
        std::vector<unsigned char> raw(bytes);
        std::memcpy(raw.data(), data, bytes);
        sets.push_back({key, name, type, raw});
        if (key != &token_)
            return 6; // ERROR_INVALID_HANDLE
        if (throwOnSet.count(name))
            throw std::runtime_error("set");
        auto failure = setError.find(name);
        if (failure != setError.end())
            return failure->second;
        values[name] = Value{type, raw};
        return 0;
    }

    std::int32_t CloseKey(Key key) override
    {
        closes.push_back(key);
        if (key == &token_)
            --openKeys;
        return 0;
    }

    // The text of a REG_SZ value, up to its first NUL.
    Text StringOf(const Text& name) const
    {
        const Value& v = values.at(name);
        Text text;
        for (std::size_t i = 0; i + 1 < v.data.size(); i += 2) {
            char16_t c = static_cast<char16_t>(v.data[i] | (v.data[i + 1] << 8));
            if (c == u'\0')
                break;
            text.push_back(c);
        }
        return text;
    }

private:
    int token_ = 0;
};

class Log : public lustrane::LogSink {
public:
    std::vector<Text> lines;
    void AppendLine(const Text& line) override { lines.push_back(line); }
};

class CommandLine : public lustrane::CommandLine {
public:
    explicit CommandLine(std::vector<Text> arguments, const Log* log = nullptr)
        : arguments_(std::move(arguments)), log_(log)
    {
    }
    bool splits = true;
    int splitCalls = 0, releases = 0;
    // Number of log lines written when the array was released.
    std::size_t linesAtRelease = 0;

    bool Split() override
    {
        ++splitCalls;
        split_ = splits;
        return splits;
    }
    int Count() const override
    {
        if (!split_ || released_)
            throw std::logic_error("Count without a split array");
        return static_cast<int>(arguments_.size());
    }
    Text Argument(int index) const override
    {
        if (!split_ || released_)
            throw std::logic_error("Argument without a split array");
        return arguments_.at(static_cast<std::size_t>(index));
    }
    void Release() override
    {
        if (!split_ || released_)
            throw std::logic_error("Release twice or without a split array");
        released_ = true;
        ++releases;
        linesAtRelease = log_ ? log_->lines.size() : 0;
    }

private:
    std::vector<Text> arguments_;
    const Log* log_;
    bool split_ = false;
    bool released_ = false;
};

} // namespace fake
