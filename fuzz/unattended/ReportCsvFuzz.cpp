// Another workstation's report on arbitrary bytes: rows read back must write
// and read again unchanged (the summary joins reports that nobody checked).
#include "ReportCsv.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<ReportCsv::Row> rows;
    if (!ReportCsv::Parse(std::string(reinterpret_cast<const char*>(data), size), rows))
        return 0;
    std::vector<ReportCsv::Row> joined;
    ReportCsv::Merge(joined, rows);
    if (joined.size() > rows.size())
        std::abort();
    const std::string document = ReportCsv::Document(joined);
    std::vector<ReportCsv::Row> again;
    if (!ReportCsv::Parse(document, again) || ReportCsv::Document(again) != document)
        std::abort();
    return 0;
}
