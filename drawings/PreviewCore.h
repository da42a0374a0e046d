// Reads the thumbnail of a drawing (or a plain BMP file) into one 8-bit device-independent bitmap with its
// palette, expanding run-length data and converting other depths. Trusts no byte of the file: every read
// goes through a bounded reader, header variants are whitelisted and every size is range-checked first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "PreviewDib.h"
#include "PreviewSource.h"

class PreviewCore {
public:
    // Room of the image-data directory; a directory announcing more entries is not a thumbnail we read.
    static constexpr int kMaxEntries = 5;
    static constexpr uint8_t kBitmapEntry = 2;

    // A DIB as it stands in the file: header, colour table (zeroed past colorCount) and the pixel or run bytes.
    struct SourceDib {
        DibInfoHeader header;
        DibColor colors[PreviewDib::kMaxColors];
        uint32_t colorCount = 0;
        const uint8_t* bits = nullptr;
        size_t bitsSize = 0;
    };

    PreviewCore() = default;
    virtual ~PreviewCore() = default;
    PreviewCore(const PreviewCore&) = delete;
    PreviewCore& operator=(const PreviewCore&) = delete;

    // The thumbnail of a file, or null. The file is open only during the call.
    std::unique_ptr<PreviewDib> ReadThumbnail(const std::wstring& path);
    std::unique_ptr<PreviewDib> ReadThumbnail(std::unique_ptr<PreviewSource> source);
    // Finds the bitmap of a BMP file or of a drawing's image-data section; keeps the source open on success.
    bool LocateImage(const std::wstring& path);
    bool LocateImage(std::unique_ptr<PreviewSource> source);
    // Reads the located bitmap.
    std::unique_ptr<PreviewDib> ReadDib();

    // Expands 8-bit (compression 1) or 4-bit (compression 2) run-length data into 8 bits per pixel.
    static std::unique_ptr<PreviewDib> DecodeRle(const SourceDib& dib);
    // Turns 1-, 4-, 24- and 32-bit pixels into 8-bit indices.
    static std::unique_ptr<PreviewDib> ConvertTo8Bit(const SourceDib& dib);
    // Uncompressed 8-bit rows as they are.
    static std::unique_ptr<PreviewDib> Copy8Bit(const SourceDib& dib);
    // The fixed 6 x 8 x 5 colour cube, entries 240 to 255 white.
    static void FillCubePalette(DibColor colors[PreviewDib::kMaxColors]);
    // Palette index of a pixel at (column, stored row) after ordered dithering.
    static uint8_t DitherIndex(uint8_t red, uint8_t green, uint8_t blue, uint32_t x, uint32_t row);

    // The located image: start of the info header, its size in bytes, and the absolute position of the pixel
    // rows (0 when they follow the colour table).
    int64_t m_imageStart = 0;
    int64_t m_imageSize = 0;
    int64_t m_pixelPos = 0;

private:
    bool LocateBmp();
    bool LocateDrawing();
    void Close();

    std::unique_ptr<PreviewSource> m_source;
};
