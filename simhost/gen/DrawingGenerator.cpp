#include "DrawingGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstring>

const uint8_t DrawingGenerator::kStartSentinel[16] = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                                      0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};

namespace {
void Put8(std::vector<uint8_t>& out, uint32_t v) { out.push_back(static_cast<uint8_t>(v)); }
void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    Put8(out, v);
    Put8(out, v >> 8);
}
void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void Set32(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t Get32(const std::vector<uint8_t>& in, size_t at)
{
    return uint32_t(in[at]) | (uint32_t(in[at + 1]) << 8) | (uint32_t(in[at + 2]) << 16) |
           (uint32_t(in[at + 3]) << 24);
}
uint16_t Get16(const std::vector<uint8_t>& in, size_t at) { return static_cast<uint16_t>(in[at] | (in[at + 1] << 8)); }

uint32_t TableCount(const PictureSpec& spec)
{
    if (spec.bitCount > 8)
        return 0;
    return spec.colorsUsed ? spec.colorsUsed : (1u << spec.bitCount);
}

uint8_t Expand5(uint32_t v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }

// Stored rows of palette indices, bottom row first unless top-down.
std::vector<std::vector<uint8_t>> IndexRows(const PictureSpec& spec)
{
    std::vector<std::vector<uint8_t>> rows;
    for (int32_t s = 0; s < spec.height; s++) {
        int32_t y = spec.topDown ? s : spec.height - 1 - s;
        std::vector<uint8_t> row(static_cast<size_t>(spec.width));
        for (int32_t x = 0; x < spec.width; x++)
            row[x] = static_cast<uint8_t>(DrawingGenerator::PatternIndex(spec, x, y));
        rows.push_back(row);
    }
    return rows;
}

void EndRow(std::vector<uint8_t>& out)
{
    out.push_back(0);
    out.push_back(0);
}
}

namespace {
// Paper, lines, centre lines and lettering of a sheet picture, in that order.
const DrawingGenerator::Rgb kSheetColors[] = {{250, 250, 244}, {24, 40, 104}, {196, 48, 40}, {128, 128, 136}};

bool OnBox(int32_t x, int32_t y, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    bool inX = x >= left && x <= right, inY = y >= top && y <= bottom;
    return (inY && (x == left || x == right)) || (inX && (y == top || y == bottom));
}

bool OnCircle(int32_t x, int32_t y, double cx, double cy, double r)
{
    return std::fabs(std::hypot(x - cx, y - cy) - r) < 0.55;
}

// Dash, gap, dot, gap: the centre line pattern along a line.
bool CentreDash(int32_t along) { return along % 8 < 5 || along % 8 == 6; }
}

DrawingGenerator::Ink DrawingGenerator::SheetInk(const PictureSpec& spec, int32_t x, int32_t y)
{
    const int32_t w = spec.width, h = spec.height;
    const int32_t m = std::max(2, std::min(w, h) / 24);
    if (OnBox(x, y, m, m, w - 1 - m, h - 1 - m))
        return Ink::Line;
    if (x < m || y < m || x > w - 1 - m || y > h - 1 - m)
        return Ink::Paper;

    // Title block in the lower right corner: two rows, the lower one split, with lettering in the cells.
    const int32_t tbLeft = w - 1 - m - w * 2 / 5, tbTop = h - 1 - m - std::max(6, h / 5);
    if (x >= tbLeft && y >= tbTop) {
        const int32_t split = (tbTop + h - 1 - m) / 2, column = tbLeft + (w - 1 - m - tbLeft) / 3;
        if (x == tbLeft || y == tbTop || y == split || (x == column && y > split))
            return Ink::Line;
        const bool textRow = y == (tbTop + split) / 2 || y == (split + h - 1 - m) / 2;
        const bool inCell = x > tbLeft + 1 && x < w - 2 - m && x != column && x != column + 1 && x != column - 1;
        return textRow && inCell && (x + static_cast<int32_t>(spec.seed)) % 5 < 3 ? Ink::Lettering : Ink::Paper;
    }

    // The parts, placed by the seed: a flange with bolt holes, a stepped shaft, a plate with two holes.
    const double iw = w - 2.0 * m, ih = h - 2.0 * m, unit = std::min(iw, ih);
    const uint32_t seed = spec.seed;
    const double cx = m + iw * (0.22 + 0.03 * (seed % 3)), cy = m + ih * 0.38, r = unit * (0.2 + 0.02 * (seed % 2));
    const int holes = 4 + 2 * static_cast<int>(seed % 3);
    if (OnCircle(x, y, cx, cy, r) || OnCircle(x, y, cx, cy, r * 0.45))
        return Ink::Line;
    for (int i = 0; i < holes; ++i) {
        double a = 6.283185307 * i / holes + 0.3926990817 * (seed % 2);
        if (OnCircle(x, y, cx + std::cos(a) * r * 0.72, cy + std::sin(a) * r * 0.72, std::max(1.5, r * 0.1)))
            return Ink::Line;
    }
    const double reach = r + 3;
    if ((y == static_cast<int32_t>(cy) && std::fabs(x - cx) <= reach && CentreDash(x)) ||
        (x == static_cast<int32_t>(cx) && std::fabs(y - cy) <= reach && CentreDash(y)))
        return Ink::CentreLine;

    const int32_t shaftLeft = static_cast<int32_t>(m + iw * 0.52), shaftRight = static_cast<int32_t>(m + iw * 0.95);
    const int32_t step = shaftLeft + (shaftRight - shaftLeft) * static_cast<int32_t>(4 + seed % 3) / 10;
    const int32_t big = static_cast<int32_t>(ih * 0.17), small = static_cast<int32_t>(ih * 0.1);
    const int32_t mid = static_cast<int32_t>(cy);
    if (OnBox(x, y, shaftLeft, mid - big, step, mid + big) || OnBox(x, y, step, mid - small, shaftRight, mid + small))
        return Ink::Line;
    if (y == mid && x >= shaftLeft - 3 && x <= shaftRight + 3 && CentreDash(x))
        return Ink::CentreLine;

    const int32_t plateLeft = static_cast<int32_t>(m + iw * 0.06), plateRight = static_cast<int32_t>(m + iw * 0.5);
    const int32_t plateTop = static_cast<int32_t>(m + ih * 0.74), plateBottom = static_cast<int32_t>(m + ih * 0.92);
    if (plateBottom < tbTop - 1 || plateRight < tbLeft - 1) {
        if (OnBox(x, y, plateLeft, plateTop, plateRight, plateBottom))
            return Ink::Line;
        double holeY = (plateTop + plateBottom) / 2.0, holeR = std::max(1.5, (plateBottom - plateTop) * 0.22);
        if (OnCircle(x, y, plateLeft + (plateRight - plateLeft) * 0.2, holeY, holeR) ||
            OnCircle(x, y, plateLeft + (plateRight - plateLeft) * 0.8, holeY, holeR))
            return Ink::Line;
    }
    return Ink::Paper;
}

uint32_t DrawingGenerator::PatternIndex(const PictureSpec& spec, int32_t x, int32_t y)
{
    uint32_t n = std::max<uint32_t>(1, std::min<uint32_t>(TableCount(spec), 256));
    if (spec.sheet) {
        uint32_t ink = static_cast<uint32_t>(SheetInk(spec, x, y));
        // One bit a pixel shows a set bit white: paper is 1 there, every ink 0.
        if (spec.bitCount == 1)
            return ink == 0 ? 1 % n : 0;
        return ink % n;
    }
    uint32_t ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y), h = static_cast<uint32_t>(spec.height);
    if (uy < h / 3)   // bands: short runs
        return (ux / 5 + (uy / 4) * 3 + spec.seed) % n;
    if (uy < 2 * h / 3)   // noise: literal runs
        return (ux * 7 + uy * 13 + spec.seed * 3 + (ux * uy) % 5) % n;
    return (uy / 3 + spec.seed + (ux > 2 * static_cast<uint32_t>(spec.width) / 3 ? 1 : 0)) % n;   // long runs
}

DrawingGenerator::Rgb DrawingGenerator::TableColor(const PictureSpec& spec, uint32_t i)
{
    if (spec.sheet && spec.bitCount > 1 && i < 4)
        return kSheetColors[i];
    return Rgb{static_cast<uint8_t>(i * 37 + spec.seed * 11), static_cast<uint8_t>(i * 91 + 60),
               static_cast<uint8_t>(i * 53 + spec.seed * 29 + 17)};
}

DrawingGenerator::Rgb DrawingGenerator::PatternColor(const PictureSpec& spec, int32_t x, int32_t y)
{
    if (spec.sheet) {
        Rgb c = kSheetColors[static_cast<int>(SheetInk(spec, x, y))];
        return spec.bitCount == 16 ? Rgb{Expand5(c.red >> 3), Expand5(c.green >> 3), Expand5(c.blue >> 3)} : c;
    }
    uint32_t w = static_cast<uint32_t>(std::max(1, spec.width - 1));
    uint32_t h = static_cast<uint32_t>(std::max(1, spec.height - 1));
    Rgb c{static_cast<uint8_t>(uint32_t(x) * 255 / w), static_cast<uint8_t>(uint32_t(y) * 255 / h),
          static_cast<uint8_t>(((uint32_t(x) ^ uint32_t(y)) * 8 + spec.seed * 40) & 255)};
    if (spec.bitCount == 16)
        c = Rgb{Expand5(c.red >> 3), Expand5(c.green >> 3), Expand5(c.blue >> 3)};
    return c;
}

std::vector<uint8_t> DrawingGenerator::EncodeRle8(const std::vector<std::vector<uint8_t>>& rows)
{
    std::vector<uint8_t> out;
    for (const std::vector<uint8_t>& row : rows) {
        size_t n = row.size(), i = 0;
        while (i < n) {
            size_t run = 1;
            while (i + run < n && run < 255 && row[i + run] == row[i])
                run++;
            if (run >= 2) {
                out.push_back(static_cast<uint8_t>(run));
                out.push_back(row[i]);
                i += run;
                continue;
            }
            size_t j = i;
            while (j < n && j - i < 255 && !(j + 1 < n && row[j] == row[j + 1]))
                j++;
            size_t len = j - i;
            if (len >= 3) {
                out.push_back(0);
                out.push_back(static_cast<uint8_t>(len));
                out.insert(out.end(), row.begin() + i, row.begin() + j);
                if (len & 1)
                    out.push_back(0);
            } else {
                for (size_t k = i; k < j; k++) {
                    out.push_back(1);
                    out.push_back(row[k]);
                }
            }
            i = j;
        }
        EndRow(out);
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

std::vector<uint8_t> DrawingGenerator::EncodeRle4(const std::vector<std::vector<uint8_t>>& rows)
{
    std::vector<uint8_t> out;
    for (const std::vector<uint8_t>& row : rows) {
        size_t n = row.size(), i = 0;
        while (i < n) {
            size_t run = 1;
            while (i + run < n && run < 255 && row[i + run] == row[i])
                run++;
            if (run >= 3) {
                out.push_back(static_cast<uint8_t>(run));
                out.push_back(static_cast<uint8_t>((row[i] << 4) | (row[i] & 0x0F)));
                i += run;
                continue;
            }
            size_t j = i;
            while (j < n && j - i < 255 && !(j + 2 < n && row[j] == row[j + 1] && row[j] == row[j + 2]))
                j++;
            size_t len = j - i;
            if (len >= 3) {
                out.push_back(0);
                out.push_back(static_cast<uint8_t>(len));
                size_t bytes = (len + 1) / 2;
                for (size_t b = 0; b < bytes; b++) {
                    uint8_t hi = row[i + 2 * b] & 0x0F;
                    uint8_t lo = (2 * b + 1 < len) ? (row[i + 2 * b + 1] & 0x0F) : 0;
                    out.push_back(static_cast<uint8_t>((hi << 4) | lo));
                }
                if (bytes & 1)
                    out.push_back(0);
            } else {
                for (size_t k = i; k < j; k++) {
                    out.push_back(1);
                    out.push_back(static_cast<uint8_t>(row[k] << 4));
                }
            }
            i = j;
        }
        EndRow(out);
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

std::vector<uint8_t> DrawingGenerator::MakeDib(const PictureSpec& spec)
{
    std::vector<uint8_t> out;
    const uint32_t colors = TableCount(spec);
    const uint32_t bpp = spec.bitCount;
    const bool rle = spec.compression == 1 || spec.compression == 2;

    std::vector<uint8_t> pixels;
    if (rle) {
        std::vector<std::vector<uint8_t>> rows = IndexRows(spec);
        pixels = spec.compression == 1 ? EncodeRle8(rows) : EncodeRle4(rows);
    } else {
        const size_t stride = ((size_t(spec.width) * bpp + 31) / 32) * 4;
        pixels.assign(stride * size_t(spec.height), 0);
        for (int32_t s = 0; s < spec.height; s++) {
            int32_t y = spec.topDown ? s : spec.height - 1 - s;
            uint8_t* row = pixels.data() + size_t(s) * stride;
            for (int32_t x = 0; x < spec.width; x++) {
                if (bpp <= 8) {
                    uint32_t v = PatternIndex(spec, x, y);
                    size_t bit = size_t(x) * bpp;
                    row[bit / 8] |= static_cast<uint8_t>(v << (8 - bpp - bit % 8));
                } else {
                    Rgb c = PatternColor(spec, x, y);
                    if (bpp == 16) {
                        uint32_t v = ((c.red >> 3) << 10) | ((c.green >> 3) << 5) | (c.blue >> 3);
                        row[2 * x] = static_cast<uint8_t>(v);
                        row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
                    } else {
                        uint8_t* p = row + size_t(x) * (bpp / 8);
                        p[0] = c.blue;
                        p[1] = c.green;
                        p[2] = c.red;
                        if (bpp == 32)
                            p[3] = 0xA5;   // unused byte: must not matter
                    }
                }
            }
        }
    }

    if (spec.coreHeader) {
        Put32(out, 12);
        Put16(out, static_cast<uint32_t>(spec.width));
        Put16(out, static_cast<uint32_t>(spec.height));
        Put16(out, 1);
        Put16(out, bpp);
    } else {
        Put32(out, 40);
        Put32(out, static_cast<uint32_t>(spec.width));
        Put32(out, static_cast<uint32_t>(spec.topDown ? -spec.height : spec.height));
        Put16(out, 1);
        Put16(out, bpp);
        Put32(out, spec.compression);
        Put32(out, static_cast<uint32_t>(pixels.size()));
        Put32(out, 2835);
        Put32(out, 2835);
        Put32(out, spec.colorsUsed);
        Put32(out, 0);
        if (spec.compression == 3) {
            Put32(out, bpp == 16 ? 0x7C00 : 0xFF0000);
            Put32(out, bpp == 16 ? 0x03E0 : 0x00FF00);
            Put32(out, bpp == 16 ? 0x001F : 0x0000FF);
        }
    }
    for (uint32_t i = 0; i < colors; i++) {
        Rgb c = TableColor(spec, i);
        Put8(out, c.blue);
        Put8(out, c.green);
        Put8(out, c.red);
        if (!spec.coreHeader)
            Put8(out, 0);
    }
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

std::vector<uint8_t> DrawingGenerator::MakeBmp(const PictureSpec& spec)
{
    std::vector<uint8_t> dib = MakeDib(spec);
    uint32_t headerSize = Get32(dib, 0);
    uint32_t tableBytes = TableCount(spec) * (spec.coreHeader ? 3 : 4) + (spec.compression == 3 ? 12 : 0);
    std::vector<uint8_t> out;
    Put16(out, 0x4D42);
    Put32(out, static_cast<uint32_t>(14 + dib.size()));
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, 14 + headerSize + tableBytes);
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

std::vector<uint8_t> DrawingGenerator::BmpToDib(const std::vector<uint8_t>& bmp)
{
    if (bmp.size() < 18 || Get16(bmp, 0) != 0x4D42)
        return {};
    uint32_t pixelPos = Get32(bmp, 10);
    uint32_t headerSize = Get32(bmp, 14);
    if (headerSize < 12 || 14ull + headerSize > bmp.size())
        return {};
    uint32_t bpp = 0, compression = 0, used = 0, entry = 4;
    if (headerSize == 12) {
        bpp = Get16(bmp, 14 + 10);
        entry = 3;
    } else if (headerSize >= 40) {
        bpp = Get16(bmp, 14 + 14);
        compression = Get32(bmp, 14 + 16);
        used = Get32(bmp, 14 + 32);
    } else {
        return {};
    }
    uint64_t table = (bpp <= 8 ? uint64_t(used ? used : (1u << bpp)) * entry : uint64_t(used) * entry);
    if (headerSize == 40 && compression == 3)
        table += 12;
    uint64_t tableEnd = 14ull + headerSize + table;
    if (tableEnd > bmp.size() || pixelPos < tableEnd || pixelPos > bmp.size())
        return {};
    std::vector<uint8_t> dib(bmp.begin() + 14, bmp.begin() + static_cast<ptrdiff_t>(tableEnd));
    dib.insert(dib.end(), bmp.begin() + pixelPos, bmp.end());
    return dib;
}

std::vector<uint8_t> DrawingGenerator::MakeDrawing(const DrawingSpec& spec, DrawingLayout* layout)
{
    const size_t headerBytes = 0x40;
    std::vector<uint8_t> out(headerBytes, 0);
    std::memcpy(out.data(), spec.magic.data(), std::min<size_t>(spec.magic.size(), 6));
    out[11] = spec.maintenance;
    DrawingLayout l;
    l.sectionPos = headerBytes;
    Set32(out, 13, static_cast<uint32_t>(l.sectionPos));
    // Header data, then the metafile, then the bitmap: the order the host writes them in.
    struct Entry {
        uint8_t type;
        size_t start, size;
    };
    std::vector<Entry> entries = {{1, 0, headerBytes}};
    if (spec.metafileEntry)
        entries.push_back({3, 0, 0});
    if (!spec.thumbnail.empty())
        entries.push_back({2, 0, spec.thumbnail.size()});

    out.insert(out.end(), kStartSentinel, kStartSentinel + 16);
    const size_t body = 1 + 9 * entries.size();
    Put32(out, static_cast<uint32_t>(body));
    l.entryCount = out.size();
    Put8(out, static_cast<uint32_t>(entries.size()));
    const size_t entryPos = out.size();
    out.resize(out.size() + 9 * entries.size());
    l.endSentinel = out.size();
    for (uint8_t b : kStartSentinel)
        out.push_back(static_cast<uint8_t>(~b));

    const uint8_t metafile[] = {1, 0, 9, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};   // an empty one
    for (Entry& e : entries) {
        if (e.type == 3) {
            e.start = out.size();
            e.size = sizeof metafile;
            out.insert(out.end(), metafile, metafile + sizeof metafile);
        } else if (e.type == 2) {
            e.start = l.imageStart = out.size();
            l.imageSize = e.size;
            out.insert(out.end(), spec.thumbnail.begin(), spec.thumbnail.end());
        }
    }
    for (size_t i = 0; i < entries.size(); i++) {
        out[entryPos + 9 * i] = entries[i].type;
        Set32(out, entryPos + 9 * i + 1, static_cast<uint32_t>(entries[i].start));
        Set32(out, entryPos + 9 * i + 5, static_cast<uint32_t>(entries[i].size));
    }

    // The drawing body: entities the host would read; here filler around the optional fault marker.
    const char filler[] = "ENTITIES;";
    for (size_t i = 0; i < spec.bodyBytes / 2; i++)
        out.push_back(static_cast<uint8_t>(filler[i % (sizeof filler - 1)]));
    if (spec.hasFault) {
        out.push_back('\n');   // the marker stands at the start of a line
        l.faultLine = out.size();
        std::string line = "KESTFAULT=" + spec.faultText + "\n";
        out.insert(out.end(), line.begin(), line.end());
    }
    for (size_t i = spec.bodyBytes / 2; i < spec.bodyBytes; i++)
        out.push_back(static_cast<uint8_t>(filler[i % (sizeof filler - 1)]));
    if (layout)
        *layout = l;
    return out;
}
