// Helpers shared by the preview suites.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "DrawingGenerator.h"
#include "PreviewCore.h"
#include "PreviewMemorySource.h"

inline std::unique_ptr<PreviewDib> DecodeBytes(const std::vector<uint8_t>& bytes, size_t length = SIZE_MAX)
{
    PreviewCore core;
    size_t n = length < bytes.size() ? length : bytes.size();
    return core.ReadThumbnail(std::make_unique<PreviewMemorySource>(bytes.data(), n));
}

inline std::vector<uint8_t> DrawingWithDib(const std::vector<uint8_t>& dib, const char* magic = "DX1032",
                                           DrawingLayout* layout = nullptr)
{
    DrawingSpec spec;
    spec.magic = magic;
    spec.thumbnail = dib;
    return DrawingGenerator::MakeDrawing(spec, layout);
}

inline void Poke32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline void Poke16(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// The result is one consistent buffer: header, table, full padded rows, nothing more or less.
inline bool IsWellFormed(const PreviewDib& dib)
{
    const DibInfoHeader& h = dib.Header();
    return h.size == 40 && h.bitCount == 8 && h.compression == 0 && h.width > 0 && h.height != 0 &&
           dib.ColorCount() <= 256 && dib.Size() == 40 + dib.ColorCount() * 4 + dib.Stride() * dib.Rows() &&
           dib.Stride() % 4 == 0 && dib.Stride() >= size_t(h.width);
}
