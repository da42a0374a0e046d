#include "FaultMarkers.h"

#include <cstdlib>

namespace {
const char kMarker[] = "KESTFAULT=";

bool StartsWith(const std::string& text, const char* prefix, std::string& rest)
{
    std::string p(prefix);
    if (text.compare(0, p.size(), p) != 0)
        return false;
    rest = text.substr(p.size());
    return true;
}

std::vector<std::string> SplitBars(const std::string& text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t bar = text.find('|', start);
        parts.push_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            return parts;
        start = bar + 1;
    }
}

bool ParseOne(const std::string& text, Fault& fault)
{
    std::string rest;
    if (text == "hang") {
        fault.kind = Fault::Hang;
    } else if (text == "crash") {
        fault.kind = Fault::Crash;
    } else if (text == "nosave") {
        fault.kind = Fault::NoSave;
    } else if (StartsWith(text, "logerror:", rest)) {
        fault.kind = Fault::LogError;
        fault.text = rest;
    } else if (StartsWith(text, "dialog:", rest)) {
        fault.kind = Fault::Dialog;
        fault.items = SplitBars(rest);
        fault.text = fault.items.front();
        fault.items.erase(fault.items.begin());
    } else if (StartsWith(text, "delay:", rest)) {
        if (rest.empty() || rest.size() > 6 || rest.find_first_not_of("0123456789") != std::string::npos)
            return false;
        fault.kind = Fault::Delay;
        fault.seconds = std::atoi(rest.c_str());
    } else {
        return false;
    }
    return true;
}
}

std::vector<Fault> FaultMarkers::Parse(const std::string& bytes)
{
    std::vector<Fault> faults;
    const size_t markerLength = sizeof(kMarker) - 1;
    size_t at = bytes.find(kMarker);
    while (at != std::string::npos) {
        size_t start = at + markerLength;
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            break;
        at = bytes.find(kMarker, end);
        std::string text = bytes.substr(start, end - start);
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        Fault fault;
        if (ParseOne(text, fault))
            faults.push_back(fault);
    }
    return faults;
}

std::wstring FaultMarkers::ResolveHostText(const std::wstring& text,
                                           const std::function<std::wstring(unsigned)>& hostString)
{
    // String numbers are 16-bit: at most five digits.
    size_t end = 1;
    unsigned number = 0;
    while (end < text.size() && end <= 5 && text[end] >= L'0' && text[end] <= L'9')
        number = number * 10 + static_cast<unsigned>(text[end++] - L'0');
    if (text.empty() || text[0] != L'#' || end == 1 || number > 0xFFFF ||
        (end < text.size() && text[end] >= L'0' && text[end] <= L'9'))
        return text;
    std::wstring resolved = hostString(number);
    return resolved.empty() ? text : resolved + text.substr(end);
}
