// Feeds arbitrary bytes to the PNG reader, from memory and streamed from a file, with the sides
// limited as a small picture would be so that every accepted header is also decoded. Seed
// corpus: PNG files (for example qx1 decompress -o x.png of the reference files).
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/file_handle.h"
#include "imageio/png_reader.h"

namespace {

constexpr uint32_t kMaxSide = 2048;

// The decoded picture, or nothing when the header or the picture is refused.
std::vector<uint8_t> Decode(qx::PngReader& reader) {
    if (reader.width() < 1 || reader.height() < 1 || reader.width() > static_cast<int>(kMaxSide) ||
        reader.height() > static_cast<int>(kMaxSide))
        std::abort();  // an accepted header always lies within the limits
    std::vector<uint8_t> rgb(static_cast<size_t>(reader.width()) * reader.height() * 3);
    if (!reader.decodeRgb(rgb)) rgb.clear();
    return rgb;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> fromMemory;
    {
        qx::PngReader reader(kMaxSide);
        if (reader.readHeader({data, size})) fromMemory = Decode(reader);
    }
    qx::FileHandle file(memfd_create("png-fuzz", MFD_CLOEXEC));
    if (!file.isOpen() || !file.writeAll(data, size) || !file.seek(0)) std::abort();
    qx::PngReader reader(kMaxSide);
    std::vector<uint8_t> fromFile;
    if (reader.readHeader(file)) fromFile = Decode(reader);
    // The file is read in blocks: what the decoder gets must be the bytes, whatever the blocks.
    if (fromFile != fromMemory) std::abort();
    return 0;
}
