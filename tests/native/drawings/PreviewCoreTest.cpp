// Thumbnails of every supported depth and compression, decoded and compared pixel for pixel with an
// independent reading of the same bytes (and that reading with ImageMagick's, where it is installed).
#include "PreviewCore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "PreviewLayout.h"
#include "PreviewTestUtil.h"
#include "ReferenceDib.h"

namespace {
struct Variant {
    std::string name;
    PictureSpec spec;
};

PictureSpec Spec(int w, int h, uint16_t bpp, uint32_t compression = 0, uint32_t seed = 1)
{
    PictureSpec s;
    s.width = w;
    s.height = h;
    s.bitCount = bpp;
    s.compression = compression;
    s.seed = seed;
    return s;
}

std::string Describe(const PictureSpec& s)
{
    char text[128];
    std::snprintf(text, sizeof text, "%dx%dx%u c%u%s%s used%u", s.width, s.height, s.bitCount, s.compression,
                  s.coreHeader ? " core" : "", s.topDown ? " topdown" : "", s.colorsUsed);
    return text;
}

// Every depth, header and compression the preview reads, at awkward widths.
std::vector<Variant> SupportedVariants()
{
    std::vector<Variant> out;
    for (uint16_t bpp : {1, 4, 8, 24, 32})
        for (int w : {1, 13, 31, 64, 77}) {
            PictureSpec s = Spec(w, 19, bpp, 0, static_cast<uint32_t>(w));
            out.push_back({Describe(s), s});
            s.topDown = true;
            out.push_back({Describe(s), s});
            if (bpp != 32) {
                s.topDown = false;
                s.coreHeader = true;
                out.push_back({Describe(s), s});
            }
        }
    for (int w : {1, 2, 7, 40, 300}) {
        for (uint16_t bpp : {8, 4}) {
            PictureSpec s = Spec(w, 23, bpp, bpp == 8 ? 1 : 2, static_cast<uint32_t>(w + bpp));
            out.push_back({Describe(s), s});
        }
    }
    for (uint32_t used : {1u, 5u, 16u}) {
        PictureSpec s = Spec(21, 9, 4, 0, used);
        s.colorsUsed = used;
        out.push_back({Describe(s), s});
        s.bitCount = 8;
        s.colorsUsed = used * 10;
        out.push_back({Describe(s), s});
        s.compression = 1;
        out.push_back({Describe(s), s});
    }
    return out;
}

int ExpectedDitherIndex(const uint8_t* rgb, int x, int storedRow)
{
    // Offsets for red, green, blue; odd stored rows use -o - 1.
    int d[3];
    if (x % 2 == 0) {
        d[0] = 25, d[1] = -18, d[2] = -32;
    } else {
        d[0] = -8, d[1] = 6, d[2] = 11;
    }
    int level[3];
    const int steps[3] = {5, 7, 4};
    for (int k = 0; k < 3; k++) {
        int o = storedRow % 2 ? -d[k] - 1 : d[k];
        int v = std::min(255, std::max(0, rgb[k] + o));
        level[k] = (steps[k] * v + 128) / 256;
    }
    return 40 * level[0] + 5 * level[1] + level[2];
}

// Compares a decoded thumbnail with the reference reading of the same picture.
void ExpectSamePicture(const PreviewDib& dib, const ReferenceImage& ref, const PictureSpec& spec)
{
    ASSERT_TRUE(ref.ok);
    ASSERT_TRUE(IsWellFormed(dib));
    const int shownWidth = spec.bitCount == 1 ? (spec.width + 7) / 8 * 8 : spec.width;
    ASSERT_EQ(shownWidth, dib.Width());
    ASSERT_EQ(uint32_t(ref.height), dib.Rows());
    EXPECT_EQ(spec.topDown, dib.Height() < 0);
    if (spec.bitCount > 8 || spec.bitCount == 1)
        EXPECT_EQ(256u, dib.ColorCount());
    int bad = 0;
    for (int y = 0; y < ref.height && bad < 5; y++)
        for (int x = 0; x < ref.width && bad < 5; x++) {
            const int stored = spec.topDown ? y : ref.height - 1 - y;
            const uint8_t index = dib.Pixel(uint32_t(x), uint32_t(stored));
            const uint8_t* rgb = &ref.rgb[(size_t(y) * ref.width + x) * 3];
            if (spec.bitCount == 1) {
                int want = ref.index[size_t(y) * ref.width + x] ? 255 : 0;
                if (index != want && ++bad)
                    ADD_FAILURE() << "(" << x << "," << y << ") index " << int(index) << ", want " << want;
            } else if (spec.bitCount <= 8) {
                DibColor c = dib.Color(index);
                if ((c.red != rgb[0] || c.green != rgb[1] || c.blue != rgb[2]) && ++bad)
                    ADD_FAILURE() << "(" << x << "," << y << ") index " << int(index) << " = " << int(c.red) << ","
                                  << int(c.green) << "," << int(c.blue) << ", want " << int(rgb[0]) << ","
                                  << int(rgb[1]) << "," << int(rgb[2]);
            } else {
                int want = ExpectedDitherIndex(rgb, x, stored);
                if (index != want && ++bad)
                    ADD_FAILURE() << "(" << x << "," << y << ") index " << int(index) << ", want " << want;
            }
        }
    // The fill bits of 1-bit rows are shown as pixels too.
    if (spec.bitCount == 1 && shownWidth > spec.width)
        for (uint32_t row = 0; row < dib.Rows(); row++)
            for (int x = spec.width; x < shownWidth; x++)
                ASSERT_EQ(0, dib.Pixel(uint32_t(x), row)) << "fill bits of generated rows are clear";
}

std::string TempPath(const char* name)
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir ? dir : "/tmp") + "/kest-drawings-" + std::to_string(getpid()) + "-" + name;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF)
        bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
    return bytes;
}
}

TEST(PreviewCore, BmpFilesOfEveryDepthMatchTheReference)
{
    for (const Variant& v : SupportedVariants()) {
        SCOPED_TRACE(v.name);
        std::vector<uint8_t> bmp = DrawingGenerator::MakeBmp(v.spec);
        std::unique_ptr<PreviewDib> dib = DecodeBytes(bmp);
        ASSERT_TRUE(dib);
        ExpectSamePicture(*dib, DecodeReferenceBmp(bmp), v.spec);
    }
}

TEST(PreviewCore, DrawingThumbnailsOfEveryDepthMatchTheReference)
{
    for (const Variant& v : SupportedVariants()) {
        SCOPED_TRACE(v.name);
        std::vector<uint8_t> dib = DrawingGenerator::MakeDib(v.spec);
        std::unique_ptr<PreviewDib> image = DecodeBytes(DrawingWithDib(dib));
        ASSERT_TRUE(image);
        ExpectSamePicture(*image, DecodeReferenceDib(dib), v.spec);
    }
}

TEST(PreviewCore, ReferenceAgreesWithImageMagick)
{
    if (std::system("command -v convert >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    std::vector<Variant> variants = SupportedVariants();
    for (uint32_t compression : {0u})
        variants.push_back({"16-bit", Spec(37, 11, 16, compression)});
    std::string bmpPath = TempPath("im.bmp"), rgbPath = TempPath("im.rgb");
    int compared = 0;
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        std::vector<uint8_t> bmp = DrawingGenerator::MakeBmp(v.spec);
        ASSERT_TRUE(WriteFile(bmpPath, bmp));
        std::remove(rgbPath.c_str());
        std::string command = "convert 'BMP:" + bmpPath + "' -depth 8 'rgb:" + rgbPath + "' 2>/dev/null";
        if (std::system(command.c_str()) != 0) {
            std::printf("ImageMagick does not read %s\n", v.name.c_str());
            continue;
        }
        ReferenceImage ref = DecodeReferenceBmp(bmp);
        std::vector<uint8_t> theirs = ReadFile(rgbPath);
        ASSERT_EQ(ref.rgb.size(), theirs.size());
        const int tolerance = v.spec.bitCount == 16 ? 1 : 0;   // 5-bit channels widen with rounding of choice
        for (size_t i = 0; i < theirs.size(); i++)
            ASSERT_LE(std::abs(int(theirs[i]) - int(ref.rgb[i])), tolerance) << "byte " << i;
        compared++;
    }
    std::remove(bmpPath.c_str());
    std::remove(rgbPath.c_str());
    EXPECT_GT(compared, int(variants.size()) / 2) << "ImageMagick read too few of the files to matter";
}

TEST(PreviewCore, FilesAreReadFromDisk)
{
    std::string path = TempPath("disk.dwg");
    std::vector<uint8_t> drawing = DrawingWithDib(DrawingGenerator::MakeDib(Spec(20, 10, 8, 1)));
    ASSERT_TRUE(WriteFile(path, drawing));
    std::wstring wide(path.begin(), path.end());
    PreviewCore core;
    std::unique_ptr<PreviewDib> fromDisk = core.ReadThumbnail(wide);
    std::remove(path.c_str());
    ASSERT_TRUE(fromDisk);
    std::unique_ptr<PreviewDib> fromMemory = DecodeBytes(drawing);
    ASSERT_TRUE(fromMemory);
    EXPECT_EQ(std::vector<uint8_t>(fromMemory->Data(), fromMemory->Data() + fromMemory->Size()),
              std::vector<uint8_t>(fromDisk->Data(), fromDisk->Data() + fromDisk->Size()));
    EXPECT_FALSE(core.ReadThumbnail(wide)) << "the file is gone";
    EXPECT_FALSE(core.LocateImage(std::wstring()));
}

TEST(PreviewCore, CubePaletteHasTheListedLevels)
{
    DibColor palette[256];
    PreviewCore::FillCubePalette(palette);
    const int red[6] = {0, 51, 102, 153, 204, 255};
    const int green[8] = {0, 36, 73, 109, 146, 182, 219, 255};
    const int blue[5] = {0, 64, 128, 191, 255};
    for (int r = 0; r < 6; r++)
        for (int g = 0; g < 8; g++)
            for (int b = 0; b < 5; b++) {
                const DibColor& c = palette[40 * r + 5 * g + b];
                ASSERT_EQ(red[r], c.red) << r << g << b;
                ASSERT_EQ(green[g], c.green) << r << g << b;
                ASSERT_EQ(blue[b], c.blue) << r << g << b;
                ASSERT_EQ(0, c.reserved);
            }
    for (int i = 240; i < 256; i++)
        EXPECT_TRUE(palette[i].red == 255 && palette[i].green == 255 && palette[i].blue == 255) << i;
}

TEST(PreviewCore, DitheringKeepsTheAverageColourOfFlatAreas)
{
    DibColor palette[256];
    PreviewCore::FillCubePalette(palette);
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 51) {
                int sum[3] = {};
                for (uint32_t row = 0; row < 2; row++)
                    for (uint32_t x = 0; x < 2; x++) {
                        const DibColor& c = palette[PreviewCore::DitherIndex(uint8_t(r), uint8_t(g), uint8_t(b), x,
                                                                             row)];
                        sum[0] += c.red, sum[1] += c.green, sum[2] += c.blue;
                    }
                // A 2 x 2 cell averages to within about half a level step of the source.
                ASSERT_NEAR(r, sum[0] / 4.0, 28) << r << "," << g << "," << b;
                ASSERT_NEAR(g, sum[1] / 4.0, 22) << r << "," << g << "," << b;
                ASSERT_NEAR(b, sum[2] / 4.0, 36) << r << "," << g << "," << b;
            }
}

TEST(PreviewCore, OneBitShowsSetBitsWhiteWhateverTheTable)
{
    // 13 pixels wide: 0b10110011 10101xxx with the three fill bits set.
    PictureSpec spec = Spec(13, 1, 1);
    std::vector<uint8_t> bmp = DrawingGenerator::MakeBmp(spec);
    const size_t table = 14 + 40, pixels = table + 8;
    bmp[table + 0] = bmp[table + 1] = bmp[table + 2] = 255;   // entry 0 white
    bmp[table + 4] = bmp[table + 5] = bmp[table + 6] = 0;     // entry 1 black
    bmp[pixels] = 0xB3;
    bmp[pixels + 1] = 0xAF;
    std::unique_ptr<PreviewDib> dib = DecodeBytes(bmp);
    ASSERT_TRUE(dib);
    ASSERT_EQ(16, dib->Width()) << "shown as whole bytes";
    const int want[16] = {1, 0, 1, 1, 0, 0, 1, 1, 1, 0, 1, 0, 1, 1, 1, 1};
    for (uint32_t x = 0; x < 16; x++)
        EXPECT_EQ(want[x] ? 255 : 0, dib->Pixel(x, 0)) << "column " << x;
    DibColor white = dib->Color(255), black = dib->Color(0);
    EXPECT_TRUE(white.red == 255 && white.green == 255 && white.blue == 255);
    EXPECT_TRUE(black.red == 0 && black.green == 0 && black.blue == 0);
}

TEST(PreviewLayout, FitsCentredWithMargin)
{
    // A 100 x 50 picture in a 200 x 200 box (client 208 x 208) is drawn 200 x 100, 50 below the box top.
    PreviewRect r = PreviewLayout::Fit(0, 0, 208, 208, 100, 50);
    EXPECT_EQ(4, r.left);
    EXPECT_EQ(54, r.top);
    EXPECT_EQ(200, r.width);
    EXPECT_EQ(100, r.height);
    r = PreviewLayout::Fit(0, 0, 108, 58, 400, 400);   // reduced to the box height, centred across
    EXPECT_EQ(50, r.width);
    EXPECT_EQ(50, r.height);
    EXPECT_EQ(4 + 25, r.left);
    EXPECT_EQ(4, r.top);
    r = PreviewLayout::Fit(0, 0, 8, 100, 10, 10);   // no room left inside the margin
    EXPECT_EQ(0, r.width);
    EXPECT_EQ(0, r.height);
}
