// Test drawings and BMP files made from a few parameters: a version magic and maintenance byte, an optional
// thumbnail in any depth and compression, and an optional fault marker line for the simulated host.
// Portable: used by native tests, fuzz seeds, benchmarks and the MakeDrawing tool.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PictureSpec {
    int32_t width = 32;
    int32_t height = 24;
    uint16_t bitCount = 8;      // 1, 4, 8, 16, 24 or 32
    uint32_t compression = 0;   // 0 none, 1 RLE8 (8 bits), 2 RLE4 (4 bits), 3 bit fields (16 or 32 bits)
    bool coreHeader = false;    // the 12-byte header with 3-byte colour entries
    bool topDown = false;       // negative height, first stored row at the top
    uint32_t colorsUsed = 0;    // colour-table entries written; 0: all 2^bitCount
    uint32_t seed = 1;          // varies the picture and its colours
    // A drawing sheet as a thumbnail shows one (frame, title block, a flange, a shaft and a plate drawn with
    // lines and circles) instead of the pattern of bands, noise and runs.
    bool sheet = false;
};

struct DrawingSpec {
    std::string magic = "DX1032";    // at most 6 characters are stored
    uint8_t maintenance = 0;         // byte at offset 11
    std::vector<uint8_t> thumbnail;  // DIB (info header, colours, pixels); empty: no bitmap entry
    bool metafileEntry = false;      // add a metafile entry to the image-data directory
    bool hasFault = false;
    std::string faultText;           // written as the line "KESTFAULT=<text>\n" into the body
    size_t bodyBytes = 256;          // filler bytes after the image data
};

// Layout facts of generated drawings that tests use to damage them on purpose.
struct DrawingLayout {
    size_t sectionPos = 0;   // start sentinel
    size_t entryCount = 0;   // position of the entry count byte
    size_t endSentinel = 0;
    size_t imageStart = 0;   // the DIB, 0 when there is none
    size_t imageSize = 0;
    size_t faultLine = 0;    // 0 when there is none
};

class DrawingGenerator {
public:
    struct Rgb {
        uint8_t red, green, blue;
        bool operator==(const Rgb& o) const { return red == o.red && green == o.green && blue == o.blue; }
    };

    // A device-independent bitmap without file header.
    static std::vector<uint8_t> MakeDib(const PictureSpec& spec);
    // A BMP file: the 14-byte file header, then the DIB.
    static std::vector<uint8_t> MakeBmp(const PictureSpec& spec);
    // The DIB inside a BMP file (without the file header and any gap before the pixels); empty if not a BMP.
    static std::vector<uint8_t> BmpToDib(const std::vector<uint8_t>& bmp);
    static std::vector<uint8_t> MakeDrawing(const DrawingSpec& spec, DrawingLayout* layout = nullptr);

    // The picture as MakeDib paints it: palette index of pixel (x, y counted from the top), for depths of
    // 8 bits or less, and the colour of table entry i.
    static uint32_t PatternIndex(const PictureSpec& spec, int32_t x, int32_t y);
    static Rgb TableColor(const PictureSpec& spec, uint32_t index);
    // Colour of pixel (x, y from the top) for 16, 24 and 32 bits.
    static Rgb PatternColor(const PictureSpec& spec, int32_t x, int32_t y);
    // What a sheet picture has at pixel (x, y from the top): paper, or one of the inks.
    enum class Ink { Paper, Line, CentreLine, Lettering };
    static Ink SheetInk(const PictureSpec& spec, int32_t x, int32_t y);

    // Run-length encoding of rows of palette indices (bottom row first), with end-of-line and end-of-bitmap.
    static std::vector<uint8_t> EncodeRle8(const std::vector<std::vector<uint8_t>>& rows);
    static std::vector<uint8_t> EncodeRle4(const std::vector<std::vector<uint8_t>>& rows);

    static const uint8_t kStartSentinel[16];
};
