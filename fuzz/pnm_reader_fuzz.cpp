// Feeds arbitrary bytes to the PNM reader as the loader uses it: the header, the length check
// against the bytes that follow, then the samples. Seed corpus: PPM files (for example djpeg
// -pnm of the corpus JPEGs, or qx1 decompress -o x.ppm).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "imageio/pnm_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    qx::PnmHeader header;
    if (qx::ParsePnmHeader(bytes, header) != qx::PnmStatus::Ok) return 0;
    if (header.rasterOffset > size || header.width < 1 || header.height < 1) std::abort();
    const std::span<const uint8_t> raster = bytes.subspan(header.rasterOffset);
    if (header.rasterBytes() > static_cast<int64_t>(raster.size())) return 0;
    std::vector<uint8_t> rgb(static_cast<size_t>(header.width) * header.height * 3);
    (void)qx::DecodePnm(header, raster, rgb);
    return 0;
}
