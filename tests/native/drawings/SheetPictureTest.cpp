// The sheet pictures of generated drawings: they must read as drawings in the Files page preview (a frame, a
// title block, parts in lines and circles on plain paper), whatever the depth and compression the file uses.
#include <gtest/gtest.h>

#include <string>

#include "PreviewTestUtil.h"

namespace {
using Ink = DrawingGenerator::Ink;

PictureSpec Sheet(int w, int h, uint16_t bpp, uint32_t seed)
{
    PictureSpec s;
    s.width = w;
    s.height = h;
    s.bitCount = bpp;
    s.compression = bpp == 8 ? 1 : 0;
    s.seed = seed;
    s.sheet = true;
    return s;
}

struct Size {
    int width, height;
};
const Size kSizes[] = {{160, 120}, {96, 72}, {48, 36}, {200, 90}};
}

TEST(SheetPicture, HasAFrameATitleBlockAndPartsOnPlainPaper)
{
    for (const Size& size : kSizes)
        for (uint32_t seed : {1u, 2u, 3u, 10u}) {
            PictureSpec s = Sheet(size.width, size.height, 8, seed);
            std::string what = std::to_string(size.width) + "x" + std::to_string(size.height) + " seed " +
                               std::to_string(seed);
            const int m = std::max(2, std::min(size.width, size.height) / 24);
            // The frame is closed all round; outside it is paper.
            for (int x = m; x < size.width - m; ++x) {
                ASSERT_EQ(DrawingGenerator::SheetInk(s, x, m), Ink::Line) << what << " top at " << x;
                ASSERT_EQ(DrawingGenerator::SheetInk(s, x, size.height - 1 - m), Ink::Line) << what;
            }
            for (int y = m; y < size.height - m; ++y) {
                ASSERT_EQ(DrawingGenerator::SheetInk(s, m, y), Ink::Line) << what << " left at " << y;
                ASSERT_EQ(DrawingGenerator::SheetInk(s, size.width - 1 - m, y), Ink::Line) << what;
            }
            EXPECT_EQ(DrawingGenerator::SheetInk(s, 0, 0), Ink::Paper) << what;
            // Mostly paper, some lines, some centre lines and lettering: a drawing, not noise.
            int counts[4] = {};
            for (int y = 0; y < size.height; ++y)
                for (int x = 0; x < size.width; ++x)
                    ++counts[static_cast<int>(DrawingGenerator::SheetInk(s, x, y))];
            double pixels = size.width * size.height;
            EXPECT_GT(counts[0] / pixels, 0.6) << what;
            EXPECT_GT(counts[1] / pixels, 0.05) << what;
            EXPECT_GT(counts[2], 0) << what << ": no centre lines";
            EXPECT_GT(counts[3], 0) << what << ": no lettering in the title block";
        }
}

TEST(SheetPicture, RunLengthFilesAreSmallAndDecodeToThePicture)
{
    for (const Size& size : kSizes) {
        PictureSpec s = Sheet(size.width, size.height, 8, 4);
        std::vector<uint8_t> dib = DrawingGenerator::MakeDib(s);
        // Long runs of paper: far smaller than the pixels themselves (at thumbnail sizes).
        if (size.width >= 96)
            EXPECT_LT(dib.size(), 40u + 256u * 4u + static_cast<size_t>(size.width * size.height) / 3)
                << size.width;
        std::unique_ptr<PreviewDib> decoded = DecodeBytes(DrawingWithDib(dib));
        ASSERT_TRUE(decoded) << size.width;
        ASSERT_EQ(decoded->Header().width, size.width);
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                const uint8_t* row = decoded->Bits() + decoded->Stride() * static_cast<size_t>(size.height - 1 - y);
                ASSERT_EQ(row[x], DrawingGenerator::PatternIndex(s, x, y)) << x << "," << y;
            }
        EXPECT_EQ(DrawingGenerator::TableColor(s, 0), (DrawingGenerator::Rgb{250, 250, 244}));
    }
}

TEST(SheetPicture, OneBitSheetsShowWhitePaperAndBlackLines)
{
    PictureSpec s = Sheet(96, 72, 1, 2);
    std::unique_ptr<PreviewDib> decoded = DecodeBytes(DrawingWithDib(DrawingGenerator::MakeDib(s)));
    ASSERT_TRUE(decoded);
    const uint8_t* top = decoded->Bits() + decoded->Stride() * 71;
    EXPECT_EQ(top[0], 255) << "paper is white";
    const int m = 3;
    const uint8_t* frameRow = decoded->Bits() + decoded->Stride() * static_cast<size_t>(71 - m);
    EXPECT_EQ(frameRow[40], 0) << "the frame is black";
}
