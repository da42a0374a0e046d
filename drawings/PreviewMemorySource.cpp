#include "PreviewMemorySource.h"

#include <cstring>

PreviewMemorySource::PreviewMemorySource(const void* data, size_t size)
    : m_data(static_cast<const uint8_t*>(data)), m_size(data ? size : 0)
{
}

bool PreviewMemorySource::ReadAt(uint64_t offset, void* dst, size_t n)
{
    if (offset > m_size || n > m_size - offset)
        return false;
    if (n)
        std::memcpy(dst, m_data + offset, n);
    return true;
}
