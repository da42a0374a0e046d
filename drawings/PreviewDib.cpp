#include "PreviewDib.h"

#include <cstring>

#include "PreviewLimits.h"

namespace {
void Put16(uint8_t*& p, uint32_t v)
{
    *p++ = static_cast<uint8_t>(v);
    *p++ = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t*& p, uint32_t v)
{
    Put16(p, v & 0xFFFF);
    Put16(p, v >> 16);
}
}

std::unique_ptr<PreviewDib> PreviewDib::Create8Bit(int32_t width, int32_t height, const DibColor* colors,
                                                   uint32_t colorCount, const DibInfoHeader& like)
{
    uint64_t bytes = 0;
    if (!PreviewLimits::OutputSize(width, height, bytes) || colorCount > kMaxColors || (colorCount && !colors))
        return nullptr;
    std::unique_ptr<PreviewDib> dib(new PreviewDib);
    DibInfoHeader& h = dib->m_header;
    h.width = width;
    h.height = height;
    h.bitCount = 8;
    h.sizeImage = static_cast<uint32_t>(bytes);
    h.xPelsPerMeter = like.xPelsPerMeter;
    h.yPelsPerMeter = like.yPelsPerMeter;
    h.clrUsed = colorCount;

    dib->m_bitsOffset = kHeaderBytes + size_t(colorCount) * 4;
    dib->m_data.assign(dib->m_bitsOffset + static_cast<size_t>(bytes), 0);
    uint8_t* p = dib->m_data.data();
    Put32(p, h.size);
    Put32(p, static_cast<uint32_t>(h.width));
    Put32(p, static_cast<uint32_t>(h.height));
    Put16(p, h.planes);
    Put16(p, h.bitCount);
    Put32(p, h.compression);
    Put32(p, h.sizeImage);
    Put32(p, static_cast<uint32_t>(h.xPelsPerMeter));
    Put32(p, static_cast<uint32_t>(h.yPelsPerMeter));
    Put32(p, h.clrUsed);
    Put32(p, h.clrImportant);
    for (uint32_t i = 0; i < colorCount; i++) {
        *p++ = colors[i].blue;
        *p++ = colors[i].green;
        *p++ = colors[i].red;
        *p++ = 0;
    }
    return dib;
}

uint32_t PreviewDib::Rows() const
{
    return m_header.height < 0 ? 0u - static_cast<uint32_t>(m_header.height) : static_cast<uint32_t>(m_header.height);
}

DibColor PreviewDib::Color(uint32_t index) const
{
    DibColor c;
    if (index < m_header.clrUsed)
        std::memcpy(&c, m_data.data() + kHeaderBytes + size_t(index) * 4, 4);
    c.reserved = 0;
    return c;
}
