// Size limits of preview images. A thumbnail is small; these bounds only keep hostile headers from making the
// decoder allocate or loop without end, and keep every size product far from overflow.
#pragma once
#include <cstdint>

namespace PreviewLimits {
// Widest and tallest image accepted, in pixels.
constexpr int32_t kMaxSide = 65536;
// Largest 8-bit result in bytes.
constexpr uint64_t kMaxOutputBytes = 64ull << 20;

// Validates a width and a (signed) height and gives the 8-bit result's pixel bytes.
inline bool OutputSize(int32_t width, int32_t height, uint64_t& bytes)
{
    if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide)
        return false;
    uint64_t rows = height < 0 ? uint64_t(-int64_t(height)) : uint64_t(height);
    bytes = ((uint64_t(width) + 3) & ~uint64_t(3)) * rows;
    return bytes <= kMaxOutputBytes;
}
}
