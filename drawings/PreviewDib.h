// The preview's result: one buffer holding a 40-byte info header, the colour table as 4-byte entries and
// 8-bit pixel rows padded to 4 bytes, laid out as the platform's device-independent bitmaps are.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The 40-byte info header, field for field.
struct DibInfoHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;   // negative: rows stored top-down
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

// Colour-table entry in memory order: blue, green, red, zero.
struct DibColor {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
};

class PreviewDib {
public:
    static constexpr size_t kHeaderBytes = 40;
    static constexpr uint32_t kMaxColors = 256;

    // A zeroed 8-bit image of width x |height| with `colorCount` (at most 256) table entries; resolutions are
    // taken from `like`. Null when the size is out of range.
    static std::unique_ptr<PreviewDib> Create8Bit(int32_t width, int32_t height, const DibColor* colors,
                                                  uint32_t colorCount, const DibInfoHeader& like);
    // Bytes per 8-bit row.
    static size_t Stride(int32_t width) { return (static_cast<size_t>(width) + 3) & ~size_t(3); }

    // The whole buffer, ready for the platform's bitmap calls.
    const uint8_t* Data() const { return m_data.data(); }
    size_t Size() const { return m_data.size(); }
    const DibInfoHeader& Header() const { return m_header; }
    int32_t Width() const { return m_header.width; }
    int32_t Height() const { return m_header.height; }
    uint32_t Rows() const;
    size_t Stride() const { return Stride(m_header.width); }
    uint32_t ColorCount() const { return m_header.clrUsed; }
    DibColor Color(uint32_t index) const;
    const uint8_t* Bits() const { return m_data.data() + m_bitsOffset; }
    uint8_t* Bits() { return m_data.data() + m_bitsOffset; }
    size_t BitsSize() const { return m_data.size() - m_bitsOffset; }
    // Index at column x of the row stored at position `row`.
    uint8_t Pixel(uint32_t x, uint32_t row) const { return Bits()[row * Stride() + x]; }

private:
    PreviewDib() = default;

    DibInfoHeader m_header;
    std::vector<uint8_t> m_data;
    size_t m_bitsOffset = 0;
};
