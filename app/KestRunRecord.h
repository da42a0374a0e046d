// The run record: what a migrate run under way keeps in the registry beside
// the profile journal, so that the next start can continue it or at least
// delete its temporary files. Its bytes are checked like the journal's.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct KestRunRecord {
    int32_t operation = 1;
    int32_t updateFlags = 0;
    int32_t optionFlags = 0;
    int32_t drxlmFlags = 8;
    int32_t timeout = 120;
    int32_t quenbarFlags = 0;
    int32_t symbolStd = 0;
    int32_t logFlags = 15;
    std::wstring logFile;
    std::wstring listFile;
    std::wstring templatePath;
    std::wstring migrateList;                // MIGRATE.TXT of the run
    std::vector<std::wstring> drawings;      // empty when the list was too long to keep here
    std::vector<std::wstring> searchFolders;
    std::vector<std::wstring> tempFiles;     // the run's scripts, batch and progress file

    static std::vector<uint8_t> Encode(const KestRunRecord& record);
    // False (and the record unchanged) unless the bytes are a whole, well-formed record.
    static bool Decode(const uint8_t* bytes, size_t size, KestRunRecord& record);
};
