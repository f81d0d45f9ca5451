// The pixel stages every loaded picture goes through before it can be compressed: smoothing
// into the picture block, colour pre-adjustment and analysis.
#pragma once

#include <cstdint>

#include "codec/codec.h"

namespace qx {

// Smooths the width x length RGB picture `loaded` into `picture` (a distinct block of at least
// width x length x 3 bytes), pre-adjusts its colours there, returns the reader-only parameters
// to their initial values and writes the analysis into params. Pictures from 256 K pixels on
// share the work with `helper` when there is one (the codec's: none when the caller already runs
// a codec per core). False when a stage could not run to its end.
[[nodiscard]] bool PrepareLoadedPicture(const uint8_t* loaded, uint8_t* picture, int width,
                                        int length, CodecParameters& params, HelperThread* helper);

}  // namespace qx
