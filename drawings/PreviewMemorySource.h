// Bytes already in memory as a preview source. The bytes are not copied: they must outlive the source.
#pragma once
#include "PreviewSource.h"

class PreviewMemorySource : public PreviewSource {
public:
    PreviewMemorySource(const void* data, size_t size);

    uint64_t Size() const override { return m_size; }
    bool ReadAt(uint64_t offset, void* dst, size_t n) override;

private:
    const uint8_t* m_data;
    size_t m_size;
};
