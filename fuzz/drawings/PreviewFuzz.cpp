// The thumbnail reader on whole files, drawings or BMP files alike: whatever comes back is one consistent
// buffer, and nothing outside the buffers is touched.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "PreviewCore.h"
#include "PreviewMemorySource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PreviewCore core;
    std::unique_ptr<PreviewDib> dib = core.ReadThumbnail(std::make_unique<PreviewMemorySource>(data, size));
    if (!dib)
        return 0;
    const DibInfoHeader& h = dib->Header();
    if (h.size != 40 || h.bitCount != 8 || h.compression != 0 || h.width <= 0 || h.height == 0 ||
        dib->ColorCount() > 256 || dib->Size() != 40 + dib->ColorCount() * 4 + dib->Stride() * dib->Rows())
        std::abort();
    // Touch every pixel so that a short buffer shows.
    unsigned sum = 0;
    for (size_t i = 0; i < dib->BitsSize(); i += 61)
        sum += dib->Bits()[i];
    return static_cast<int>(sum & 0);
}
