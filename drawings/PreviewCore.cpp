#include "PreviewCore.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "PreviewFileSource.h"
#include "PreviewLimits.h"
#include "PreviewReader.h"
#include "VersionTable.h"

namespace {
const uint8_t kStartSentinel[16] = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                    0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
constexpr uint16_t kBmpType = 0x4D42;
constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kCoreHeader = 12;
constexpr int64_t kSectionPosOffset = 13;

bool IsEndSentinel(const uint8_t* bytes)
{
    for (int i = 0; i < 16; i++)
        if (bytes[i] != static_cast<uint8_t>(~kStartSentinel[i]))
            return false;
    return true;
}

uint32_t RowCount(int32_t height)
{
    return height < 0 ? 0u - static_cast<uint32_t>(height) : static_cast<uint32_t>(height);
}

// Bytes the stored rows of a source need: full padded rows but the last, which may lack its padding.
bool SourceRowsFit(const PreviewCore::SourceDib& dib, uint64_t& stride)
{
    const DibInfoHeader& h = dib.header;
    uint64_t rowBits = uint64_t(uint32_t(h.width)) * h.bitCount;
    stride = ((rowBits + 31) / 32) * 4;
    uint64_t needed = stride * (RowCount(h.height) - 1) + (rowBits + 7) / 8;
    return dib.bits && dib.bitsSize >= needed;
}
}

namespace {
// Per (row parity, column parity) and channel: the palette index share of each channel value, offset, clamped
// and scaled once instead of per pixel.
struct DitherTables {
    uint8_t share[2][2][3][256];
    DitherTables()
    {
        static const int kOffsets[2][2][3] = {
            {{25, -18, -32}, {-8, 6, 11}},   // even rows: even, odd columns
            {{-26, 17, 31}, {7, -7, -12}},   // odd rows: each offset o becomes -o - 1
        };
        static const int kLevels[3] = {5, 7, 4}, kWeights[3] = {40, 5, 1};
        for (int row = 0; row < 2; row++)
            for (int col = 0; col < 2; col++)
                for (int ch = 0; ch < 3; ch++)
                    for (int v = 0; v < 256; v++) {
                        int c = v + kOffsets[row][col][ch];
                        c = c < 0 ? 0 : c > 255 ? 255 : c;
                        share[row][col][ch][v] = static_cast<uint8_t>(kWeights[ch] * ((kLevels[ch] * c + 128) / 256));
                    }
    }
};

const DitherTables& Dither()
{
    static const DitherTables tables;
    return tables;
}
}

std::unique_ptr<PreviewDib> PreviewCore::ReadThumbnail(const std::wstring& path)
{
    return ReadThumbnail(PreviewFileSource::Open(path));
}

std::unique_ptr<PreviewDib> PreviewCore::ReadThumbnail(std::unique_ptr<PreviewSource> source)
{
    Close();
    std::unique_ptr<PreviewDib> dib;
    if (LocateImage(std::move(source)) && m_imageSize > 0)
        dib = ReadDib();
    Close();
    return dib;
}

bool PreviewCore::LocateImage(const std::wstring& path)
{
    return LocateImage(PreviewFileSource::Open(path));
}

bool PreviewCore::LocateImage(std::unique_ptr<PreviewSource> source)
{
    Close();
    m_source = std::move(source);
    if (!m_source)
        return false;
    if (LocateBmp() || LocateDrawing())
        return true;
    Close();
    return false;
}

bool PreviewCore::LocateBmp()
{
    PreviewReader r(*m_source);
    uint16_t type = 0, reserved1 = 0, reserved2 = 0;
    uint32_t fileSize = 0, pixelPos = 0, headerSize = 0;
    if (!r.ReadU16(type) || !r.ReadU32(fileSize) || !r.ReadU16(reserved1) || !r.ReadU16(reserved2) ||
        !r.ReadU32(pixelPos) || !r.ReadU32(headerSize))
        return false;
    if (type != kBmpType || (headerSize != kInfoHeader && headerSize != kCoreHeader))
        return false;
    // The file header's size field is often wrong; the file's own length is what can be read.
    m_imageStart = 14;
    m_imageSize = static_cast<int64_t>(std::min<uint64_t>(m_source->Size() - 14, INT64_MAX));
    m_pixelPos = pixelPos;
    return true;
}

bool PreviewCore::LocateDrawing()
{
    PreviewReader r(*m_source);
    uint8_t magic[7];
    if (!r.Read(magic, sizeof magic) || !VersionTable::IsPreviewMagic(magic, sizeof magic))
        return false;

    int32_t sectionPos = 0;
    uint8_t sentinel[16];
    if (!r.Seek(kSectionPosOffset) || !r.ReadI32(sectionPos) || !r.Seek(sectionPos) ||
        !r.Read(sentinel, sizeof sentinel) || std::memcmp(sentinel, kStartSentinel, sizeof sentinel) != 0)
        return false;

    int32_t bodySize = 0;
    if (!r.ReadI32(bodySize) || bodySize < 0)
        return false;
    const int64_t body = static_cast<int64_t>(r.Pos());
    if (!r.Seek(body + bodySize) || !r.Read(sentinel, sizeof sentinel) || !IsEndSentinel(sentinel))
        return false;

    int8_t count = 0;
    if (!r.Seek(body) || !r.ReadI8(count) || count <= 0 || count > kMaxEntries)
        return false;
    bool found = false;
    for (int i = 0; i < count; i++) {
        uint8_t type = 0;
        int32_t start = 0, size = 0;
        if (!r.ReadU8(type) || !r.ReadI32(start) || !r.ReadI32(size))
            return false;
        if (type == kBitmapEntry) {   // the last bitmap entry wins
            found = true;
            m_imageStart = start;
            m_imageSize = size;
        }
    }
    m_pixelPos = 0;
    return found;
}

void PreviewCore::Close()
{
    m_source.reset();
}

std::unique_ptr<PreviewDib> PreviewCore::ReadDib()
{
    if (!m_source || m_imageSize <= 44)
        return nullptr;
    PreviewReader r(*m_source);
    uint32_t headerSize = 0;
    if (!r.Seek(m_imageStart) || !r.ReadU32(headerSize))
        return nullptr;

    SourceDib src;
    DibInfoHeader& h = src.header;
    if (headerSize == kInfoHeader) {
        uint32_t width = 0, height = 0, xRes = 0, yRes = 0;
        if (!r.ReadU32(width) || !r.ReadU32(height) || !r.ReadU16(h.planes) || !r.ReadU16(h.bitCount) ||
            !r.ReadU32(h.compression) || !r.ReadU32(h.sizeImage) || !r.ReadU32(xRes) || !r.ReadU32(yRes) ||
            !r.ReadU32(h.clrUsed) || !r.ReadU32(h.clrImportant))
            return nullptr;
        h.width = static_cast<int32_t>(width);
        h.height = static_cast<int32_t>(height);
        h.xPelsPerMeter = static_cast<int32_t>(xRes);
        h.yPelsPerMeter = static_cast<int32_t>(yRes);
    } else if (headerSize == kCoreHeader) {
        uint16_t width = 0, height = 0;
        if (!r.ReadU16(width) || !r.ReadU16(height) || !r.ReadU16(h.planes) || !r.ReadU16(h.bitCount))
            return nullptr;
        h.width = width;
        h.height = height;
    } else {
        return nullptr;
    }

    // Whitelist: the depths the result can be made from, and run-length data only at its own depth.
    const uint16_t bpp = h.bitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return nullptr;
    if (!(h.compression == 0 || (h.compression == 1 && bpp == 8) || (h.compression == 2 && bpp == 4)))
        return nullptr;
    uint64_t outBytes = 0;
    if (!PreviewLimits::OutputSize(h.width, h.height, outBytes))
        return nullptr;

    uint32_t colors = 0;
    if (bpp <= 8) {
        colors = h.clrUsed ? h.clrUsed : (1u << bpp);
        if (colors > (1u << bpp))
            return nullptr;
    }
    const uint32_t entryBytes = headerSize == kInfoHeader ? 4 : 3;
    const int64_t pixelBytes = m_imageSize - int64_t(headerSize) - int64_t(colors) * entryBytes;
    if (pixelBytes <= 0)
        return nullptr;
    for (uint32_t i = 0; i < colors; i++) {
        uint8_t e[4] = {};
        if (!r.Read(e, entryBytes))
            return nullptr;
        src.colors[i].blue = e[0];
        src.colors[i].green = e[1];
        src.colors[i].red = e[2];
    }
    src.colorCount = colors;

    uint64_t count = static_cast<uint64_t>(pixelBytes);
    if (m_pixelPos != 0) {
        if (!r.Seek(m_pixelPos))
            return nullptr;
        // Pixel rows placed after a gap still end at the end of the file.
        count = std::min<uint64_t>(count, r.Remaining());
    }
    // Bytes beyond what the rows can use are not read: a long file cannot make us hold more than the picture
    // needs. Run-length data of single-pixel runs is the longest sensible encoding.
    const uint64_t rows = RowCount(h.height);
    uint64_t useful = ((uint64_t(uint32_t(h.width)) * bpp + 31) / 32) * 4 * rows;
    if (h.compression != 0) {
        useful = 2 * outBytes + 2 * rows + 2;
        if (h.sizeImage != 0)
            useful = std::min<uint64_t>(useful, h.sizeImage);
    }
    // A short file gives nothing, as a short read would; that is known without allocating.
    if (count == 0 || count > r.Remaining())
        return nullptr;
    count = std::min(count, useful);
    std::vector<uint8_t> bits(static_cast<size_t>(count));
    if (!r.Read(bits.data(), bits.size()))
        return nullptr;
    src.bits = bits.data();
    src.bitsSize = bits.size();

    if (h.compression != 0)
        return DecodeRle(src);
    if (bpp == 8)
        return Copy8Bit(src);
    return ConvertTo8Bit(src);
}

std::unique_ptr<PreviewDib> PreviewCore::DecodeRle(const SourceDib& dib)
{
    const DibInfoHeader& h = dib.header;
    const bool rle4 = h.compression == 2;
    if (!(h.compression == 1 && h.bitCount == 8) && !(rle4 && h.bitCount == 4))
        return nullptr;
    // Run-length data is stored bottom-up only.
    if (h.height <= 0 || !dib.bits)
        return nullptr;
    std::unique_ptr<PreviewDib> out = PreviewDib::Create8Bit(h.width, h.height, dib.colors, dib.colorCount, h);
    if (!out)
        return nullptr;

    const uint8_t* in = dib.bits;
    size_t end = dib.bitsSize;
    if (h.sizeImage != 0 && h.sizeImage < end)
        end = h.sizeImage;
    const uint64_t width = uint32_t(h.width);
    const uint64_t rows = uint32_t(h.height);
    const size_t stride = out->Stride();
    uint8_t* bits = out->Bits();

    // x may run past the row: such pixels are dropped, never carried into the next row.
    uint64_t x = 0, y = 0;
    size_t i = 0;
    while (y < rows && i + 2 <= end) {
        const uint8_t a = in[i], b = in[i + 1];
        i += 2;
        uint8_t* row = bits + y * stride;
        if (a > 0) {
            const uint64_t fit = x < width ? std::min<uint64_t>(a, width - x) : 0;
            if (!rle4) {
                std::memset(row + x, b, fit);
            } else {
                for (uint64_t k = 0; k < fit; k++)
                    row[x + k] = (k & 1) ? (b & 0x0F) : (b >> 4);
            }
            x += a;
        } else if (b == 0) {   // end of line
            if (x != 0) {
                x = 0;
                y++;
            }
        } else if (b == 1) {   // end of bitmap
            break;
        } else if (b == 2) {   // move
            if (i + 2 > end)
                break;
            x += in[i];
            y += in[i + 1];
            i += 2;
        } else {   // b literal values, padded to an even byte count
            const size_t bytes = rle4 ? (b + 1u) / 2 : b;
            const size_t have = std::min(bytes, end - i);
            if (!rle4) {
                const uint64_t fit = x < width ? std::min<uint64_t>(have, width - x) : 0;
                std::memcpy(row + x, in + i, fit);
                x += b;
                i += bytes + (bytes & 1);
                continue;
            }
            for (uint64_t k = 0; k < b && k / 2 < have; k++, x++)
                if (x < width)
                    row[x] = (k & 1) ? (in[i + k / 2] & 0x0F) : (in[i + k / 2] >> 4);
            i += bytes + (bytes & 1);
        }
    }
    return out;
}

std::unique_ptr<PreviewDib> PreviewCore::Copy8Bit(const SourceDib& dib)
{
    const DibInfoHeader& h = dib.header;
    if (h.bitCount != 8 || h.compression != 0)
        return nullptr;
    uint64_t outBytes = 0, srcStride = 0;
    if (!PreviewLimits::OutputSize(h.width, h.height, outBytes) || !SourceRowsFit(dib, srcStride))
        return nullptr;
    std::unique_ptr<PreviewDib> out = PreviewDib::Create8Bit(h.width, h.height, dib.colors, dib.colorCount, h);
    if (out)
        std::memcpy(out->Bits(), dib.bits, static_cast<size_t>(std::min<uint64_t>(dib.bitsSize, outBytes)));
    return out;
}

std::unique_ptr<PreviewDib> PreviewCore::ConvertTo8Bit(const SourceDib& dib)
{
    const DibInfoHeader& h = dib.header;
    const uint16_t bpp = h.bitCount;
    if ((bpp != 1 && bpp != 4 && bpp != 24 && bpp != 32) || h.compression != 0)
        return nullptr;
    uint64_t outBytes = 0, srcStride = 0;
    if (!PreviewLimits::OutputSize(h.width, h.height, outBytes) || !SourceRowsFit(dib, srcStride))
        return nullptr;

    // 1-bit rows are shown whole bytes wide: the fill bits become pixels.
    const int32_t width = bpp == 1 ? static_cast<int32_t>((uint32_t(h.width) + 7) & ~7u) : h.width;
    DibColor palette[PreviewDib::kMaxColors];
    if (bpp == 4)
        std::copy(dib.colors, dib.colors + std::min<uint32_t>(dib.colorCount, 16), palette);
    else
        FillCubePalette(palette);
    std::unique_ptr<PreviewDib> out = PreviewDib::Create8Bit(width, h.height, palette, PreviewDib::kMaxColors, h);
    if (!out)
        return nullptr;

    const uint32_t rows = RowCount(h.height);
    const size_t stride = out->Stride();
    for (uint32_t y = 0; y < rows; y++) {
        const uint8_t* s = dib.bits + y * srcStride;
        uint8_t* d = out->Bits() + y * stride;
        if (bpp == 1) {
            for (int32_t x = 0; x < width; x++)
                d[x] = (s[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        } else if (bpp == 4) {
            for (int32_t x = 0; x < width; x++)
                d[x] = (x & 1) ? (s[x >> 1] & 0x0F) : (s[x >> 1] >> 4);
        } else {
            const int step = bpp / 8;
            const auto& t = Dither().share[y & 1];
            for (int32_t x = 0; x < width; x++, s += step) {
                const auto& c = t[x & 1];
                d[x] = static_cast<uint8_t>(c[0][s[2]] + c[1][s[1]] + c[2][s[0]]);
            }
        }
    }
    return out;
}

void PreviewCore::FillCubePalette(DibColor colors[PreviewDib::kMaxColors])
{
    for (int r = 0; r < 6; r++)
        for (int g = 0; g < 8; g++)
            for (int b = 0; b < 5; b++) {
                DibColor& c = colors[40 * r + 5 * g + b];
                c.red = static_cast<uint8_t>((255 * r + 2) / 5);
                c.green = static_cast<uint8_t>((255 * g + 3) / 7);
                c.blue = static_cast<uint8_t>((255 * b + 2) / 4);
                c.reserved = 0;
            }
    for (int i = 240; i < 256; i++)
        colors[i] = DibColor{255, 255, 255, 0};
}

uint8_t PreviewCore::DitherIndex(uint8_t red, uint8_t green, uint8_t blue, uint32_t x, uint32_t row)
{
    const auto& t = Dither().share[row & 1][x & 1];
    return static_cast<uint8_t>(t[0][red] + t[1][green] + t[2][blue]);
}
