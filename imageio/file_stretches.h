// Reading stretches of a file on two threads at once. For an uncompressed picture the copy out of
// the page cache, and the first touch of the block the bytes land in, are most of the load.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/file_handle.h"

namespace qx {

class HelperThread;

// size bytes at file offset `offset`, read into `to`.
struct FileStretch {
    int64_t offset;
    size_t size;
    uint8_t* to;
};

// Reads every stretch, in pieces that the calling thread and the helper (when there is one) take
// from either end. False when any piece came up short or failed; the others are read anyway.
[[nodiscard]] bool ReadStretches(const FileHandle& file, std::span<const FileStretch> stretches,
                                 HelperThread* helper);

}  // namespace qx
