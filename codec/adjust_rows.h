// The steps that follow the smoothing of each row: the colour pre-adjustment and the analysis sums
// of the adjusted pixels.
#pragma once

#include <cstdint>

#include "codec/load_analysis.h"

namespace qx {

// PreAdjustColours over rows begin ... end - 1 of a picture width pixels wide, then
// AddPictureSums of the same rows into sums. With wide (a processor that runs AVX-512 VBMI, see
// ProcessorRunsWide) both are done in one pass, 64 pixels at a time.
void AdjustAndSumRows(uint8_t* picture, int width, int begin, int end, PictureSums& sums,
                      bool wide);

}  // namespace qx
