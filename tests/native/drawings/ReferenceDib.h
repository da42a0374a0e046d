// An independent DIB decoder for the tests: straightforward, slow, and written from the file format alone,
// so the production decoder is checked against a second reading rather than against itself.
#pragma once
#include <cstdint>
#include <vector>

struct ReferenceImage {
    int width = 0;
    int height = 0;   // rows, always positive
    // Top row first.
    std::vector<uint8_t> index;   // palette index per pixel (depths of 8 bits or less)
    std::vector<uint8_t> rgb;     // red, green, blue per pixel
    bool ok = false;
};

// Decodes a DIB (info header, colours, pixels). Depths 1, 4, 8, 16 (5-5-5), 24 and 32; RLE8 and RLE4.
ReferenceImage DecodeReferenceDib(const std::vector<uint8_t>& dib);
// Decodes a BMP file through its file header.
ReferenceImage DecodeReferenceBmp(const std::vector<uint8_t>& bmp);
