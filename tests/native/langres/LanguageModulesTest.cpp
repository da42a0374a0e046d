// Every translated language module holds exactly the resources of the English
// one, read from the .rc sources as windres sees them: the same string, dialog,
// icon and bitmap numbers, the same printf arguments in every string, the same
// control ids in every dialog, and picture files that exist.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {
const std::string kRoot = KEST_SOURCE_ROOT;
const char* const kTranslations[] = {"de-DE", "ja-JP"};
const long kUnknown = -100000;

std::string Folder(const std::string& path)
{
    return path.substr(0, path.find_last_of('/') + 1);
}

bool ReadFile(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream out;
    out << in.rdbuf();
    text = out.str();
    return true;
}

// A line without its // comment; quotes are respected.
std::string StripComment(const std::string& line)
{
    bool quoted = false;
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (!quoted && line[i] == '/' && line[i + 1] == '/')
            return line.substr(0, i);
    }
    return line;
}

std::string Trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r\n");
    size_t last = text.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// Comma-separated fields, commas inside quotes kept.
std::vector<std::string> Fields(const std::string& text)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    for (std::string& field : fields)
        field = Trim(field);
    return fields;
}

// The printf conversions of a text in order, "%%" left out; a "%" before
// anything else counts as itself so that a stray one shows too.
std::vector<std::string> Conversions(const std::string& text)
{
    static const std::regex conversion(
        R"(%(%|[-+ #0]*(\d+|\*)?(\.(\d+|\*))?(hh|h|ll|l|L|z|j|t|I64|w)?[diouxXeEfFgGaAcCsSpn]|.?))");
    std::vector<std::string> out;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), conversion); it != std::sregex_iterator(); ++it)
        if (it->str() != "%%")
            out.push_back(it->str());
    return out;
}

struct Module {
    std::map<std::string, long> defines = {{"IDOK", 1}, {"IDCANCEL", 2}};   // and those of the included headers
    std::map<long, std::string> strings;
    std::map<std::string, std::map<long, std::string>> dialogs;   // name -> control id -> keyword
    std::map<std::string, std::string> pictures;                  // "ICON name" / "BITMAP name" -> file
    std::vector<std::string> errors;

    // A resource or control name as a number when it is one or a defined name; else the name.
    std::string Key(const std::string& name) const
    {
        auto found = defines.find(name);
        if (found != defines.end())
            return std::to_string(found->second);
        return name;
    }
    // The number of a resource or control name; kUnknown when it is neither a number nor defined.
    long Number(const std::string& name) const
    {
        static const std::regex number(R"(-?\d+)");
        std::string key = Key(name);
        return std::regex_match(key, number) ? std::stol(key) : kUnknown;
    }

    void ReadHeader(const std::string& path)
    {
        std::string text;
        if (!ReadFile(path, text)) {
            errors.push_back("cannot read " + path);
            return;
        }
        static const std::regex define(R"(^\s*#define\s+(\w+)\s+(-?\d+)\b)");
        std::istringstream lines(text);
        std::smatch m;
        for (std::string line; std::getline(lines, line);)
            if (std::regex_search(line, m, define))
                defines[m[1]] = std::stol(m[2]);
    }

    void ReadRc(const std::string& path)
    {
        std::string text;
        if (!ReadFile(path, text)) {
            errors.push_back("cannot read " + path);
            return;
        }
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(StripComment(line));
        static const std::regex include(R"(^\s*#include\s+"([^"]+)\")");
        static const std::regex header(R"(^\s*(\w+)\s+(DIALOGEX|DIALOG|ICON|BITMAP)\b\s*(.*)$)");
        static const std::regex stringEntry(R"(^\s*(\w+)\s*,?\s*"((?:[^"]|"")*)\"\s*$)");
        std::smatch m;
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (std::regex_search(line, m, include)) {
                std::string name = m[1];
                std::string local = Folder(path) + name;
                std::string found = std::ifstream(local) ? local : kRoot + "/" + name;
                if (name.size() > 3 && name.compare(name.size() - 3, 3, ".rc") == 0)
                    ReadRc(found);
                else
                    ReadHeader(found);
            } else if (Trim(line) == "STRINGTABLE") {
                for (++i; i < lines.size() && Trim(lines[i]) != "END"; ++i) {
                    if (!std::regex_match(lines[i], m, stringEntry))
                        continue;
                    long id = Number(m[1]);
                    if (strings.count(id))
                        errors.push_back("string " + std::to_string(id) + " twice in " + path);
                    strings[id] = m[2];
                }
            } else if (std::regex_match(line, m, header)) {
                std::string kind = m[2], name = Key(m[1]), rest = m[3];
                if (kind == "ICON" || kind == "BITMAP")
                    pictures[kind + " " + name] = Fields(rest)[0];
                else
                    i = ReadDialog(lines, i + 1, name, path);
            }
        }
    }

    // Controls from BEGIN to END; a statement's continuation lines start with no keyword.
    size_t ReadDialog(const std::vector<std::string>& lines, size_t i, const std::string& name, const std::string& path)
    {
        while (i < lines.size() && Trim(lines[i]) != "BEGIN")
            ++i;
        std::vector<std::string> statements;
        static const std::regex keyword(R"(^\s*[A-Z]+\b)");
        for (++i; i < lines.size() && Trim(lines[i]) != "END"; ++i) {
            std::string line = Trim(lines[i]);
            if (line.empty())
                continue;
            bool starts = std::regex_search(lines[i], keyword) && line[0] != '"' && !std::isdigit(line[0]);
            if (starts && line.compare(0, 3, "NOT") != 0 && line.compare(0, 3, "WS_") != 0 &&
                line.compare(0, 3, "SS_") != 0 && line.compare(0, 4, "TVS_") != 0 && line.compare(0, 4, "UDS_") != 0 &&
                line.compare(0, 4, "LBS_") != 0 && line.compare(0, 4, "CBS_") != 0)
                statements.push_back(line);
            else if (!statements.empty())
                statements.back() += " " + line;
        }
        auto& controls = dialogs[name];
        for (const std::string& statement : statements) {
            std::string word = statement.substr(0, statement.find_first_of(" \t"));
            std::vector<std::string> fields = Fields(statement.substr(word.size()));
            bool untitled = word == "EDITTEXT" || word == "LISTBOX" || word == "COMBOBOX" || word == "SCROLLBAR";
            if (fields.size() < 2) {
                errors.push_back("cannot read \"" + statement + "\" in " + path);
                continue;
            }
            long id = Number(fields[untitled ? 0 : 1]);
            if (id == kUnknown)
                errors.push_back("unknown control id in \"" + statement + "\" in " + path);
            else if (id != -1)
                controls[id] = word == "CONTROL" ? "CONTROL " + fields[2] : word;
        }
        return i;
    }
};

Module Read(const std::string& language)
{
    Module module;
    module.ReadRc(kRoot + "/langres/" + language + "/keNoluRes.rc");
    return module;
}

std::string Show(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : " ") + item;
    return "[" + out + "]";
}

// "missing ... extra ...": the keys of english that translated lacks and those it has besides; empty when equal.
template <typename Map> std::string KeyDifference(const Map& translated, const Map& english)
{
    std::ostringstream out;
    for (const auto& item : english)
        if (!translated.count(item.first))
            out << " missing " << item.first;
    for (const auto& item : translated)
        if (!english.count(item.first))
            out << " extra " << item.first;
    return out.str();
}
}

TEST(LanguageModulesTest, EveryTranslationHoldsTheEnglishResourcesWithTheSameArguments)
{
    Module english = Read("en-US");
    EXPECT_TRUE(english.errors.empty()) << Show(english.errors);
    // A reader that finds nothing would let every comparison pass.
    ASSERT_GT(english.strings.size(), 150u);
    ASSERT_EQ(english.dialogs.size(), 12u);
    ASSERT_GT(english.pictures.size(), 8u);
    const long timeFormat = english.Number("IDS_LOG_TIME_FORMAT");
    ASSERT_GT(timeFormat, 0);

    for (const char* language : kTranslations) {
        SCOPED_TRACE(language);
        Module translated = Read(language);
        EXPECT_TRUE(translated.errors.empty()) << Show(translated.errors);
        EXPECT_EQ(KeyDifference(translated.strings, english.strings), "") << "strings";
        EXPECT_EQ(KeyDifference(translated.dialogs, english.dialogs), "") << "dialogs";
        EXPECT_EQ(KeyDifference(translated.pictures, english.pictures), "") << "icons and bitmaps";

        for (const auto& [id, text] : english.strings) {
            auto found = translated.strings.find(id);
            if (found == translated.strings.end())
                continue;
            std::vector<std::string> want = Conversions(text), have = Conversions(found->second);
            if (id == timeFormat) {
                // A time format takes no arguments: its fields may move, none may go or come.
                std::sort(want.begin(), want.end());
                std::sort(have.begin(), have.end());
            }
            EXPECT_EQ(Show(have), Show(want)) << "string " << id << ": \"" << found->second << "\"";
            EXPECT_FALSE(found->second.empty()) << "string " << id;
        }
        for (const auto& [name, controls] : english.dialogs) {
            auto found = translated.dialogs.find(name);
            if (found != translated.dialogs.end())
                EXPECT_EQ(found->second, controls) << "controls of dialog " << name;
        }
        for (const auto& [name, file] : translated.pictures)
            EXPECT_TRUE(std::ifstream(kRoot + "/" + file.substr(1, file.size() - 2)).good()) << name << " " << file;
    }
}
