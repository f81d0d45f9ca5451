// How a tree's threshold list is derived. The encoder and the decoder run the same arithmetic on
// the stored side tables, so every step here, odd ones included, is part of the file format.
#include "codec/threshold_schedule.h"

#include <algorithm>

namespace qx {

namespace {

// The largest power of two a threshold may start from; larger peaks are refused by the encoder.
constexpr int32_t kTopPowerOfTwo = 131072;
// lo and hi of the colour components, which have no block means.
constexpr int32_t kChromaFloor = 16;
// The smallest level-1 mean that lo takes for component 0.
constexpr int32_t kLumaFloor = 8;

}  // namespace

int BuildThresholdList(const CoefficientTables& tables, int t, int component, ThresholdList& list) {
    // P: the tree's peak magnitude as stored, scaled back by 4 when the component's flag says the
    // stored values were divided by 4 to fit 16 bits.
    int32_t P = tables.MaxThresholds[component * kTreesPerComponent + t];
    if (tables.ThresholdScaleFlags & (1 << component)) P <<= 2;
    // lo and hi: where the list ends. For component 0 they are the tree's level-1 mean (at least
    // 8) and its level-2 mean; the colour components use 16 for both.
    int32_t lo = kChromaFloor;
    int32_t hi = kChromaFloor;
    if (component == 0) {
        lo = std::max<int32_t>(tables.BlockMeans[t], kLumaFloor);
        hi = tables.BlockMeans[kTreesPerComponent + t];
    }
    if (lo > P) return 0;

    int n = 0;
    // Q: the largest power of two not above P. 2Q opens the list when P lies in its upper half.
    int32_t Q = kTopPowerOfTwo;
    while (Q > P && Q > 1) Q >>= 1;
    if (Q + Q / 2 <= P) list[n++] = 2 * Q;
    // X: the running threshold, from 3Q/2 down.
    int32_t X = Q + (Q >> 1);
    // Halving while the value stays well above the level-2 mean.
    while (hi + 16 < X && X > 64 && n < kMaxThresholds) {
        if (3 * (X / 4) < hi) break;
        list[n++] = X;
        X /= 2;
    }
    // Alternating X, 3X/4 steps down to the level-2 mean. Y holds the pending in-between step
    // (0 when none). Both Y values keep only their low 16 bits: the lists were always built with
    // 16-bit intermediate values, and files written so decode only with the same truncation.
    // A truncation changes a value only from 65536 on, which the halving above leaves only for
    // trees whose level-2 mean is close to their peak.
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
    // The list ends with hi, then lo when the two means lie apart, and never with a step of 8
    // or less or one that does not go down.
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
