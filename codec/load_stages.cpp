// The load-time pixel stages, run band by band so that each band stays in the cache from one
// stage to the next.
#include "codec/load_stages.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <new>

#include "codec/adjust_rows.h"
#include "codec/buffer.h"
#include "codec/load_analysis.h"
#include "codec/split_work.h"
#include "codec/vector_clones.h"

namespace qx {

namespace {

// Bands of rows small enough to stay in the cache from one step to the next.
constexpr int kBandRows = 16;
// Pictures from this many pixels on share the steps with a second thread.
constexpr int64_t kSplitFromPixels = 256 * 1024;

// What one thread keeps from band to band: the smoothing's rows, and the original bytes of the
// last row of the band before, which the colour adjustment has overwritten since.
struct Lane {
    SmoothingRows smoothing;
    Buffer<uint8_t> lastRow;
};

}  // namespace

bool PrepareLoadedPicture(uint8_t* picture, int width, int length, CodecParameters& params,
                          HelperThread* helper) {
    std::array<PictureSums, 2> sums;
    const auto finish = [&] {
        sums[0].add(sums[1]);
        ResetReaderFields(params);
        FinishAnalysis(sums[0], width, length, params);
    };
    if (width <= 0 || length <= 0) {
        finish();
        return true;
    }
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    const bool split = int64_t{width} * length >= kSplitFromPixels;
    const bool wide = ProcessorRunsWide();
    const int grain = ShareOutGrain(0, length, kBandRows);
    const int pieces = (length + grain - 1) / grain;
    // Each piece is smoothed in place while its neighbours may be too, so the rows on both sides
    // of every boundary between pieces are kept as they were: first the row above the boundary,
    // then the row below it.
    Buffer<uint8_t> edges;
    std::array<Lane, 2> lanes;
    try {
        edges.resize(2 * static_cast<size_t>(pieces - 1) * rowBytes);
        for (Lane& lane : lanes) lane.lastRow.resize(rowBytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int b = 1; b < pieces; ++b) {
        const uint8_t* at = picture + static_cast<size_t>(b * grain - 1) * rowBytes;
        std::memcpy(edges.data() + 2 * static_cast<size_t>(b - 1) * rowBytes, at, 2 * rowBytes);
    }
    const auto edge = [&](int b, int side) {
        return edges.data() + (2 * static_cast<size_t>(b - 1) + side) * rowBytes;
    };
    // Every step works on rows independently, so the pieces go to two threads.
    const bool done = ShareOutPieces(
        split ? helper : nullptr, 0, length, grain, [&](int lane, int begin, int end) {
            Lane& own = lanes[static_cast<size_t>(lane)];
            const int piece = begin / grain;
            const uint8_t* above = piece > 0 ? edge(piece, 0) : nullptr;
            const uint8_t* below = piece + 1 < pieces ? edge(piece + 1, 1) : nullptr;
            for (int y = begin; y < end; y += kBandRows) {
                const int stop = std::min(end, y + kBandRows);
                // A later band of this piece is still as it was.
                const uint8_t* next = stop < end ? picture + stop * rowBytes : below;
                const uint8_t* last = SmoothBusyRowsInPlace(picture, width, length, y, stop, above,
                                                            next, own.smoothing);
                if (stop < end) {
                    std::memcpy(own.lastRow.data(), last, rowBytes);
                    above = own.lastRow.data();
                }
                AdjustAndSumRows(picture, width, y, stop, sums[static_cast<size_t>(lane)], wide);
            }
        });
    if (!done) return false;
    finish();
    return true;
}

}  // namespace qx
