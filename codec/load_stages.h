// The pixel stages every loaded picture goes through before it can be compressed: smoothing,
// colour pre-adjustment and analysis, all in place.
#pragma once

#include <cstdint>

#include "codec/codec.h"

namespace qx {

// Smooths the width x length RGB picture in place, pre-adjusts its colours, returns the
// reader-only parameters to their initial values and writes the analysis into params. Pictures
// from 256 K pixels on share the work with `helper` when there is one (the codec's: none when the
// caller already runs a codec per core). False when a stage could not run to its end.
[[nodiscard]] bool PrepareLoadedPicture(uint8_t* picture, int width, int length,
                                        CodecParameters& params, HelperThread* helper);

}  // namespace qx
