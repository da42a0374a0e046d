#include "KestRunRecord.h"
#include "../host/KestByteReader.h"
#include "../host/KestByteWriter.h"

namespace {
const uint8_t kRunMagic[4] = {'K', 'R', 'R', '1'};
}

std::vector<uint8_t> KestRunRecord::Encode(const KestRunRecord& record)
{
    KestByteWriter out;
    out.Magic(kRunMagic);
    for (int32_t v : {record.operation, record.updateFlags, record.optionFlags, record.drxlmFlags, record.timeout,
                      record.quenbarFlags, record.symbolStd, record.logFlags})
        out.U32(static_cast<uint32_t>(v));
    out.Text(record.logFile);
    out.Text(record.listFile);
    out.Text(record.templatePath);
    out.Text(record.migrateList);
    out.Texts(record.drawings);
    out.Texts(record.searchFolders);
    out.Texts(record.tempFiles);
    return out.m_out;
}

bool KestRunRecord::Decode(const uint8_t* bytes, size_t size, KestRunRecord& record)
{
    KestByteReader in(bytes, size);
    if (!in.Magic(kRunMagic))
        return false;
    KestRunRecord read;
    for (int32_t* v : {&read.operation, &read.updateFlags, &read.optionFlags, &read.drxlmFlags, &read.timeout,
                       &read.quenbarFlags, &read.symbolStd, &read.logFlags})
        *v = in.I32();
    read.logFile = in.Text();
    read.listFile = in.Text();
    read.templatePath = in.Text();
    read.migrateList = in.Text();
    read.drawings = in.Texts();
    read.searchFolders = in.Texts();
    read.tempFiles = in.Texts();
    if (!in.Done())
        return false;
    record = std::move(read);
    return true;
}
