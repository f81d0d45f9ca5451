// The load-time pixel stages, run band by band so that each band stays in the cache from one
// stage to the next.
#include "codec/load_stages.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "codec/adjust_rows.h"
#include "codec/load_analysis.h"
#include "codec/split_work.h"
#include "codec/vector_clones.h"

namespace qx {

namespace {

// Bands of rows small enough to stay in the cache from one step to the next.
constexpr int kBandRows = 16;
// Pictures from this many pixels on share the steps with a second thread.
constexpr int64_t kSplitFromPixels = 256 * 1024;

}  // namespace

bool PrepareLoadedPicture(const uint8_t* loaded, uint8_t* picture, int width, int length,
                          CodecParameters& params, HelperThread* helper) {
    std::array<PictureSums, 2> sums;
    const bool split = int64_t{width} * length >= kSplitFromPixels;
    const bool wide = ProcessorRunsWide();
    // Every step works on rows independently, so the two halves go to two threads.
    const bool done =
        ShareOut(split ? helper : nullptr, 0, length, kBandRows, [&](int lane, int begin, int end) {
            for (int y = begin; y < end; y += kBandRows) {
                const int stop = std::min(end, y + kBandRows);
                SmoothBusyRows(loaded, picture, width, length, y, stop);
                AdjustAndSumRows(picture, width, y, stop, sums[lane], wide);
            }
        });
    if (!done) return false;
    sums[0].add(sums[1]);
    ResetReaderFields(params);
    FinishAnalysis(sums[0], width, length, params);
    return true;
}

}  // namespace qx
