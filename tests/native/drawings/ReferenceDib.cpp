#include "ReferenceDib.h"

#include <cstddef>

namespace {
uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}
uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }

ReferenceImage Decode(const std::vector<uint8_t>& b, size_t start, size_t pixels)
{
    ReferenceImage img;
    if (b.size() < start + 12)
        return img;
    uint32_t headerSize = U32(b, start);
    int32_t width, height;
    uint32_t bpp, compression = 0, used = 0, entry = 4;
    if (headerSize == 12) {
        width = static_cast<int32_t>(U16(b, start + 4));
        height = static_cast<int32_t>(U16(b, start + 6));
        bpp = U16(b, start + 10);
        entry = 3;
    } else {
        width = static_cast<int32_t>(U32(b, start + 4));
        height = static_cast<int32_t>(U32(b, start + 8));
        bpp = U16(b, start + 14);
        compression = U32(b, start + 16);
        used = U32(b, start + 32);
    }
    bool topDown = height < 0;
    int rows = topDown ? -height : height;
    size_t colors = bpp <= 8 ? (used ? used : (1u << bpp)) : 0;
    size_t table = start + headerSize;
    if (pixels == 0)
        pixels = table + colors * entry;
    img.width = width;
    img.height = rows;
    img.index.assign(size_t(width) * rows, 0);
    img.rgb.assign(size_t(width) * rows * 3, 0);

    // Palette index per pixel, in image coordinates (y from the top).
    auto at = [&](int x, int storedRow) -> size_t {
        int y = topDown ? storedRow : rows - 1 - storedRow;
        return size_t(y) * width + x;
    };
    if (compression == 1 || compression == 2) {
        // Run-length data: walk the escapes.
        size_t p = pixels;
        int x = 0, row = 0;
        bool four = compression == 2;
        auto put = [&](uint8_t v) {
            if (x < width && row < rows)
                img.index[at(x, row)] = v;
            x++;
        };
        while (p + 1 < b.size() && row < rows) {
            uint8_t n = b[p], v = b[p + 1];
            p += 2;
            if (n) {
                for (int k = 0; k < n; k++)
                    put(four ? ((k % 2 == 0) ? v >> 4 : v & 15) : v);
            } else if (v == 0) {
                x = 0;
                row++;
            } else if (v == 1) {
                break;
            } else if (v == 2) {
                x += b[p];
                row += b[p + 1];
                p += 2;
            } else {
                for (int k = 0; k < v; k++)
                    put(four ? ((k % 2 == 0) ? b[p + k / 2] >> 4 : b[p + k / 2] & 15) : b[p + k]);
                size_t used = four ? (v + 1) / 2 : v;
                p += used + (used % 2);
            }
        }
    } else if (bpp <= 8) {
        size_t stride = ((size_t(width) * bpp + 31) / 32) * 4;
        for (int r = 0; r < rows; r++)
            for (int x = 0; x < width; x++) {
                size_t bit = size_t(x) * bpp;
                uint8_t byte = b[pixels + r * stride + bit / 8];
                img.index[at(x, r)] = (byte >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1);
            }
    }
    size_t stride = ((size_t(width) * bpp + 31) / 32) * 4;
    for (int r = 0; r < rows; r++)
        for (int x = 0; x < width; x++) {
            size_t i = at(x, r);
            uint8_t* out = &img.rgb[i * 3];
            if (bpp <= 8) {
                size_t e = table + size_t(img.index[i]) * entry;
                if (img.index[i] < colors) {
                    out[0] = b[e + 2];
                    out[1] = b[e + 1];
                    out[2] = b[e];
                }
            } else if (bpp == 16) {
                uint32_t v = U16(b, pixels + r * stride + x * 2);
                uint32_t c[3] = {(v >> 10) & 31, (v >> 5) & 31, v & 31};
                for (int k = 0; k < 3; k++)
                    out[k] = static_cast<uint8_t>(c[k] * 255 / 31 + 0);
            } else {
                const uint8_t* s = &b[pixels + r * stride + x * (bpp / 8)];
                out[0] = s[2];
                out[1] = s[1];
                out[2] = s[0];
            }
        }
    img.ok = true;
    return img;
}
}

ReferenceImage DecodeReferenceDib(const std::vector<uint8_t>& dib) { return Decode(dib, 0, 0); }

ReferenceImage DecodeReferenceBmp(const std::vector<uint8_t>& bmp)
{
    if (bmp.size() < 18 || bmp[0] != 'B' || bmp[1] != 'M')
        return ReferenceImage();
    return Decode(bmp, 14, U32(bmp, 10));
}
