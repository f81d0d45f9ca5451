#include "codec/threshold_schedule.h"

#include <algorithm>

namespace qx {

int BuildThresholdList(const CoefficientTables& tables, int t, int component, ThresholdList& list) {
    int32_t P = tables.MaxThresholds[component * kTreesPerComponent + t];
    if (tables.ThresholdScaleFlags & (1 << component)) P <<= 2;
    int32_t lo = 16;
    int32_t hi = 16;
    if (component == 0) {
        lo = std::max<int32_t>(tables.BlockMeans[t], 8);
        hi = tables.BlockMeans[kTreesPerComponent + t];
    }
    if (lo > P) return 0;

    int n = 0;
    int32_t Q = 131072;
    while (Q > P && Q > 1) Q >>= 1;
    if (Q + Q / 2 <= P) list[n++] = 2 * Q;
    int32_t X = Q + (Q >> 1);
    // Halving while the value stays well above the level-2 mean.
    while (hi + 16 < X && X > 64 && n < kMaxThresholds) {
        if (3 * (X / 4) < hi) break;
        list[n++] = X;
        X /= 2;
    }
    // Alternating X, 3X/4 steps down to the level-2 mean.
    int32_t Y = static_cast<uint16_t>(X);
    while (hi + 8 <= X && n < kMaxThresholds) {
        if (Y != 0) {
            list[n++] = Y;
            Y = 0;
        } else {
            X /= 2;
            list[n++] = X;
            Y = static_cast<uint16_t>((X + (X >> 1)) >> 1);
        }
    }
    if (n > 0 && list[n - 1] > hi && n < kMaxThresholds) list[n++] = hi;
    if (hi - lo > 6 && n < kMaxThresholds) list[n++] = lo;
    if (n >= 2 && (list[n - 1] <= 8 || list[n - 1] >= list[n - 2])) --n;
    return n;
}

int ApplyThresholdFloor(const CodecParameters& params, const CoefficientTables& tables, int t,
                        ThresholdList& list, int n, int component) {
    // A damaged file's quality never indexes outside the table.
    const int index = std::clamp(params.QualityBase - params.Quality - 1, 0, 9);
    int32_t F = params.FloorTable[index];
    if (component == 0) {
        const int32_t b = tables.BlockMeans[kTreesPerComponent + t];
        if (b < F) F = (b < F - 4) ? F - 2 : F - 10;
    }
    if (F < 1) F = 1;
    if (list[0] <= F) {
        const int32_t first = list[0];
        list[1] = (first * 3) >> 2;
        list[2] = first >> 1;
        return 3;
    }
    for (int i = 1; i < n; ++i) {
        if (list[i] < F) {
            list[i] = F;
            return i + 1;
        }
    }
    return n;
}

int ChooseSkipDepth(const CoefficientTables& tables, int t, int32_t T, int n, int component) {
    if (component == 0) {
        const int32_t p0 = tables.BlockPeaks[t];
        const int32_t p1 = tables.BlockPeaks[kTreesPerComponent + t];
        if (p0 < T && p1 < T) return 2;
        if (p0 <= T) return 1;
        return 0;
    }
    return (T >= 256 && n > 4) ? 2 : 1;
}

}  // namespace qx
