// Where the preview reads its bytes from: a file on Windows, memory in tests and fuzzing.
#pragma once
#include <cstddef>
#include <cstdint>

class PreviewSource {
public:
    virtual ~PreviewSource() = default;
    // Length of the data in bytes.
    virtual uint64_t Size() const = 0;
    // Reads exactly n bytes at offset; false (dst unspecified) when they are not all there.
    virtual bool ReadAt(uint64_t offset, void* dst, size_t n) = 0;
};
