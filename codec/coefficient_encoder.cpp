// EncodeCoefficients: per component the wavelet transform, the low-band codes, the tree bounds,
// the block statistics of the luma, and every tree's significance passes.
#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "codec/bit_stream.h"
#include "codec/buffer.h"
#include "codec/codec.h"
#include "codec/coding_buffers.h"
#include "codec/low_band.h"
#include "codec/pixel_lanes_avx2.h"
#include "codec/significance_common.h"
#include "codec/split_work.h"
#include "codec/threshold_schedule.h"
#include "codec/vector_clones.h"

namespace qx {
namespace {

struct Band {
    int x = 0;
    int y = 0;
};

// Top-left corner of orientation d (0 HL, 1 LH, 2 HH) at `level` of a width x height plane.
Band BandOrigin(int d, int level, int width, int height) {
    return {d != 1 ? width >> level : 0, d != 0 ? height >> level : 0};
}

int CodeLowBand(Codec& codec, int component, int width) {
    const CoefficientTables& t = codec.tables;
    const int llw = t.LowBandWidth;
    const int llh = t.LowBandHeight;
    uint8_t* out = codec.tables.LowBandCodes.data() + component * llw * llh;
    for (int y = 0; y < llh; ++y) {
        for (int x = 0; x < llw; ++x) {
            const int32_t v = codec.CoefficientPlane[static_cast<size_t>(y) * width + x];
            if (v >= kLowBandLimit || v <= -kLowBandLimit) return kMainMemberTooLarge;
            *out++ = CodeLowBandValue(v);
        }
    }
    return kOk;
}

// The peak magnitude of a block; its coefficients are left split for the passes.
QX_VECTOR_CLONES int32_t BlockPeak(int32_t* plane, int stride, int x0, int y0, int side) {
    int32_t peak = 0;
    for (int y = 0; y < side; ++y) {
        int32_t* row = plane + static_cast<size_t>(y0 + y) * stride + x0;
        for (int x = 0; x < side; ++x) {
            const int32_t a = row[x] < 0 ? -row[x] : row[x];
            peak = std::max(peak, a);
            row[x] = SignedMagnitude(row[x], static_cast<uint32_t>(a));
        }
    }
    return peak;
}

// Peak magnitudes per tree, of the whole tree or of its levels from 3 up.
using TreePeaks = std::array<int32_t, kTreesPerComponent>;

// The bounds of the trees' thresholds. lowPeaks, when given, holds each tree's peak at levels 1
// and 2, which the block statistics have measured: those levels are most of a tree. The levels
// measured here are left split for the passes.
int ComputeMaxThresholds(Codec& codec, int component, int width, int levels, bool split,
                         const TreePeaks* lowPeaks) {
    CoefficientTables& t = codec.tables;
    const int trees = 3 * t.LowBandWidth * t.LowBandHeight;
    TreePeaks peaks;
    const int scanned = lowPeaks != nullptr ? levels - 2 : levels;  // levels from the top
    ShareOut(split ? codec.helper() : nullptr, 0, trees, 1, [&](int, int first, int last) {
        PassContext geometry;
        geometry.lowWidth = t.LowBandWidth;
        geometry.lowHeight = t.LowBandHeight;
        for (int tree = first; tree < last; ++tree) {
            geometry.setTree(tree);
            int32_t m = lowPeaks != nullptr ? (*lowPeaks)[tree] : 0;
            for (int k = 0; k < scanned; ++k)
                m = std::max(m, BlockPeak(codec.CoefficientPlane.data(), width, geometry.rootX << k,
                                          geometry.rootY << k, 1 << k));
            peaks[tree] = m;
        }
    });
    std::array<int32_t, kTreesPerComponent> bounds;
    bool scaled = false;
    for (int tree = 0; tree < trees; ++tree) {
        // The caller reports the status with its text, like every other status.
        if (peaks[tree] >= 131072) return kMaxThresholdErr;
        int32_t bound = 65536;
        while (bound > std::max(peaks[tree], 8)) bound >>= 1;
        bounds[tree] = bound;
        scaled = scaled || bound >= 32768;
    }
    // A component with a bound of 32768 or more keeps all its bounds divided by 4, so that
    // 65536 fits 16 bits.
    if (scaled) t.ThresholdScaleFlags |= static_cast<uint8_t>(1 << component);
    uint16_t* stored = t.MaxThresholds.data() + component * kTreesPerComponent;
    for (int tree = 0; tree < trees; ++tree)
        stored[tree] = static_cast<uint16_t>(scaled ? bounds[tree] >> 2 : bounds[tree]);
    return kOk;
}

// Counts, sums and squares (exact: at most 2^16 squares below 2^34 each) of the magnitudes of 8
// and more in a block, and its peak magnitude.
struct BlockSums {
    int64_t count = 0;
    int64_t sum = 0;
    int64_t squares = 0;
    int32_t peak = 0;
};

// Adds a side x side block, its rows stride apart, to the sums, and leaves each coefficient
// split for the passes (SignedMagnitude); with clearSmall, coefficients below 8 in magnitude become
// 0. One call a block, so that the vector sums are reduced once.
QX_VECTOR_CLONES void AddBlockToSums(int32_t* block, size_t stride, int side, bool clearSmall,
                                     BlockSums& sums) {
    int64_t count = 0;
    int64_t sum = 0;
    int64_t squares = 0;
    int32_t peak = sums.peak;
    for (int y = 0; y < side; ++y) {
        int32_t* row = block + y * stride;
        for (int x = 0; x < side; ++x) {
            const int32_t a = row[x] < 0 ? -row[x] : row[x];
            peak = std::max(peak, a);
            const bool large = a >= 8;
            count += large;
            sum += large ? a : 0;
            squares += large ? int64_t{a} * a : 0;
            row[x] = clearSmall && !large ? 0 : SignedMagnitude(row[x], static_cast<uint32_t>(a));
        }
    }
    sums.count += count;
    sums.sum += sum;
    sums.squares += squares;
    sums.peak = peak;
}

QX_AVX2 inline int64_t LaneSum64(__m256i v) {
    const __m128i two = _mm_add_epi64(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    return _mm_cvtsi128_si64(two) + _mm_extract_epi64(two, 1);
}

// AddBlockToSums for sides that are a multiple of 8, in explicit AVX2: the compiler's own loop
// widens every magnitude to 64 bits one lane at a time. Sums and squares are kept in 64-bit lanes,
// so they stay exact for any magnitude.
template <bool ClearSmall>
QX_AVX2 void AddBlockToSumsAvx2(int32_t* block, size_t stride, int side, BlockSums& sums) {
    const __m256i seven = _mm256_set1_epi32(7);
    __m256i peak = _mm256_set1_epi32(sums.peak);
    __m256i missed = _mm256_setzero_si256();  // -1 for every magnitude of 8 and more
    __m256i sum = _mm256_setzero_si256(), squares = sum;
    for (int y = 0; y < side; ++y) {
        int32_t* row = block + y * stride;
        // The rows lie a plane's row apart, a block's side of them, so the processor's own
        // prefetching does not keep up: the row a few ahead is asked for, and past the block's
        // last row the next one's first rows (the next tree's block lies to the right).
        constexpr int kAhead = 6;
        const int32_t* ahead =
            y + kAhead < side ? row + kAhead * stride : block + (y + kAhead - side) * stride + side;
        PrefetchRow(ahead, side);
        for (int x = 0; x < side; x += 8) {
            __m256i* at = reinterpret_cast<__m256i*>(row + x);
            const __m256i v = _mm256_loadu_si256(at);
            const __m256i a = _mm256_abs_epi32(v);
            peak = _mm256_max_epi32(peak, a);
            const __m256i large = _mm256_cmpgt_epi32(a, seven);
            missed = _mm256_add_epi32(missed, large);
            const __m256i kept = _mm256_and_si256(a, large);
            sum = _mm256_add_epi64(sum, _mm256_cvtepi32_epi64(_mm256_castsi256_si128(kept)));
            sum = _mm256_add_epi64(sum, _mm256_cvtepi32_epi64(_mm256_extracti128_si256(kept, 1)));
            squares = _mm256_add_epi64(squares, _mm256_mul_epi32(kept, kept));
            const __m256i odd = _mm256_srli_epi64(kept, 32);
            squares = _mm256_add_epi64(squares, _mm256_mul_epi32(odd, odd));
            // SignedMagnitude, eight at a time.
            const __m256i split =
                _mm256_or_si256(_mm256_slli_epi32(a, 1), _mm256_srli_epi32(v, 31));
            _mm256_storeu_si256(at, ClearSmall ? _mm256_and_si256(split, large) : split);
        }
    }
    const __m128i eight =
        _mm_max_epi32(_mm256_castsi256_si128(peak), _mm256_extracti128_si256(peak, 1));
    const __m128i four = _mm_max_epi32(eight, _mm_shuffle_epi32(eight, 0x4E));
    const __m128i one = _mm_max_epi32(four, _mm_shuffle_epi32(four, 0xB1));
    sums.peak = _mm_cvtsi128_si32(one);
    sums.count -= static_cast<int32_t>(avx2::LaneSum(missed));
    sums.sum += LaneSum64(sum);
    sums.squares += LaneSum64(squares);
}

// The passes read magnitudes and signs from the plane, in one value.
QX_VECTOR_CLONES void SplitSigns(int32_t* plane, size_t count) {
    for (size_t i = 0; i < count; ++i) plane[i] = SignedMagnitude(plane[i]);
}

// Statistics of tree t's block at level j + 1 (j = 0, 1); zeroes its HH coefficients below 8.
// Returns the block's peak magnitude.
int32_t BlockStatisticsOfTree(Codec& codec, int tree, int j, int width, int height, int levels) {
    CoefficientTables& t = codec.tables;
    const int llw = t.LowBandWidth;
    const int llh = t.LowBandHeight;
    const int d = tree / (llw * llh);
    const int by = tree % (llw * llh) / llw;
    const int bx = tree % llw;
    const int level = j + 1;
    const int side = 1 << (levels - level);
    const Band origin = BandOrigin(d, level, width, height);
    BlockSums sums;
    int32_t* block = codec.CoefficientPlane.data() +
                     static_cast<size_t>(origin.y + by * side) * width + origin.x + bx * side;
    const size_t stride = static_cast<size_t>(width);
    if (side % 8 == 0 && codec.wavelet.avx2Loops) {
        if (d == 2) {
            AddBlockToSumsAvx2<true>(block, stride, side, sums);
        } else {
            AddBlockToSumsAvx2<false>(block, stride, side, sums);
        }
    } else {
        AddBlockToSums(block, stride, side, d == 2, sums);
    }
    const int64_t count = sums.count;
    const int64_t sum = sums.sum;
    const double squares = static_cast<double>(sums.squares);  // below 2^53, so exact
    const int32_t peak = sums.peak;
    const int at = j * kTreesPerComponent + tree;
    int64_t mean = 0;
    uint16_t deviation = 0;
    if (count > 0) {
        mean = (2 * sum + count) / (2 * count);
        const double real = static_cast<double>(sum) / count;
        deviation = static_cast<uint16_t>(std::sqrt(squares / count - real * real + 0.5));
    }
    t.BlockMeans[at] = static_cast<uint16_t>(std::min<int64_t>(mean, 255));
    t.BlockPeaks[at] = static_cast<uint16_t>(std::min(peak, j == 0 ? 127 : 255));
    t.BlockDeviations[at] = deviation;
    return peak;
}

// Block statistics of the luma at levels 1 and 2, tree by tree (each tree owns its blocks); the
// peak magnitude of each tree's two blocks in peaks. The blocks' coefficients are left split for
// the passes. Clearing the small HH coefficients leaves every tree's threshold bound as it was:
// no bound goes below 8.
void ComputeBlockStatistics(Codec& codec, int width, int height, int levels, bool split,
                            TreePeaks& peaks) {
    const int trees = 3 * codec.tables.LowBandWidth * codec.tables.LowBandHeight;
    ShareOut(split ? codec.helper() : nullptr, 0, trees, 1, [&](int, int first, int last) {
        for (int tree = first; tree < last; ++tree) {
            peaks[tree] = 0;
            for (int j = 0; j < 2 && levels - j >= 1; ++j)
                peaks[tree] = std::max(
                    peaks[tree], BlockStatisticsOfTree(codec, tree, j, width, height, levels));
        }
    });
}

// Where a tree's bits start in the two side streams.
struct SideStart {
    uint64_t main = 0;
    uint64_t refine = 0;
};

int EncodeComponent(Codec& codec, int component, int width, int height) {
    CodecState& s = codec.state;
    CoefficientTables& t = codec.tables;
    const CodecParameters& params = codec.params;
    t.LevelOffset[component] = component == 0 ? 128 : 0;
    PrepareWaveletScratch(codec);
    const WaveletResult w =
        ForwardWavelet(s.PlaneBuffer.data() + s.PlaneOffset[component],
                       codec.CoefficientPlane.data(), width, height, params.MinBandSize,
                       t.LevelOffset[component], params.FirstLevelFilter, codec.wavelet);
    t.LevelCount[component] = static_cast<int16_t>(w.levels);
    t.LowBandWidth = static_cast<int16_t>(w.lowWidth);
    t.LowBandHeight = static_cast<int16_t>(w.lowHeight);
    t.LastLevelWidth = static_cast<int16_t>(w.lastWidth);
    t.LastLevelHeight = static_cast<int16_t>(w.lastHeight);
    const size_t count = static_cast<size_t>(width) * height;

    // The per-tree tables hold 1024 trees per component.
    if (w.lowWidth > 32 || w.lowHeight > 32 || 3 * w.lowWidth * w.lowHeight > kTreesPerComponent)
        return kLowBandTooLarge;
    if (int status = CodeLowBand(codec, component, width)) return status;
    const bool split = count >= static_cast<size_t>(kSplitFromSamples);
    TreePeaks lowPeaks;
    if (component == 0) ComputeBlockStatistics(codec, width, height, w.levels, split, lowPeaks);
    if (int status = ComputeMaxThresholds(codec, component, width, w.levels, split,
                                          component == 0 ? &lowPeaks : nullptr))
        return status;

    // The passes read every coefficient split: the block statistics and the threshold bounds have
    // split all but the low band's, which the passes never read.
    int32_t* plane = codec.CoefficientPlane.data();
    for (int y = 0; y < w.lowHeight; ++y)
        SplitSigns(plane + static_cast<size_t>(y) * width, static_cast<size_t>(w.lowWidth));

    PassContext base;
    base.plane = plane;
    base.width = width;
    base.levels = w.levels;
    base.component = component;
    base.lowWidth = w.lowWidth;
    base.lowHeight = w.lowHeight;
    base.main = &codec.MainCode;
    base.refine = &codec.RefineCode;
    const int trees = 3 * w.lowWidth * w.lowHeight;

    // Each tree owns its coefficients and its bits follow the previous tree's. Trees are handed
    // out one at a time from both ends, as their costs differ widely: this thread codes from the
    // front straight into the streams, the helper thread from the back into side streams, which
    // are then appended tree by tree in tree order.
    if (split) {
        for (auto [side, stream] : {std::pair{&codec.SideMainCode, &codec.MainCode},
                                    std::pair{&codec.SideRefineCode, &codec.RefineCode}}) {
            side->rewind();
            side->words[0] = 0;
            side->limit = stream->limit;
        }
    }
    // Where each tree coded on the side starts in the side streams; the lowest such tree.
    std::array<SideStart, kTreesPerComponent> sideStarts;
    int firstSideTree = trees;
    int statuses[2] = {kOk, kOk};
    PassContext lanes[2] = {base, base};
    lanes[1].main = &codec.SideMainCode;
    lanes[1].refine = &codec.SideRefineCode;
    const bool ran =
        ShareOutItems(split ? codec.helper() : nullptr, 0, trees, [&](int lane, int tree, int) {
            if (statuses[lane] != kOk) return;  // the stage fails anyway
            PassContext& p = lanes[lane];
            if (lane == 1) {
                sideStarts[tree] = {BitsWritten(*p.main), BitsWritten(*p.refine)};
                firstSideTree = tree;
            }
            p.setTree(tree);
            statuses[lane] = RunTreeSchedule(params, t, tree, component, [&](int32_t T, int D) {
                p.setThreshold(T);
                p.D = D;
                return EncodeTreePass(p);
            });
        });
    if (!ran) return kCodeErr;
    if (statuses[0] != kOk) return statuses[0];
    if (statuses[1] != kOk) return statuses[1];
    // The side trees were coded from the last one down: each one's bits end where those of the
    // tree after it begin.
    SideStart end = {BitsWritten(codec.SideMainCode), BitsWritten(codec.SideRefineCode)};
    for (int tree = firstSideTree; tree < trees; ++tree) {
        const SideStart& start = sideStarts[tree];
        if (!AppendBits(codec.MainCode, codec.SideMainCode, start.main, end.main) ||
            !AppendBits(codec.RefineCode, codec.SideRefineCode, start.refine, end.refine))
            return kMainCodeErr;
        end = start;
    }
    return kOk;
}

}  // namespace

int EncodeCoefficients(Codec& codec) {
    CodecState& s = codec.state;
    const int width = s.CodedWidth;
    const int height = s.CodedLength;
    codec.ZeroedCount = 0;
    int status = kOk;
    for (int c = 0; c < codec.params.ComponentCount && status == kOk; ++c) {
        s.Width = static_cast<int16_t>(c == 0 ? width : width >> 1);
        s.Length = static_cast<int16_t>(c == 0 ? height : height >> 1);
        status = EncodeComponent(codec, c, s.Width, s.Length);
    }
    if (status == kOk) {
        s.Width = static_cast<int16_t>(width);
        s.Length = static_cast<int16_t>(height);
    }
    codec.MainCodeEnd = {codec.MainCode.index, codec.MainCode.used};
    codec.RefineCodeEnd = {codec.RefineCode.index, codec.RefineCode.used};
    s.CodecStatus = static_cast<uint8_t>(status);
    return status;
}

}  // namespace qx
