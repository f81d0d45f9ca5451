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

void Decode(qx::PngReader& reader) {
    if (reader.width() < 1 || reader.height() < 1 || reader.width() > static_cast<int>(kMaxSide) ||
        reader.height() > static_cast<int>(kMaxSide))
        std::abort();  // an accepted header always lies within the limits
    std::vector<uint8_t> rgb(static_cast<size_t>(reader.width()) * reader.height() * 3);
    (void)reader.decodeRgb(rgb);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        qx::PngReader reader(kMaxSide);
        if (reader.readHeader({data, size})) Decode(reader);
    }
    qx::FileHandle file(memfd_create("png-fuzz", MFD_CLOEXEC));
    if (!file.isOpen() || !file.writeAll(data, size) || !file.seek(0)) std::abort();
    qx::PngReader reader(kMaxSide);
    if (reader.readHeader(file)) Decode(reader);
    return 0;
}
