// What the window watching looks for: the host's main window titles, the
// windows that end the host, the windows answered with a key and the texts
// of an error line in the extension's log. All are string numbers.
#pragma once
#include <cstdint>

struct FatalRow {
    unsigned id;
    bool pattern;      // the text is a "***" pattern
    bool childTexts;   // log the window's control texts before ending the host
};

struct AnswerRow {
    unsigned id;
    uint16_t key;      // virtual key posted to the window
    bool pattern;
};

// Key of an answer row that comes from the first character of string 2136.
constexpr uint16_t kKeyFromString = 0xFFFF;

constexpr unsigned kMainTitleIds[8] = {2094, 2095, 2319, 2320, 2097, 2096, 2098, 2099};

constexpr FatalRow kFatalRows[34] = {
    {2191, false, false}, {2192, false, false}, {2193, false, false}, {2194, false, false}, {2195, false, false},
    {2101, false, false}, {2102, false, false}, {2103, false, false}, {2104, false, false}, {2105, false, false},
    {2106, false, false}, {2107, false, false}, {2108, false, false}, {2109, false, false}, {2110, false, false},
    {2111, false, false}, {2112, false, false}, {2113, false, false}, {2114, false, false},
    {2115, true, false},  {2116, true, false},  {2117, true, false},
    {2118, false, true},  {2119, false, true},  {2120, false, true},  {2121, false, true},  {2122, false, true},
    {2123, false, true},
    {2124, false, false}, {2125, false, false}, {2126, false, false}, {2127, false, false}, {2128, false, false},
    {2129, false, false},
};

constexpr AnswerRow kAnswerRows[9] = {
    {2130, 27, false}, {2131, 27, true}, {2132, kKeyFromString, false}, {2133, 27, false}, {2134, 13, false},
    {2137, 13, false}, {2138, 13, false}, {2139, 0, false}, {2140, 0, false},
};

constexpr unsigned kKeySequenceTitleId = 2135;
constexpr uint16_t kKeySequence[4] = {9, 9, 40, 13};   // Tab, Tab, Down, Enter

constexpr unsigned kLogErrorIds[6] = {2270, 2271, 2272, 2273, 2274, 2275};
