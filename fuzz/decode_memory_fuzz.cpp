// Feeds arbitrary bytes to the decode-from-memory entry that the picture-loader plugins share,
// and to its size query, and checks that what they report fits together.
//
// Seed corpus: fuzz/make-seed-corpus DIR, then run  decode_memory_fuzz DIR.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "container/decode_memory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const qx::MemoryDecodeResult result = qx::DecodeCompressedMemory(bytes);
    const qx::CompressedSize header = qx::QueryCompressedSize(bytes, static_cast<int64_t>(size));
    if (result.status == qx::MemoryDecodeStatus::Ok) {
        const qx::RestoredRgb& picture = result.picture;
        if (picture.width < 1 || picture.width > 1024 || picture.length < 1 ||
            picture.length > 1024 ||
            picture.rgb.size() != size_t{3} * picture.width * picture.length ||
            header.status != qx::MemoryDecodeStatus::Ok) {
            std::abort();
        }
    } else if (result.message.empty()) {
        std::abort();  // every failure carries the text for people
    }
    return 0;
}
