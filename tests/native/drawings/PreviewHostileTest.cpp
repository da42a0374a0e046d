// Damaged and hostile drawings and BMP files: every one gives no image or a consistent image, and nothing is
// read or written outside the buffers (the suite runs under AddressSanitizer).
#include "PreviewCore.h"

#include <gtest/gtest.h>

#include <climits>

#include "PreviewTestUtil.h"

namespace {
PictureSpec Spec(int w, int h, uint16_t bpp, uint32_t compression = 0)
{
    PictureSpec s;
    s.width = w;
    s.height = h;
    s.bitCount = bpp;
    s.compression = compression;
    return s;
}

std::vector<uint8_t> Bytes(const std::unique_ptr<PreviewDib>& dib)
{
    return dib ? std::vector<uint8_t>(dib->Data(), dib->Data() + dib->Size()) : std::vector<uint8_t>();
}

// An 8-bit RLE DIB of w x h with a 4-entry table, built from raw run bytes.
std::vector<uint8_t> RleDib(int w, int h, const std::vector<uint8_t>& runs, uint32_t sizeImage = 0)
{
    PictureSpec s = Spec(w, h, 8);
    s.colorsUsed = 4;
    std::vector<uint8_t> dib = DrawingGenerator::MakeDib(s);
    dib.resize(40 + 16);
    Poke32(dib, 16, 1);
    Poke32(dib, 20, sizeImage ? sizeImage : static_cast<uint32_t>(runs.size()));
    dib.insert(dib.end(), runs.begin(), runs.end());
    return dib;
}

std::vector<uint8_t> Row(const PreviewDib& dib, uint32_t row)
{
    return std::vector<uint8_t>(dib.Bits() + row * dib.Stride(), dib.Bits() + row * dib.Stride() + dib.Width());
}

const std::vector<PictureSpec>& TruncationSpecs()
{
    static std::vector<PictureSpec> specs = [] {
        std::vector<PictureSpec> v = {Spec(23, 7, 8, 1), Spec(23, 7, 4, 2), Spec(11, 5, 24), Spec(13, 4, 1),
                                      Spec(9, 6, 32),    Spec(10, 6, 8),    Spec(7, 5, 4)};
        PictureSpec core = Spec(9, 4, 8);
        core.coreHeader = true;
        v.push_back(core);
        return v;
    }();
    return specs;
}
}

TEST(PreviewHostile, TruncatedDrawingsGiveNoImageUntilTheBitmapIsWhole)
{
    for (const PictureSpec& spec : TruncationSpecs()) {
        DrawingLayout layout;
        std::vector<uint8_t> file = DrawingWithDib(DrawingGenerator::MakeDib(spec), "DX1032", &layout);
        std::vector<uint8_t> whole = Bytes(DecodeBytes(file));
        ASSERT_FALSE(whole.empty());
        for (size_t n = 0; n <= file.size(); n++) {
            std::unique_ptr<PreviewDib> dib = DecodeBytes(file, n);
            if (n < layout.imageStart + layout.imageSize)
                ASSERT_FALSE(dib) << spec.bitCount << " bits, cut at " << n;
            else
                ASSERT_EQ(whole, Bytes(dib)) << spec.bitCount << " bits, cut at " << n;
        }
    }
}

TEST(PreviewHostile, TruncatedBmpFilesGiveNoImageOrAConsistentOne)
{
    for (const PictureSpec& spec : TruncationSpecs()) {
        std::vector<uint8_t> file = DrawingGenerator::MakeBmp(spec);
        const bool rle = spec.compression != 0;
        for (size_t n = 0; n < file.size(); n++) {
            std::unique_ptr<PreviewDib> dib = DecodeBytes(file, n);
            if (dib)
                ASSERT_TRUE(IsWellFormed(*dib)) << "cut at " << n;
            // Rows cut short are not shown as a picture; run-length data shows what arrived.
            if (!rle && n + 3 < file.size())
                ASSERT_FALSE(dib) << spec.bitCount << " bits, cut at " << n;
        }
    }
}

TEST(PreviewHostile, ImageDataDirectory)
{
    std::vector<uint8_t> dib = DrawingGenerator::MakeDib(Spec(8, 8, 8));
    DrawingLayout layout;
    std::vector<uint8_t> good = DrawingWithDib(dib, "DX1032", &layout);
    ASSERT_TRUE(DecodeBytes(good));

    // More entries than the directory's room of five: not read at all. The entry bytes that follow are the
    // end sentinel and the bitmap, which a reader without the bound would walk into.
    std::vector<uint8_t> f = good;
    for (int n : {6, 7, 100, 127}) {
        f[layout.entryCount] = static_cast<uint8_t>(n);
        EXPECT_FALSE(DecodeBytes(f)) << n << " entries";
    }
    for (int n : {0, -1, -128}) {
        f[layout.entryCount] = static_cast<uint8_t>(n);
        EXPECT_FALSE(DecodeBytes(f)) << n << " entries";
    }

    // Five entries, the bitmap last: read. Two bitmap entries: the last one counts.
    DrawingSpec five;
    five.thumbnail = dib;
    five.metafileEntry = true;
    DrawingLayout l5;
    f = DrawingGenerator::MakeDrawing(five, &l5);
    ASSERT_TRUE(DecodeBytes(f)) << "three entries";
    const size_t entries = l5.entryCount + 1;
    f[l5.entryCount] = 5;
    f.insert(f.begin() + entries + 27, 18, 0);   // two more type-0 entries: the directory grows
    Poke32(f, l5.sectionPos + 16, static_cast<uint32_t>(1 + 9 * 5));
    for (size_t e = 0; e < 5; e++)   // every position after the directory moved by 18 bytes
        if (f[entries + 9 * e] == 2 || f[entries + 9 * e] == 3) {
            const size_t at = entries + 9 * e + 1;
            Poke32(f, at, static_cast<uint32_t>(f[at] | (f[at + 1] << 8)) + 18);
        }
    ASSERT_TRUE(DecodeBytes(f)) << "five entries, bitmap third";
    std::vector<uint8_t> other = DrawingGenerator::MakeDib(Spec(3, 2, 8));
    f.insert(f.end(), other.begin(), other.end());
    f[entries + 9 * 4] = 2;
    Poke32(f, entries + 9 * 4 + 1, static_cast<uint32_t>(f.size() - other.size()));
    Poke32(f, entries + 9 * 4 + 5, static_cast<uint32_t>(other.size()));
    std::unique_ptr<PreviewDib> last = DecodeBytes(f);
    ASSERT_TRUE(last);
    EXPECT_EQ(3, last->Width()) << "the last bitmap entry wins";

    // Only a metafile: no thumbnail.
    DrawingSpec meta;
    meta.metafileEntry = true;
    EXPECT_FALSE(DecodeBytes(DrawingGenerator::MakeDrawing(meta)));
}

TEST(PreviewHostile, SectionPositionsAndSentinels)
{
    std::vector<uint8_t> dib = DrawingGenerator::MakeDib(Spec(8, 8, 24));
    DrawingLayout layout;
    const std::vector<uint8_t> good = DrawingWithDib(dib, "DX1032", &layout);
    std::vector<uint8_t> f;

    for (uint32_t pos :
         {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, uint32_t(good.size()), uint32_t(good.size() - 10)}) {
        f = good;
        Poke32(f, 13, pos);
        EXPECT_FALSE(DecodeBytes(f)) << "section at " << pos;
    }
    for (size_t i = 0; i < 16; i++) {
        f = good;
        f[layout.sectionPos + i] ^= 0x01;
        EXPECT_FALSE(DecodeBytes(f)) << "start sentinel byte " << i;
        f = good;
        f[layout.endSentinel + i] ^= 0x80;
        EXPECT_FALSE(DecodeBytes(f)) << "end sentinel byte " << i << ", bitmap entry intact";
    }
    for (uint32_t body : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFF0u}) {
        f = good;
        Poke32(f, layout.sectionPos + 16, body);
        EXPECT_FALSE(DecodeBytes(f)) << "body size " << body;
    }
    // Bitmap entries pointing anywhere, or announcing any size.
    const size_t entry = layout.entryCount + 1 + 9;   // header data first, then the bitmap
    ASSERT_EQ(2, f[entry]);
    for (uint32_t start :
         {0u, 0x80000000u, 0xFFFFFFFFu, 0x7FFFFFFFu, uint32_t(good.size() - 45), uint32_t(good.size())}) {
        f = good;
        Poke32(f, entry + 1, start);
        std::unique_ptr<PreviewDib> d = DecodeBytes(f);
        EXPECT_TRUE(!d || IsWellFormed(*d)) << "start " << start;
    }
    for (uint32_t size : {0u, 1u, 44u, 45u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu,
                          uint32_t(good.size() - layout.imageStart + 1)}) {
        f = good;
        Poke32(f, entry + 5, size);
        EXPECT_FALSE(DecodeBytes(f)) << "size " << size;
    }
}

TEST(PreviewHostile, OnlyDrawingVersionsFrom19To33HaveThumbnails)
{
    std::vector<uint8_t> dib = DrawingGenerator::MakeDib(Spec(8, 8, 8));
    for (const char* magic : {"DX1009", "DX1011", "QM0.0", "DX1.2", "", "DX1016"})
        EXPECT_FALSE(DecodeBytes(DrawingWithDib(dib, magic))) << magic;
    for (const char* magic : {"DX1012", "DX1013", "DX1015", "DX1024", "DX1032"})
        EXPECT_TRUE(DecodeBytes(DrawingWithDib(dib, magic))) << magic;
    std::vector<uint8_t> f = DrawingWithDib(dib, "DX1032");
    f[6] = 'Z';   // seven characters without a NUL match nothing
    EXPECT_FALSE(DecodeBytes(f));
}

TEST(PreviewHostile, InfoHeaderFieldsOutOfRange)
{
    const std::vector<uint8_t> bmp = DrawingGenerator::MakeBmp(Spec(16, 8, 8));
    ASSERT_TRUE(DecodeBytes(bmp));
    struct Field {
        size_t at;
        uint32_t value;
        int bytes;
        const char* what;
    };
    const Field bad[] = {
        {14, 64, 4, "header size 64"},     {14, 108, 4, "header size 108"}, {14, 0, 4, "header size 0"},
        {18, 0, 4, "width 0"},             {18, 0xFFFFFFF0, 4, "negative width"},
        {18, 0x7FFFFFFF, 4, "huge width"}, {18, 65537, 4, "width over the limit"},
        {22, 0, 4, "height 0"},            {22, 0x80000000, 4, "most negative height"},
        {22, 0x7FFFFFFF, 4, "huge height"}, {28, 16, 2, "16 bits"},          {28, 2, 2, "2 bits"},
        {28, 0, 2, "0 bits"},              {28, 0xFFFF, 2, "65535 bits"},    {30, 3, 4, "bit fields"},
        {30, 4, 4, "compression 4"},       {30, 2, 4, "RLE4 at 8 bits"},    {30, 0xFFFFFFFF, 4, "compression -1"},
        {46, 257, 4, "257 colours"},       {46, 0xFFFFFFFF, 4, "colours -1"},
        {10, 0xFFFFFFFF, 4, "pixels past the end"}, {10, uint32_t(bmp.size()), 4, "pixels at the end"},
    };
    for (const Field& f : bad) {
        std::vector<uint8_t> b = bmp;
        if (f.bytes == 4)
            Poke32(b, f.at, f.value);
        else
            Poke16(b, f.at, f.value);
        EXPECT_FALSE(DecodeBytes(b)) << f.what;
    }
    // 8 bits, 4096 x 4096: the size fits the limit but the rows are not in the file.
    std::vector<uint8_t> b = bmp;
    Poke32(b, 18, 4096);
    Poke32(b, 22, 4096);
    EXPECT_FALSE(DecodeBytes(b));
    // Area over the limit although each side is allowed: rejected before any allocation.
    Poke32(b, 18, 65536);
    Poke32(b, 22, 65536);
    EXPECT_FALSE(DecodeBytes(b));
}

TEST(PreviewHostile, DepthsAndVariantsThatGiveNoThumbnail)
{
    PictureSpec s16 = Spec(10, 10, 16);
    EXPECT_FALSE(DecodeBytes(DrawingGenerator::MakeBmp(s16))) << "16 bits";
    s16.compression = 3;
    EXPECT_FALSE(DecodeBytes(DrawingGenerator::MakeBmp(s16))) << "16-bit bit fields";
    PictureSpec s32 = Spec(10, 10, 32, 3);
    EXPECT_FALSE(DecodeBytes(DrawingGenerator::MakeBmp(s32))) << "32-bit bit fields";
    EXPECT_FALSE(DecodeBytes(DrawingWithDib(DrawingGenerator::MakeDib(Spec(10, 10, 16))))) << "16 bits in a drawing";
    // Run-length data stored top-down is not a valid DIB.
    std::vector<uint8_t> rle = DrawingGenerator::MakeBmp(Spec(10, 10, 8, 1));
    Poke32(rle, 22, static_cast<uint32_t>(-10));
    EXPECT_FALSE(DecodeBytes(rle));
}

TEST(PreviewHostile, BmpWithGapBeforeThePixelRows)
{
    PictureSpec spec = Spec(12, 5, 4);
    std::vector<uint8_t> bmp = DrawingGenerator::MakeBmp(spec);
    std::unique_ptr<PreviewDib> plain = DecodeBytes(bmp);
    ASSERT_TRUE(plain);
    const size_t pixels = 14 + 40 + 16 * 4;
    bmp.insert(bmp.begin() + pixels, 10, 0xEE);
    Poke32(bmp, 10, static_cast<uint32_t>(pixels + 10));
    EXPECT_EQ(Bytes(plain), Bytes(DecodeBytes(bmp)));
}

TEST(PreviewHostile, EightBitRowsMayLackTheLastPadding)
{
    std::vector<uint8_t> bmp = DrawingGenerator::MakeBmp(Spec(13, 4, 8));
    std::unique_ptr<PreviewDib> whole = DecodeBytes(bmp);
    ASSERT_TRUE(whole);
    std::vector<uint8_t> cut(bmp.begin(), bmp.end() - 3);
    std::unique_ptr<PreviewDib> unpadded = DecodeBytes(cut);
    ASSERT_TRUE(unpadded);
    EXPECT_EQ(Bytes(whole), Bytes(unpadded));
    cut.pop_back();
    EXPECT_FALSE(DecodeBytes(cut)) << "a pixel of the last row is missing";
}

TEST(PreviewHostile, RunsAreCheckedAgainstTheRowAndTheImage)
{
    // A run longer than the row stops at its end, it does not spill into the next row.
    std::unique_ptr<PreviewDib> d = DecodeBytes(DrawingWithDib(RleDib(5, 2, {200, 1, 0, 0, 2, 3, 0, 1})));
    ASSERT_TRUE(d);
    EXPECT_EQ((std::vector<uint8_t>{1, 1, 1, 1, 1}), Row(*d, 0));
    EXPECT_EQ((std::vector<uint8_t>{3, 3, 0, 0, 0}), Row(*d, 1));
    EXPECT_EQ(0, d->Bits()[5]) << "row padding stays zero";

    // Literal values past the row are dropped the same way; the input stays aligned.
    d = DecodeBytes(DrawingWithDib(RleDib(3, 2, {0, 5, 1, 2, 3, 2, 1, 0, 0, 0, 1, 3})));
    ASSERT_TRUE(d);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), Row(*d, 0));
    EXPECT_EQ((std::vector<uint8_t>{3, 0, 0}), Row(*d, 1));

    // Moves past the right edge or the top end the picture safely; skipped pixels are index 0.
    d = DecodeBytes(DrawingWithDib(RleDib(4, 3, {0, 2, 2, 1, 2, 3, 0, 2, 255, 255, 4, 1, 0, 1})));
    ASSERT_TRUE(d);
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 0}), Row(*d, 0));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 3, 3}), Row(*d, 1));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 0}), Row(*d, 2));

    // End of line at a row start does not skip a row; end of bitmap stops.
    d = DecodeBytes(DrawingWithDib(RleDib(2, 3, {0, 0, 2, 1, 0, 0, 0, 1, 2, 2})));
    ASSERT_TRUE(d);
    EXPECT_EQ((std::vector<uint8_t>{1, 1}), Row(*d, 0));
    EXPECT_EQ((std::vector<uint8_t>{0, 0}), Row(*d, 1));

    // A literal run announced longer than the data: what is there is copied, nothing more is read.
    d = DecodeBytes(DrawingWithDib(RleDib(8, 1, {0, 200, 1, 2, 3})));
    ASSERT_TRUE(d);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 0, 0, 0, 0, 0}), Row(*d, 0));
    // A move cut off by the end of the data.
    ASSERT_TRUE(DecodeBytes(DrawingWithDib(RleDib(8, 1, {2, 1, 0, 2, 5}))));

    // The header's image size limits the input even when more bytes follow.
    d = DecodeBytes(DrawingWithDib(RleDib(4, 1, {2, 1, 2, 2, 0, 1}, 2)));
    ASSERT_TRUE(d);
    EXPECT_EQ((std::vector<uint8_t>{1, 1, 0, 0}), Row(*d, 0));

    // A long stream of runs for a tiny image: decoding ends when the image is full.
    std::vector<uint8_t> flood;
    for (int i = 0; i < 20000; i++) {
        flood.push_back(255);
        flood.push_back(2);
        flood.push_back(0);
        flood.push_back(0);
    }
    d = DecodeBytes(DrawingWithDib(RleDib(3, 2, flood)));
    ASSERT_TRUE(d);
    EXPECT_EQ((std::vector<uint8_t>{2, 2, 2}), Row(*d, 1));
}

TEST(PreviewHostile, FourBitRunsAlternateNibbles)
{
    PictureSpec s = Spec(7, 2, 4);
    s.colorsUsed = 16;
    std::vector<uint8_t> dib = DrawingGenerator::MakeDib(s);
    dib.resize(40 + 64);
    Poke32(dib, 16, 2);
    const std::vector<uint8_t> runs = {5, 0x12, 0, 0, 0, 3, 0xAB, 0xC0, 9, 0xFF, 0, 1};
    Poke32(dib, 20, static_cast<uint32_t>(runs.size()));
    dib.insert(dib.end(), runs.begin(), runs.end());
    std::unique_ptr<PreviewDib> d = DecodeBytes(DrawingWithDib(dib));
    ASSERT_TRUE(d);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 1, 2, 1, 0, 0}), Row(*d, 0));
    EXPECT_EQ((std::vector<uint8_t>{10, 11, 12, 15, 15, 15, 15}), Row(*d, 1));
    EXPECT_EQ(16u, d->ColorCount());
}

TEST(PreviewHostile, ConvertersRefuseShortOrForeignInput)
{
    PreviewCore::SourceDib src;
    src.header.width = 100;
    src.header.height = 100;
    src.header.bitCount = 24;
    std::vector<uint8_t> bits(100);
    src.bits = bits.data();
    src.bitsSize = bits.size();
    EXPECT_FALSE(PreviewCore::ConvertTo8Bit(src)) << "rows missing";
    src.header.bitCount = 8;
    EXPECT_FALSE(PreviewCore::ConvertTo8Bit(src)) << "8 bits is not converted";
    EXPECT_FALSE(PreviewCore::Copy8Bit(src)) << "rows missing";
    src.header.bitCount = 16;
    bits.assign(100 * 200, 0);
    src.bits = bits.data();
    src.bitsSize = bits.size();
    EXPECT_FALSE(PreviewCore::ConvertTo8Bit(src));
    src.header.compression = 5;
    EXPECT_FALSE(PreviewCore::DecodeRle(src));
    src.bits = nullptr;
    src.header.bitCount = 24;
    src.header.compression = 0;
    EXPECT_FALSE(PreviewCore::ConvertTo8Bit(src));
}

TEST(PreviewHostile, BytesAfterThePictureChangeNothing)
{
    for (const PictureSpec& spec : {Spec(30, 10, 24), Spec(30, 10, 8, 1), Spec(30, 10, 4, 2)}) {
        std::vector<uint8_t> bmp = DrawingGenerator::MakeBmp(spec);
        std::vector<uint8_t> whole = Bytes(DecodeBytes(bmp));
        ASSERT_FALSE(whole.empty());
        bmp.resize(bmp.size() + (1u << 20), 0x5A);
        EXPECT_EQ(whole, Bytes(DecodeBytes(bmp))) << spec.bitCount << " bits";
    }
}
