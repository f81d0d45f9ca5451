// Feeds arbitrary bytes to the TIFF reader, with an output buffer sized as the open command
// sizes it from the file length and a helper thread reading part of the strips, as the open
// command reads them. Seed corpus: the .tif files of tests/data/corpus.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/file_handle.h"
#include "codec/codec.h"
#include "imageio/tiff_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The reader works on a file handle; an anonymous in-memory file avoids the disk.
    qx::FileHandle file(memfd_create("tiff-fuzz", MFD_CLOEXEC));
    if (!file.isOpen() || !file.writeAll(data, size)) std::abort();

    std::vector<uint8_t> output(2 * (4 * size / 3 + 131072));
    qx::CodecHooks hooks;  // silent, never declines
    static qx::HelperThread helper;
    int width = 0;
    int length = 0;
    const int16_t status =
        qx::ReadTiff("fuzz.tif", file, output.data(), output.size(), hooks, width, length, &helper);
    if (status == 0 && (width < qx::kMinPictureSide || width > qx::kMaxPictureSide ||
                        length < qx::kMinPictureSide || length > qx::kMaxPictureSide)) {
        std::abort();  // an accepted picture always lies within the limits
    }
    return 0;
}
