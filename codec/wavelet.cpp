#include "codec/wavelet.h"

#include "codec/buffer.h"
#include "codec/coding_buffers.h"
#include "codec/split_work.h"
#include "codec/vector_clones.h"

#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace qx {
namespace {

// Integer taps: the filter coefficients times 256 (and times 0.707 for the second level's
// columns), truncated toward zero. A tap at distance d multiplies the sum of the two samples
// at that distance.
struct AnalysisFilter {
    int low[5];
    int lowTaps;
    int lowShift;
    int high[4];
    int highTaps;
    int highShift;
};

constexpr AnalysisFilter kFilter97 = {{218, 96, -28, -6, 9}, 5, 8, {201, -107, -10, 16}, 4, 8};
constexpr AnalysisFilter kRows53 = {{6, 2, -1}, 3, 2, {2, -1}, 2, 2};
constexpr AnalysisFilter kColumns53Level2Left = {{191, 63, -31}, 3, 8, {127, -63}, 2, 8};
constexpr AnalysisFilter kColumns53Level2Right = {{382, 126, -62}, 3, 8, {254, -126}, 2, 8};
constexpr AnalysisFilter kColumns53UpperLeft = {{6, 2, -1}, 3, 3, {2, -1}, 2, 2};
constexpr AnalysisFilter kColumns53UpperRight = {{6, 2, -1}, 3, 2, {2, -1}, 2, 1};

// Synthesis on an interleaved line (low values at even positions); each one-dimensional
// synthesis yields the negated signal, so a column and a row pass together restore the sign.
struct SynthesisFilter {
    int even[4];
    int evenTaps;
    int odd[5];
    int oddTaps;
};
constexpr int kSynthesisShift = 8;
constexpr SynthesisFilter kSynthesis97 = {{-201, 96, 10, -6}, 4, {-218, -107, 28, 16, -9}, 5};
constexpr SynthesisFilter kSynthesis53 = {{-181, 90}, 2, {-271, -90, 45}, 3};

constexpr int kGuard = 4;
constexpr int kSampleGuard = 8;   // room before and after a padded row of samples
constexpr int kChunk = 64;        // columns filtered side by side
constexpr int kSamplesAhead = 2;  // rows the row passes ask for ahead
// A fused first level filters the columns of kRingBatch output rows at a time, kRingTile columns
// at a time; its ring holds the rows they read (at most 2 x kRingBatch + 7) and is a power of two.
constexpr int kRingBatch = 8;
constexpr int kRingTile = 256;
constexpr int kRingRows = 32;
static_assert(2 * kRingBatch + 7 <= kRingRows);
// Rows of the ring lie a little more than a row apart: loads from rows a multiple of 4 KB apart
// would wait on unrelated stores whose addresses agree in their low twelve bits.
constexpr size_t RingStride(int width) {
    return static_cast<size_t>(width) + 136;
}

// Sample i of a line of n samples, mirrored at both ends without repeating the edge sample.
inline int Mirrored(int i, int n) {
    if (i < 0) return std::min(-i, n - 1);
    if (i > n - 1) return std::max(2 * (n - 1) - i, 0);
    return i;
}

// Mirrors the guard samples of a line of n samples (see Mirrored); `step` is the distance between
// neighbouring samples.
template <typename T>
void MirrorGuards(T* x, int n, int step) {
    for (int k = 1; k <= kGuard; ++k) {
        std::memcpy(x - k * step, x + Mirrored(-k, n) * step, sizeof(T) * step);
        std::memcpy(x + (n - 1 + k) * step, x + Mirrored(n - 1 + k, n) * step, sizeof(T) * step);
    }
}

// Sums are formed in unsigned 32-bit arithmetic: the low 32 bits of the exact sum, so damaged
// coefficients give defined results, and the loops vectorise.
[[gnu::always_inline]] inline int32_t Shifted(uint32_t sum, int shift) {
    return static_cast<int32_t>(sum) >> shift;
}

// Where the samples at distance d from a centre lie in a split line: same[k - d/2] and
// same[k + d/2] for even d; for odd d, centres at even positions find them at
// other[k - (d+1)/2] and other[k + (d-1)/2], centres at odd positions at other[k - (d-1)/2] and
// other[k + (d+1)/2].
constexpr int SplitLeft(int d, bool centreEven) {
    return d % 2 == 0 ? d / 2 : centreEven ? (d + 1) / 2 : (d - 1) / 2;
}
constexpr int SplitRight(int d, bool centreEven) {
    return d % 2 == 0 ? d / 2 : centreEven ? (d - 1) / 2 : (d + 1) / 2;
}

// The tap sums below for a tap count known when compiling, each sum formed in registers and
// stored shifted.
template <int Count, bool CentreEven>
[[gnu::always_inline]] inline void SplitTapsInOnePass(int32_t* __restrict out,
                                                      const int32_t* __restrict same,
                                                      const int32_t* __restrict other,
                                                      const int* taps, int n, int shift) {
    uint32_t t[Count];
    for (int d = 0; d < Count; ++d) t[d] = static_cast<uint32_t>(taps[d]);
    for (int k = 0; k < n; ++k) {
        uint32_t sum = t[0] * static_cast<uint32_t>(same[k]);
        for (int d = 1; d < Count; ++d) {
            const int32_t* line = d % 2 == 0 ? same : other;
            const int left = SplitLeft(d, CentreEven);
            const int right = SplitRight(d, CentreEven);
            sum += t[d] *
                   (static_cast<uint32_t>(line[k - left]) + static_cast<uint32_t>(line[k + right]));
        }
        out[k] = Shifted(sum, shift);
    }
}

template <int Count>
[[gnu::always_inline]] inline void StridedTapsInOnePass(int32_t* __restrict out,
                                                        const int32_t* __restrict c,
                                                        const int* taps, int step, int n,
                                                        int shift) {
    uint32_t t[Count];
    for (int d = 0; d < Count; ++d) t[d] = static_cast<uint32_t>(taps[d]);
    for (int k = 0; k < n; ++k) {
        uint32_t sum = t[0] * static_cast<uint32_t>(c[k]);
        for (int d = 1; d < Count; ++d) {
            sum += t[d] * (static_cast<uint32_t>(c[k - d * step]) +
                           static_cast<uint32_t>(c[k + d * step]));
        }
        out[k] = Shifted(sum, shift);
    }
}

// out[k] = (taps[0] x same[k] + the other taps applied to the line's samples at distance d from
// the centre) >> shift, for a line split into the centre's parity (same) and the other one, as
// SplitLeft and SplitRight place them. Every filter has 2 to 5 taps.
[[gnu::always_inline]] inline void SumSplitTaps(int32_t* out, const int32_t* same,
                                                const int32_t* other, const int* taps, int count,
                                                bool centreEven, int n, int shift) {
    switch (count * 2 + (centreEven ? 1 : 0)) {
        case 4:
            return SplitTapsInOnePass<2, false>(out, same, other, taps, n, shift);
        case 5:
            return SplitTapsInOnePass<2, true>(out, same, other, taps, n, shift);
        case 6:
            return SplitTapsInOnePass<3, false>(out, same, other, taps, n, shift);
        case 7:
            return SplitTapsInOnePass<3, true>(out, same, other, taps, n, shift);
        case 8:
            return SplitTapsInOnePass<4, false>(out, same, other, taps, n, shift);
        case 9:
            return SplitTapsInOnePass<4, true>(out, same, other, taps, n, shift);
        case 10:
            return SplitTapsInOnePass<5, false>(out, same, other, taps, n, shift);
        default:
            return SplitTapsInOnePass<5, true>(out, same, other, taps, n, shift);
    }
}

// out[j] = (the taps applied to rows `step` samples apart around the centre row c) >> shift.
[[gnu::always_inline]] inline void SumStridedTaps(int32_t* out, const int32_t* c, const int* taps,
                                                  int count, int step, int n, int shift) {
    switch (count) {
        case 2:
            return StridedTapsInOnePass<2>(out, c, taps, step, n, shift);
        case 3:
            return StridedTapsInOnePass<3>(out, c, taps, step, n, shift);
        case 4:
            return StridedTapsInOnePass<4>(out, c, taps, step, n, shift);
        default:
            return StridedTapsInOnePass<5>(out, c, taps, step, n, shift);
    }
}

// Fills two guards on each side of the even and odd halves (h samples each) of a line as
// mirroring the whole line without repeating its edge samples would.
[[gnu::always_inline]] inline void FillHalfGuards(int32_t* even, int32_t* odd, int h) {
    even[-1] = even[std::min(1, h - 1)];
    even[-2] = even[std::min(2, h - 1)];
    odd[-1] = odd[0];
    odd[-2] = odd[std::min(1, h - 1)];
    even[h] = even[h - 1];
    even[h + 1] = even[std::max(h - 2, 0)];
    odd[h] = odd[h - 2 >= 0 ? h - 2 : -1];
    odd[h + 1] = odd[h - 3 >= -2 ? h - 3 : -2];
}

// Splits a row of n (even) samples, less offset, into its even and odd samples, with their
// guards.
template <typename Sample>
[[gnu::always_inline]] inline void SplitRow(const Sample* x, int n, int offset, int32_t* even,
                                            int32_t* odd) {
    const int h = n / 2;
    for (int k = 0; k < h; ++k) {
        even[k] = x[2 * k] - offset;
        odd[k] = x[2 * k + 1] - offset;
    }
    FillHalfGuards(even, odd, h);
}

// Low-pass output k is centred on source[2k], high-pass output k on source[2k+1]; the outputs go
// to row, which may be the source itself.
template <typename Sample>
[[gnu::always_inline]] inline void AnalyseRow(int32_t* row, const Sample* source, int offset, int n,
                                              const AnalysisFilter& f, WaveletLane& scratch) {
    const int half = n / 2;
    int32_t* even = scratch.even.data() + 2;
    int32_t* odd = scratch.odd.data() + 2;
    SplitRow(source, n, offset, even, odd);
    SumSplitTaps(row, even, odd, f.low, f.lowTaps, true, half, f.lowShift);
    SumSplitTaps(row + half, odd, even, f.high, f.highTaps, false, half, f.highShift);
}

// Copies nc samples of a row into a strip. Nearly every chunk is a whole one, which the compiler
// copies inline; a call to memcpy per row cost more than the copy.
[[gnu::always_inline]] inline void CopyChunk(int32_t* to, const int32_t* from, int nc) {
    if (nc == kChunk) {
        std::memcpy(to, from, sizeof(int32_t) * kChunk);
    } else {
        std::memcpy(to, from, sizeof(int32_t) * nc);
    }
}

// The filtering of one strip of nc columns (s, with its guards) into the plane at column xa:
// the low outputs to rows 0 ... half-1, the high ones below them.
[[gnu::always_inline]] inline void AnalyseStrip(int32_t* plane, int stride, int xa, int nc,
                                                const int32_t* s, int half,
                                                const AnalysisFilter& f) {
    for (int k = 0; k < half; ++k) {
        const int32_t* c = s + 2 * k * nc;
        SumStridedTaps(plane + static_cast<size_t>(k) * stride + xa, c, f.low, f.lowTaps, nc, nc,
                       f.lowShift);
        SumStridedTaps(plane + static_cast<size_t>(half + k) * stride + xa, c + nc, f.high,
                       f.highTaps, nc, nc, f.highShift);
    }
}

QX_AVX2 inline __m256i EightAt(const int32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// The sum of the taps around c, whose rows lie a chunk apart, in eight lanes.
template <int Count>
QX_AVX2 inline __m256i ChunkTaps(const __m256i* taps, const int32_t* c, __m128i shift) {
    __m256i sum = _mm256_mullo_epi32(taps[0], EightAt(c));
    for (int d = 1; d < Count; ++d) {
        const __m256i pair = _mm256_add_epi32(EightAt(c - d * kChunk), EightAt(c + d * kChunk));
        sum = _mm256_add_epi32(sum, _mm256_mullo_epi32(taps[d], pair));
    }
    return _mm256_sra_epi32(sum, shift);
}

template <int Count>
QX_AVX2 inline void BroadcastTaps(const int* taps, __m256i* lanes) {
    for (int d = 0; d < Count; ++d) lanes[d] = _mm256_set1_epi32(taps[d]);
}

QX_AVX2 inline void StoreEight(int32_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// Two outputs of eight columns each: the first centred on row 0, the second on row 1, with
// FirstCount and SecondCount taps (row d at rowAt(d)). Both are summed before either is stored:
// for all the compiler knows a store might change the rows, so a store between the two would
// have the second load its rows again after it.
struct EightPairs {
    __m256i first, second;
};
template <int FirstCount, int SecondCount, typename RowAt>
[[gnu::always_inline]] QX_AVX2 inline EightPairs ColumnOutputs(const __m256i* first,
                                                               const __m256i* second, RowAt rowAt,
                                                               __m128i firstShift,
                                                               __m128i secondShift) {
    constexpr int kTop = std::min(1 - FirstCount, 2 - SecondCount);
    constexpr int kBottom = std::max(FirstCount - 1, SecondCount);
    __m256i v[kBottom - kTop + 1];
    for (int d = kTop; d <= kBottom; ++d) v[d - kTop] = EightAt(rowAt(d));
    constexpr int c = -kTop;  // row 0 in v
    __m256i a = _mm256_mullo_epi32(first[0], v[c]);
    for (int d = 1; d < FirstCount; ++d) {
        const __m256i pair = _mm256_add_epi32(v[c - d], v[c + d]);
        a = _mm256_add_epi32(a, _mm256_mullo_epi32(first[d], pair));
    }
    __m256i b = _mm256_mullo_epi32(second[0], v[c + 1]);
    for (int d = 1; d < SecondCount; ++d) {
        const __m256i pair = _mm256_add_epi32(v[c + 1 - d], v[c + 1 + d]);
        b = _mm256_add_epi32(b, _mm256_mullo_epi32(second[d], pair));
    }
    return {_mm256_sra_epi32(a, firstShift), _mm256_sra_epi32(b, secondShift)};
}

// AnalyseStrip for a whole chunk and tap counts known when compiling, in explicit AVX2: the same
// modular sums, with the taps broadcast once per strip rather than once per row.
template <int LowCount, int HighCount>
QX_AVX2 void AnalyseChunkAvx2(int32_t* plane, int stride, int xa, const int32_t* s, int half,
                              const AnalysisFilter& f) {
    __m256i low[LowCount], high[HighCount];
    BroadcastTaps<LowCount>(f.low, low);
    BroadcastTaps<HighCount>(f.high, high);
    const __m128i lowShift = _mm_cvtsi32_si128(f.lowShift);
    const __m128i highShift = _mm_cvtsi32_si128(f.highShift);
    for (int k = 0; k < half; ++k) {
        const int32_t* c = s + 2 * k * kChunk;
        int32_t* lowRow = plane + static_cast<size_t>(k) * stride + xa;
        int32_t* highRow = plane + static_cast<size_t>(half + k) * stride + xa;
#pragma GCC unroll 8
        for (int v = 0; v < kChunk; v += 8) {
            const EightPairs out = ColumnOutputs<LowCount, HighCount>(
                low, high, [&](int d) { return c + d * kChunk + v; }, lowShift, highShift);
            StoreEight(lowRow + v, out.first);
            StoreEight(highRow + v, out.second);
        }
    }
}

// Filters columns x0 ... x1-1 of a band of `height` rows, a chunk of adjacent columns at a
// time so that every step works on contiguous samples.
template <typename Strips>
[[gnu::always_inline]] inline void AnalyseColumns(int32_t* plane, int stride, int x0, int x1,
                                                  int height, const AnalysisFilter& f,
                                                  WaveletLane& scratch) {
    const int half = height / 2;
    for (int xa = x0; xa < x1; xa += kChunk) {
        const int nc = std::min(kChunk, x1 - xa);
        int32_t* s = scratch.strip + kGuard * nc;
        for (int r = 0; r < height; ++r)
            CopyChunk(s + r * nc, plane + static_cast<size_t>(r) * stride + xa, nc);
        MirrorGuards(s, height, nc);
        Strips::analyse(plane, stride, xa, nc, s, half, f);
    }
}

// Synthesis of a row whose low half is row[0 ... n/2-1] and high half row[n/2 ... n-1]; the
// guards are those of the interleaved row mirrored without repeating its edge samples.
[[gnu::always_inline]] inline void SynthesiseRow(int32_t* row, int n, const SynthesisFilter& f,
                                                 WaveletLane& scratch) {
    const int h = n / 2;
    int32_t* low = scratch.even.data() + 2;
    int32_t* high = scratch.odd.data() + 2;
    std::memcpy(low, row, sizeof(int32_t) * h);
    std::memcpy(high, row + h, sizeof(int32_t) * h);
    FillHalfGuards(low, high, h);
    int32_t* even = scratch.acc.data();
    int32_t* odd = scratch.acc.data() + h;
    SumSplitTaps(even, low, high, f.even, f.evenTaps, true, h, kSynthesisShift);
    SumSplitTaps(odd, high, low, f.odd, f.oddTaps, false, h, kSynthesisShift);
    for (int k = 0; k < h; ++k) {
        row[2 * k] = even[k];
        row[2 * k + 1] = odd[k];
    }
}

[[gnu::always_inline]] inline void SynthesiseStrip(int32_t* plane, int stride, int xa, int nc,
                                                   const int32_t* s, int height,
                                                   const SynthesisFilter& f) {
    for (int m = 0; m < height; ++m) {
        const bool even = (m % 2 == 0);
        const int* taps = even ? f.even : f.odd;
        const int count = even ? f.evenTaps : f.oddTaps;
        const int32_t* c = s + m * nc;
        SumStridedTaps(plane + static_cast<size_t>(m) * stride + xa, c, taps, count, nc, nc,
                       kSynthesisShift);
    }
}

template <int EvenCount, int OddCount>
QX_AVX2 void SynthesiseChunkAvx2(int32_t* plane, int stride, int xa, const int32_t* s, int height,
                                 const SynthesisFilter& f) {
    __m256i even[EvenCount], odd[OddCount];
    BroadcastTaps<EvenCount>(f.even, even);
    BroadcastTaps<OddCount>(f.odd, odd);
    const __m128i shift = _mm_cvtsi32_si128(kSynthesisShift);
    int m = 0;
    for (; m + 1 < height; m += 2) {
        const int32_t* c = s + m * kChunk;
        int32_t* evenRow = plane + static_cast<size_t>(m) * stride + xa;
        int32_t* oddRow = evenRow + stride;
#pragma GCC unroll 8
        for (int v = 0; v < kChunk; v += 8) {
            const EightPairs out = ColumnOutputs<EvenCount, OddCount>(
                even, odd, [&](int d) { return c + d * kChunk + v; }, shift, shift);
            StoreEight(evenRow + v, out.first);
            StoreEight(oddRow + v, out.second);
        }
    }
    if (m < height) {
        int32_t* evenRow = plane + static_cast<size_t>(m) * stride + xa;
        for (int v = 0; v < kChunk; v += 8)
            StoreEight(evenRow + v, ChunkTaps<EvenCount>(even, s + m * kChunk + v, shift));
    }
}

template <typename Strips>
[[gnu::always_inline]] inline void SynthesiseColumns(int32_t* plane, int stride, int x0, int x1,
                                                     int height, const SynthesisFilter& f,
                                                     WaveletLane& scratch) {
    const int half = height / 2;
    for (int xa = x0; xa < x1; xa += kChunk) {
        const int nc = std::min(kChunk, x1 - xa);
        int32_t* s = scratch.strip + kGuard * nc;
        for (int m = 0; m < height; ++m) {
            const int row = (m % 2 == 0) ? m / 2 : half + m / 2;
            CopyChunk(s + m * nc, plane + static_cast<size_t>(row) * stride + xa, nc);
        }
        MirrorGuards(s, height, nc);
        Strips::synthesise(plane, stride, xa, nc, s, height, f);
    }
}

// Strip filters for the column passes: the portable loops, which the compiler builds for each
// processor, or the AVX2 ones for the whole chunks of the filters in use.
struct PortableStrips {
    [[gnu::always_inline]] static void analyse(int32_t* plane, int stride, int xa, int nc,
                                               const int32_t* s, int half,
                                               const AnalysisFilter& f) {
        AnalyseStrip(plane, stride, xa, nc, s, half, f);
    }
    [[gnu::always_inline]] static void synthesise(int32_t* plane, int stride, int xa, int nc,
                                                  const int32_t* s, int height,
                                                  const SynthesisFilter& f) {
        SynthesiseStrip(plane, stride, xa, nc, s, height, f);
    }
};

struct Avx2Strips {
    QX_AVX2 static void analyse(int32_t* plane, int stride, int xa, int nc, const int32_t* s,
                                int half, const AnalysisFilter& f) {
        if (nc == kChunk && f.lowTaps == 5 && f.highTaps == 4) {
            AnalyseChunkAvx2<5, 4>(plane, stride, xa, s, half, f);
        } else if (nc == kChunk && f.lowTaps == 3 && f.highTaps == 2) {
            AnalyseChunkAvx2<3, 2>(plane, stride, xa, s, half, f);
        } else {
            AnalyseStrip(plane, stride, xa, nc, s, half, f);
        }
    }
    QX_AVX2 static void synthesise(int32_t* plane, int stride, int xa, int nc, const int32_t* s,
                                   int height, const SynthesisFilter& f) {
        if (nc == kChunk && f.evenTaps == 4 && f.oddTaps == 5) {
            SynthesiseChunkAvx2<4, 5>(plane, stride, xa, s, height, f);
        } else if (nc == kChunk && f.evenTaps == 2 && f.oddTaps == 3) {
            SynthesiseChunkAvx2<2, 3>(plane, stride, xa, s, height, f);
        } else {
            SynthesiseStrip(plane, stride, xa, nc, s, height, f);
        }
    }
};

void Reserve(WaveletScratch& scratch, int longestLine, int tallestBand) {
    const size_t n = static_cast<size_t>(longestLine);
    // A lane's strips and a fused first level's ring take turns in the same room.
    const size_t strip = std::max(static_cast<size_t>(tallestBand + 2 * kGuard) * kChunk,
                                  kRingRows * RingStride(longestLine));
    const size_t needed = scratch.lanes.size() * strip;
    int32_t* strips = scratch.lent;
    if (strips == nullptr || scratch.lentCount < needed) {
        ResizeDense(scratch.strips, needed);
        strips = scratch.strips.data();
    }
    for (size_t i = 0; i < scratch.lanes.size(); ++i) {
        WaveletLane& lane = scratch.lanes[i];
        lane.samples.resize(n + 2 * kSampleGuard);
        lane.even.resize(n / 2 + 8);
        lane.odd.resize(n / 2 + 8);
        lane.acc.resize(n + 8);
        lane.strip = strips + i * strip;
    }
}

// The taps of one split line around position k, eight lanes from k on, as SplitTapsInOnePass
// sums them.
template <int Count, bool CentreEven>
QX_AVX2 inline __m256i SplitTapsAt(const __m256i* taps, const int32_t* same, const int32_t* other,
                                   int k, __m128i shift) {
    __m256i sum = _mm256_mullo_epi32(taps[0], EightAt(same + k));
    for (int d = 1; d < Count; ++d) {
        const int32_t* line = d % 2 == 0 ? same : other;
        const int left = SplitLeft(d, CentreEven);
        const int right = SplitRight(d, CentreEven);
        const __m256i pair = _mm256_add_epi32(EightAt(line + k - left), EightAt(line + k + right));
        sum = _mm256_add_epi32(sum, _mm256_mullo_epi32(taps[d], pair));
    }
    return _mm256_sra_epi32(sum, shift);
}

// Sixteen values from x on into eight even and eight odd ones.
QX_AVX2 inline void SplitSixteen(const int32_t* x, int32_t* even, int32_t* odd) {
    const __m256i byParity = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
    const __m256i a = _mm256_permutevar8x32_epi32(EightAt(x), byParity);
    const __m256i b = _mm256_permutevar8x32_epi32(EightAt(x + 8), byParity);
    StoreEight(even, _mm256_permute2x128_si256(a, b, 0x20));
    StoreEight(odd, _mm256_permute2x128_si256(a, b, 0x31));
}

// AnalyseRow of a row in the plane for the filters in use, in explicit AVX2: the split by
// shuffles, the taps broadcast once per row.
template <int LowCount, int HighCount>
QX_AVX2 void AnalyseRowAvx2(int32_t* row, int n, const AnalysisFilter& f, WaveletLane& scratch) {
    const int half = n / 2;
    int32_t* even = scratch.even.data() + 2;
    int32_t* odd = scratch.odd.data() + 2;
    int k = 0;
    for (; k + 8 <= half; k += 8) SplitSixteen(row + 2 * k, even + k, odd + k);
    for (; k < half; ++k) {
        even[k] = row[2 * k];
        odd[k] = row[2 * k + 1];
    }
    FillHalfGuards(even, odd, half);
    __m256i low[LowCount], high[HighCount];
    BroadcastTaps<LowCount>(f.low, low);
    BroadcastTaps<HighCount>(f.high, high);
    const __m128i lowShift = _mm_cvtsi32_si128(f.lowShift);
    const __m128i highShift = _mm_cvtsi32_si128(f.highShift);
    k = 0;
    for (; k + 8 <= half; k += 8) {
        StoreEight(row + k, SplitTapsAt<LowCount, true>(low, even, odd, k, lowShift));
        StoreEight(row + half + k, SplitTapsAt<HighCount, false>(high, odd, even, k, highShift));
    }
    if (k == half) return;
    SplitTapsInOnePass<LowCount, true>(row + k, even + k, odd + k, f.low, half - k, f.lowShift);
    SplitTapsInOnePass<HighCount, false>(row + half + k, odd + k, even + k, f.high, half - k,
                                         f.highShift);
}

QX_AVX2 void AnalyseRowsAvx2(int32_t* plane, int width, int r0, int r1, int bw,
                             const AnalysisFilter& f, WaveletLane& lane) {
    for (int r = r0; r < r1; ++r) {
        int32_t* row = plane + static_cast<size_t>(r) * width;
        // Each row starts a new 4 KB page, where the processor's prefetching starts afresh.
        if (r + kSamplesAhead < r1) PrefetchRow(row + kSamplesAhead * width, bw);
        if (f.lowTaps == 5 && f.highTaps == 4) {
            AnalyseRowAvx2<5, 4>(row, bw, f, lane);
        } else if (f.lowTaps == 3 && f.highTaps == 2) {
            AnalyseRowAvx2<3, 2>(row, bw, f, lane);
        } else {
            AnalyseRow(row, row, 0, bw, f, lane);
        }
    }
}

// The first level's rows, straight from the samples. Each pair of neighbouring samples is
// multiplied by a pair of taps and the two products added in one instruction (vpmaddwd), so the
// row is not split into even and odd samples first. Low output k sums the pairs (2k + 2p,
// 2k + 2p + 1) around it, high output k (centred on 2k + 1) the same pairs with its own taps. The
// products and their sums are exact in 32 bits (taps below 2^9, samples below 2^15), and taking
// offset x (the taps' sum) away once gives what the other loops sum, taps x (sample - offset),
// modulo 2^32. The row is first copied between the guards that FillHalfGuards gives its halves.
struct PairTaps {
    int first;          // p of the first pair
    int count;          // pairs
    int32_t packed[5];  // the taps of pair first + i, the first sample's in the low half
    uint32_t start;     // the sum before the pairs: 0 - offset x (the taps' sum)
};

constexpr int FloorHalf(int v) {
    return v >= 0 ? v / 2 : -((1 - v) / 2);
}

// The pairs that `count` taps centred at `centre` (0 or 1, relative to 2k) reach: the first p,
// and how many.
constexpr int FirstPair(int count, int centre) {
    return FloorHalf(centre - (count - 1));
}
constexpr int PairCount(int count, int centre) {
    return FloorHalf(centre + count - 1) - FirstPair(count, centre) + 1;
}

// Taps of a filter centred at `centre` (0 or 1) relative to 2k, as pairs.
inline PairTaps PairsOf(const int* taps, int count, int centre, int offset) {
    const auto tap = [&](int at) {
        const int d = std::abs(at - centre);
        return d < count ? taps[d] : 0;
    };
    PairTaps t{};
    t.first = FirstPair(count, centre);
    t.count = PairCount(count, centre);
    uint32_t sum = 0;
    for (int i = 0; i < t.count; ++i) {
        const int a = tap(2 * (t.first + i));
        const int b = tap(2 * (t.first + i) + 1);
        t.packed[i] = static_cast<int32_t>(static_cast<uint16_t>(a) |
                                           static_cast<uint32_t>(static_cast<uint16_t>(b)) << 16);
        sum += static_cast<uint32_t>(a + b);
    }
    t.start = 0u - static_cast<uint32_t>(offset) * sum;
    return t;
}

// Copies the first and last kPaddedEnds of n samples to their places in padded, and fills four
// guards on each side as FillHalfGuards fills the halves' two: even sample j of the row is
// padded[2j], odd sample j padded[2j + 1].
constexpr int kPaddedEnds = 64;
inline void PadSamples(const int16_t* x, int n, int16_t* padded) {
    if (n <= 2 * kPaddedEnds) {
        std::memcpy(padded, x, sizeof(int16_t) * static_cast<size_t>(n));
    } else {
        std::memcpy(padded, x, sizeof(int16_t) * kPaddedEnds);
        std::memcpy(padded + n - kPaddedEnds, x + n - kPaddedEnds, sizeof(int16_t) * kPaddedEnds);
    }
    const int h = n / 2;
    const auto even = [&](int j) { return padded[2 * j]; };
    const auto odd = [&](int j) { return padded[2 * j + 1]; };
    padded[-1] = odd(0);
    padded[-2] = even(std::min(1, h - 1));
    padded[-3] = odd(std::min(1, h - 1));
    padded[-4] = even(std::min(2, h - 1));
    padded[n] = even(h - 1);
    padded[n + 1] = odd(h - 2 >= 0 ? h - 2 : -1);
    padded[n + 2] = even(std::max(h - 2, 0));
    padded[n + 3] = odd(std::max(h - 3, -2));
}

// The sum of t's pairs around 2k for eight outputs, from start (less the offset term), shifted.
template <int First, int Count>
QX_AVX2 inline __m256i PairSums(const int16_t* c, const __m256i* pairs, __m256i start,
                                __m128i shift) {
    __m256i sum = start;
    for (int i = 0; i < Count; ++i) {
        const __m256i samples =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(c + 2 * (First + i)));
        sum = _mm256_add_epi32(sum, _mm256_madd_epi16(samples, pairs[i]));
    }
    return _mm256_sra_epi32(sum, shift);
}

inline int32_t PairSum(const int16_t* c, const PairTaps& t, int shift) {
    uint32_t sum = t.start;
    for (int i = 0; i < t.count; ++i) {
        const int p = 2 * (t.first + i);
        const int a = static_cast<int16_t>(t.packed[i] & 0xFFFF);
        const int b = static_cast<int16_t>(static_cast<uint32_t>(t.packed[i]) >> 16);
        sum += static_cast<uint32_t>(a * c[p] + b * c[p + 1]);
    }
    return Shifted(sum, shift);
}

// The first level's row filter of AnalyseSampleRowsPaired, its taps broadcast once.
template <int LowCount, int HighCount>
struct PairedRowFilter {
    static constexpr int kLowFirst = FirstPair(LowCount, 0);
    static constexpr int kLowCount = PairCount(LowCount, 0);
    static constexpr int kHighFirst = FirstPair(HighCount, 1);
    static constexpr int kHighCount = PairCount(HighCount, 1);
    // The samples eight outputs read, from 2k + kFromFirst to 2k + kToLast: those of the groups
    // near the ends, which reach past the row, come from the padded copy.
    static constexpr int kFromFirst = 2 * std::min(kLowFirst, kHighFirst);
    static constexpr int kToLast =
        2 * std::max(kLowFirst + kLowCount, kHighFirst + kHighCount) + 13;
    static_assert(kToLast - kFromFirst < kPaddedEnds && -kFromFirst <= 4);

    PairTaps low, high;
    int lowShift, highShift;
    __m256i lowPairs[kLowCount], highPairs[kHighCount], lowStart, highStart;
    __m128i lowCount, highCount;  // the shifts, as the shift instructions take them

    QX_AVX2 PairedRowFilter(const AnalysisFilter& f, int offset)
        : low(PairsOf(f.low, LowCount, 0, offset)),
          high(PairsOf(f.high, HighCount, 1, offset)),
          lowShift(f.lowShift),
          highShift(f.highShift) {
        for (int i = 0; i < kLowCount; ++i) lowPairs[i] = _mm256_set1_epi32(low.packed[i]);
        for (int i = 0; i < kHighCount; ++i) highPairs[i] = _mm256_set1_epi32(high.packed[i]);
        lowStart = _mm256_set1_epi32(static_cast<int32_t>(low.start));
        highStart = _mm256_set1_epi32(static_cast<int32_t>(high.start));
        lowCount = _mm_cvtsi32_si128(lowShift);
        highCount = _mm_cvtsi32_si128(highShift);
    }

    // Filters the width samples x into row, its low half first; padded is room for the padded
    // copy of the row's ends.
    QX_AVX2 void filter(const int16_t* x, int32_t* row, int width, int16_t* padded) const {
        const int half = width / 2;
        PadSamples(x, width, padded);
        // Copies in registers: the stores to the row might otherwise change the members.
        __m256i lp[kLowCount], hp[kHighCount];
        std::copy(lowPairs, lowPairs + kLowCount, lp);
        std::copy(highPairs, highPairs + kHighCount, hp);
        const __m256i ls = lowStart, hs = highStart;
        const __m128i lc = lowCount, hc = highCount;
        int k = 0;
        for (; k + 8 <= half; k += 8) {
            const bool inside = 2 * k + kFromFirst >= 0 && 2 * k + kToLast < width;
            const int16_t* c = (inside ? x : padded) + 2 * k;
            // Both sums before either store, so that their shared samples are loaded once.
            const __m256i lowSums = PairSums<kLowFirst, kLowCount>(c, lp, ls, lc);
            const __m256i highSums = PairSums<kHighFirst, kHighCount>(c, hp, hs, hc);
            StoreEight(row + k, lowSums);
            StoreEight(row + half + k, highSums);
        }
        for (; k < half; ++k) {
            row[k] = PairSum(padded + 2 * k, low, lowShift);
            row[half + k] = PairSum(padded + 2 * k, high, highShift);
        }
    }
};

template <int LowCount, int HighCount>
QX_AVX2 void AnalyseSampleRowsPaired(const int16_t* samples, int offset, int32_t* plane, int width,
                                     int r0, int r1, const AnalysisFilter& f, WaveletLane& lane) {
    const PairedRowFilter<LowCount, HighCount> rows(f, offset);
    int16_t* padded = lane.samples.data() + kSampleGuard;
    for (int r = r0; r < r1; ++r) {
        rows.filter(samples + static_cast<size_t>(r) * width,
                    plane + static_cast<size_t>(r) * width, width, padded);
    }
}

// A fused lane's place in the rows: the next row to filter into the ring, and the output that a
// piece starting there would continue with.
struct RingPlace {
    int nextRow = 0;
    int continuesAt = -1;
};

// The first level in one pass down the rows, for the filters in use: each row of samples is
// filtered into a ring that holds the latest rows, and each pair of output rows is filtered down
// the columns from the ring straight into the plane. The plane is written once, where the two
// passes would write it, read it into strips and write it again. Outputs k0 ... k1 - 1 of the
// columns (low rows k, high rows half + k), and the columns past `covered` of rows 2 k0 ...
// 2 k1 - 1 as the rows left them. A level is decomposed only when both its sides are even.
template <int LowCount, int HighCount>
QX_AVX2 void AnalyseFirstLevelFused(const int16_t* samples, int offset, int32_t* plane, int width,
                                    int height, int covered, int k0, int k1,
                                    const AnalysisFilter& rowFilter,
                                    const AnalysisFilter& columnFilter, WaveletLane& lane,
                                    RingPlace& place) {
    const PairedRowFilter<LowCount, HighCount> rows(rowFilter, offset);
    int16_t* padded = lane.samples.data() + kSampleGuard;
    const size_t stride = static_cast<size_t>(width);
    const int half = height / 2;
    const auto ringRow = [&](int r) {
        return lane.strip + static_cast<size_t>(r & (kRingRows - 1)) * RingStride(width);
    };
    // Outputs k read rows 2k - (LowCount - 1) ... 2k + kReach.
    constexpr int kReach = std::max(LowCount - 1, HighCount);
    if (place.continuesAt != k0) place.nextRow = std::max(0, 2 * k0 - (LowCount - 1));
    // The processor's prefetching starts afresh at every 4 KB page, which a row of samples
    // crosses often, and the loads of the row filter then wait: each row is asked for ahead.
    const auto filterRowsUpTo = [&](int last) {
        for (int& r = place.nextRow; r <= last; ++r) {
            if (r + kSamplesAhead < height)
                PrefetchRow(samples + static_cast<size_t>(r + kSamplesAhead) * stride, width);
            rows.filter(samples + static_cast<size_t>(r) * stride, ringRow(r), width, padded);
        }
    };
    // Row r's columns from `from` on, as the rows left them.
    const auto keepRow = [&](int r, int from) {
        std::memcpy(plane + static_cast<size_t>(r) * stride + from, ringRow(r) + from,
                    sizeof(int32_t) * static_cast<size_t>(width - from));
    };
    __m256i low[LowCount], high[HighCount];
    BroadcastTaps<LowCount>(columnFilter.low, low);
    BroadcastTaps<HighCount>(columnFilter.high, high);
    const __m128i lowShift = _mm_cvtsi32_si128(columnFilter.lowShift);
    const __m128i highShift = _mm_cvtsi32_si128(columnFilter.highShift);
    constexpr int kCentre = LowCount - 1;  // of row 2k among those read
    constexpr int kReads = 2 * LowCount - 1;
    for (int kb = k0; kb < k1; kb += kRingBatch) {
        const int ke = std::min(k1, kb + kRingBatch);
        filterRowsUpTo(std::min(height - 1, 2 * (ke - 1) + kReach));
        const int32_t* at[kRingBatch][kReads];
        for (int k = kb; k < ke; ++k) {
            for (int i = 0; i < kReads; ++i)
                at[k - kb][i] = ringRow(Mirrored(2 * k - kCentre + i, height));
            if (covered < width) {
                keepRow(2 * k, covered);
                keepRow(2 * k + 1, covered);
            }
        }
        // Tiles of columns whose rows in the ring stay in the first-level cache for the batch.
        for (int x0 = 0; x0 < covered; x0 += kRingTile) {
            const int x1 = std::min(covered, x0 + kRingTile);
            for (int k = kb; k < ke; ++k) {
                const int32_t* const* r = at[k - kb];
                int32_t* lowRow = plane + static_cast<size_t>(k) * stride;
                int32_t* highRow = plane + static_cast<size_t>(half + k) * stride;
                for (int x = x0; x < x1; x += 8) {
                    const EightPairs out = ColumnOutputs<LowCount, HighCount>(
                        low, high, [&](int d) { return r[kCentre + d] + x; }, lowShift, highShift);
                    StoreEight(lowRow + x, out.first);
                    StoreEight(highRow + x, out.second);
                }
            }
        }
    }
    place.continuesAt = k1;
}

QX_VECTOR_CLONES void AnalyseRows(int32_t* plane, int width, int r0, int r1, int bw,
                                  const AnalysisFilter& f, WaveletLane& lane) {
    for (int r = r0; r < r1; ++r) {
        int32_t* row = plane + static_cast<size_t>(r) * width;
        AnalyseRow(row, row, 0, bw, f, lane);
    }
}

// The first level's rows, read from the samples less the level offset: no pass of its own
// writes the whole plane first.
QX_VECTOR_CLONES void AnalyseSampleRows(const int16_t* samples, int levelOffset, int32_t* plane,
                                        int width, int r0, int r1, const AnalysisFilter& f,
                                        WaveletLane& lane) {
    for (int r = r0; r < r1; ++r) {
        const size_t at = static_cast<size_t>(r) * width;
        AnalyseRow(plane + at, samples + at, levelOffset, width, f, lane);
    }
}

// The first level's rows for the filters in use; the taps fit the 16-bit halves of the pairs.
QX_AVX2 void AnalyseSampleRowsAvx2(const int16_t* samples, int offset, int32_t* plane, int width,
                                   int r0, int r1, const AnalysisFilter& f, WaveletLane& lane) {
    if (f.lowTaps == 5 && f.highTaps == 4) {
        AnalyseSampleRowsPaired<5, 4>(samples, offset, plane, width, r0, r1, f, lane);
    } else if (f.lowTaps == 3 && f.highTaps == 2) {
        AnalyseSampleRowsPaired<3, 2>(samples, offset, plane, width, r0, r1, f, lane);
    } else {
        AnalyseSampleRows(samples, offset, plane, width, r0, r1, f, lane);
    }
}

QX_VECTOR_CLONES void AnalyseColumnRange(int32_t* plane, int width, int x0, int x1, int bh,
                                         const AnalysisFilter& f, WaveletLane& lane) {
    AnalyseColumns<PortableStrips>(plane, width, x0, x1, bh, f, lane);
}

QX_AVX2 void AnalyseColumnRangeAvx2(int32_t* plane, int width, int x0, int x1, int bh,
                                    const AnalysisFilter& f, WaveletLane& lane) {
    AnalyseColumns<Avx2Strips>(plane, width, x0, x1, bh, f, lane);
}

// Where the rows of the last level go when they leave the plane as samples.
struct SampleRow {
    int16_t* samples;
    int32_t offset;
    bool clear;  // whether the plane's row is left zero
};

// A value plus the offset, cut to 16 bits as the samples hold it.
inline int16_t ToSample(int32_t value, int32_t offset) {
    return static_cast<int16_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(offset));
}

// A composed row out as samples, the row left zero when asked.
inline void RowToSamples(int32_t* row, int n, const SampleRow& out) {
    for (int x = 0; x < n; ++x) out.samples[x] = ToSample(row[x], out.offset);
    if (out.clear) std::fill(row, row + n, 0);
}

// The filters of SynthesiseRowAvx2, broadcast once per row.
template <int EvenCount, int OddCount>
struct RowTaps {
    __m256i even[EvenCount], odd[OddCount];
    __m128i shift;
    __m256i offset;
};

// Outputs 2k ... 2k + 15 of a row from its halves low and high, into the row or into samples.
template <int EvenCount, int OddCount, bool ToSamples>
QX_AVX2 inline void SynthesiseSixteen(const RowTaps<EvenCount, OddCount>& t, const int32_t* low,
                                      const int32_t* high, int k, int32_t* row,
                                      const SampleRow& out) {
    const __m256i e = SplitTapsAt<EvenCount, true>(t.even, low, high, k, t.shift);
    const __m256i o = SplitTapsAt<OddCount, false>(t.odd, high, low, k, t.shift);
    const __m256i first = _mm256_unpacklo_epi32(e, o);   // pairs 0, 1 and 4, 5
    const __m256i second = _mm256_unpackhi_epi32(e, o);  // pairs 2, 3 and 6, 7
    if constexpr (ToSamples) {
        // The low halves packed without saturation, which puts the pairs back in order.
        const __m256i lowHalves = _mm256_set1_epi32(0xFFFF);
        const __m256i a = _mm256_and_si256(_mm256_add_epi32(first, t.offset), lowHalves);
        const __m256i b = _mm256_and_si256(_mm256_add_epi32(second, t.offset), lowHalves);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out.samples + 2 * k),
                            _mm256_packus_epi32(a, b));
    } else {
        StoreEight(row + 2 * k, _mm256_permute2x128_si256(first, second, 0x20));
        StoreEight(row + 2 * k + 8, _mm256_permute2x128_si256(first, second, 0x31));
    }
}

// Values a step of SynthesiseRowAvx2 reads on either side of its eight: the reach of the taps.
constexpr int kTapReach = 2;
// The values at each end of a half that go to scratch: every step near an end reads there.
constexpr int kEdgeValues = 16;

// SynthesiseRow for the filters in use, in explicit AVX2: even and odd outputs eight at a time,
// interleaved into the row (or into samples, when ToSamples) at once rather than through a buffer
// of their own.
//
// Outputs 2k ... 2k + 15 overwrite the row's low half well before the steps that read it, so the
// low half is read from a copy. The high half is not reached in time: when step k runs, the steps
// before it have written the row up to 2k - 1, and it reads the high half from h + k - kTapReach
// on, which lies beyond that while k < h - 1. Only the steps near the ends, whose taps reach the
// guards, read copies. Samples leave the row in place, so they need no copy at all; a row to be
// cleared is cleared behind the steps, where no later step reads.
template <int EvenCount, int OddCount, bool ToSamples>
QX_AVX2 void SynthesiseRowAvx2(int32_t* row, int n, const SynthesisFilter& f, WaveletLane& scratch,
                               const SampleRow& out) {
    const int h = n / 2;
    int32_t* low = scratch.even.data() + 2;
    int32_t* high = scratch.odd.data() + 2;
    const bool wholeHalves = h <= 2 * kEdgeValues;
    if (wholeHalves || !ToSamples) {
        std::memcpy(low, row, sizeof(int32_t) * h);
    } else {
        std::memcpy(low, row, sizeof(int32_t) * kEdgeValues);
        std::memcpy(low + h - kEdgeValues, row + h - kEdgeValues, sizeof(int32_t) * kEdgeValues);
    }
    if (wholeHalves) {
        std::memcpy(high, row + h, sizeof(int32_t) * h);
    } else {
        std::memcpy(high, row + h, sizeof(int32_t) * kEdgeValues);
        std::memcpy(high + h - kEdgeValues, row + n - kEdgeValues, sizeof(int32_t) * kEdgeValues);
    }
    FillHalfGuards(low, high, h);
    RowTaps<EvenCount, OddCount> t;
    BroadcastTaps<EvenCount>(f.even, t.even);
    BroadcastTaps<OddCount>(f.odd, t.odd);
    t.shift = _mm_cvtsi32_si128(kSynthesisShift);
    t.offset = _mm256_set1_epi32(out.offset);
    const bool clear = ToSamples && out.clear;
    int k = 0;
    if (h >= 8) {
        SynthesiseSixteen<EvenCount, OddCount, ToSamples>(t, low, high, 0, row, out);
        k = 8;
    }
    // The steps whose taps stay inside both halves read them where they are.
    const int32_t* lowInside = ToSamples ? row : low;
    if (clear) {
        for (; k + 8 + kTapReach < h; k += 8) {
            SynthesiseSixteen<EvenCount, OddCount, ToSamples>(t, lowInside, row + h, k, row, out);
            StoreEight(row + k - 8, _mm256_setzero_si256());
            StoreEight(row + h + k - 8, _mm256_setzero_si256());
        }
    } else {
        for (; k + 8 + kTapReach < h; k += 8)
            SynthesiseSixteen<EvenCount, OddCount, ToSamples>(t, lowInside, row + h, k, row, out);
    }
    const int cleared = clear ? std::max(k - 8, 0) : 0;
    for (; k + 8 <= h; k += 8)
        SynthesiseSixteen<EvenCount, OddCount, ToSamples>(t, low, high, k, row, out);
    if (k < h) {
        int32_t* evenOut = scratch.acc.data();
        int32_t* oddOut = scratch.acc.data() + h;
        SplitTapsInOnePass<EvenCount, true>(evenOut, low + k, high + k, f.even, h - k,
                                            kSynthesisShift);
        SplitTapsInOnePass<OddCount, false>(oddOut, high + k, low + k, f.odd, h - k,
                                            kSynthesisShift);
        for (int j = 0; j < h - k; ++j) {
            const int at = 2 * (k + j);
            if constexpr (ToSamples) {
                out.samples[at] = ToSample(evenOut[j], out.offset);
                out.samples[at + 1] = ToSample(oddOut[j], out.offset);
            } else {
                row[at] = evenOut[j];
                row[at + 1] = oddOut[j];
            }
        }
    }
    if (clear) {
        std::fill(row + cleared, row + h, 0);
        std::fill(row + h + cleared, row + n, 0);
    }
}

template <bool ToSamples>
QX_AVX2 void SynthesiseRowsAvx2(int32_t* plane, int width, int r0, int r1, int bw,
                                const SynthesisFilter& f, WaveletLane& lane,
                                const SampleTarget* target) {
    for (int r = r0; r < r1; ++r) {
        const size_t at = static_cast<size_t>(r) * width;
        int32_t* row = plane + at;
        const SampleRow out =
            ToSamples ? SampleRow{target->samples + at, target->offset, at < target->clearCount}
                      : SampleRow{nullptr, 0, false};
        if (f.evenTaps == 4 && f.oddTaps == 5) {
            SynthesiseRowAvx2<4, 5, ToSamples>(row, bw, f, lane, out);
        } else if (f.evenTaps == 2 && f.oddTaps == 3) {
            SynthesiseRowAvx2<2, 3, ToSamples>(row, bw, f, lane, out);
        } else {
            SynthesiseRow(row, bw, f, lane);
            if (ToSamples) RowToSamples(row, bw, out);
        }
    }
}

QX_VECTOR_CLONES void SynthesiseRows(int32_t* plane, int width, int r0, int r1, int bw,
                                     const SynthesisFilter& f, WaveletLane& lane,
                                     const SampleTarget* target) {
    for (int r = r0; r < r1; ++r) {
        const size_t at = static_cast<size_t>(r) * width;
        SynthesiseRow(plane + at, bw, f, lane);
        if (target)
            RowToSamples(plane + at, bw,
                         {target->samples + at, target->offset, at < target->clearCount});
    }
}

QX_VECTOR_CLONES void SynthesiseColumnRange(int32_t* plane, int width, int x0, int x1, int bh,
                                            const SynthesisFilter& f, WaveletLane& lane) {
    SynthesiseColumns<PortableStrips>(plane, width, x0, x1, bh, f, lane);
}

QX_AVX2 void SynthesiseColumnRangeAvx2(int32_t* plane, int width, int x0, int x1, int bh,
                                       const SynthesisFilter& f, WaveletLane& lane) {
    SynthesiseColumns<Avx2Strips>(plane, width, x0, x1, bh, f, lane);
}

QX_VECTOR_CLONES void RemoveOffset(const int16_t* samples, int32_t* plane, size_t count,
                                   int levelOffset) {
    for (size_t i = 0; i < count; ++i) plane[i] = samples[i] - levelOffset;
}

// Columns x0 ... x1-1 of a band, split between two lanes when the band is large.
void ColumnsInLanes(int32_t* plane, int width, int x0, int x1, int bh, const AnalysisFilter& f,
                    WaveletScratch& scratch, bool split) {
    ShareOut(split ? scratch.helper : nullptr, x0, x1, kChunk, [&](int lane, int a, int b) {
        if (scratch.avx2Loops) {
            AnalyseColumnRangeAvx2(plane, width, a, b, bh, f, scratch.lanes[lane]);
        } else {
            AnalyseColumnRange(plane, width, a, b, bh, f, scratch.lanes[lane]);
        }
    });
}

// The two largest levels filter whole strips of 16 columns of a band bw wide; the columns past
// the last full strip stay as the rows left them.
constexpr int FilteredColumns(int bw) {
    return bw / 16 * 16;
}

// The row filter of every level, and the column filter of the first.
const AnalysisFilter& RowFilter(bool nineSeven) {
    return nineSeven ? kFilter97 : kRows53;
}
const AnalysisFilter& FirstColumnFilter(bool nineSeven) {
    return nineSeven ? kFilter97 : kColumns53Level2Left;
}

// One level as a row pass over the band, then a column pass.
void AnalyseLevel(const int16_t* samples, int levelOffset, int32_t* plane, int width, int bw,
                  int bh, int level, bool rowsFromSamples, bool nineSeven, WaveletScratch& scratch,
                  bool split) {
    const AnalysisFilter& rowFilter = RowFilter(nineSeven);
    ShareOut(split ? scratch.helper : nullptr, 0, bh, 1, [&](int lane, int r0, int r1) {
        WaveletLane& l = scratch.lanes[lane];
        const bool fromSamples = level == 1 && rowsFromSamples;
        if (scratch.avx2Loops && fromSamples) {
            AnalyseSampleRowsAvx2(samples, levelOffset, plane, width, r0, r1, rowFilter, l);
        } else if (scratch.avx2Loops) {
            AnalyseRowsAvx2(plane, width, r0, r1, bw, rowFilter, l);
        } else if (fromSamples) {
            AnalyseSampleRows(samples, levelOffset, plane, width, r0, r1, rowFilter, l);
        } else {
            AnalyseRows(plane, width, r0, r1, bw, rowFilter, l);
        }
    });
    if (level <= 2) {
        const int covered = FilteredColumns(bw);
        if (level == 1) {
            ColumnsInLanes(plane, width, 0, covered, bh, FirstColumnFilter(nineSeven), scratch,
                           split);
        } else {
            const int half = std::min(bw / 2, covered);
            ColumnsInLanes(plane, width, 0, half, bh, kColumns53Level2Left, scratch, split);
            ColumnsInLanes(plane, width, half, covered, bh, kColumns53Level2Right, scratch, split);
        }
    } else {
        ColumnsInLanes(plane, width, 0, bw / 2, bh, kColumns53UpperLeft, scratch, split);
        ColumnsInLanes(plane, width, bw / 2, bw, bh, kColumns53UpperRight, scratch, split);
    }
}

// The first level in one pass (AnalyseFirstLevelFused), its outputs shared between the lanes.
void AnalyseFirstLevel(const int16_t* samples, int levelOffset, int32_t* plane, int width,
                       int height, bool nineSeven, WaveletScratch& scratch, bool split) {
    const AnalysisFilter& rowFilter = RowFilter(nineSeven);
    const AnalysisFilter& columnFilter = FirstColumnFilter(nineSeven);
    const int covered = FilteredColumns(width);
    const int half = height / 2;
    std::array<RingPlace, 2> places;
    ShareOut(split ? scratch.helper : nullptr, 0, half, 1, [&](int lane, int k0, int k1) {
        WaveletLane& l = scratch.lanes[static_cast<size_t>(lane)];
        RingPlace& place = places[static_cast<size_t>(lane)];
        if (nineSeven) {
            AnalyseFirstLevelFused<5, 4>(samples, levelOffset, plane, width, height, covered, k0,
                                         k1, rowFilter, columnFilter, l, place);
        } else {
            AnalyseFirstLevelFused<3, 2>(samples, levelOffset, plane, width, height, covered, k0,
                                         k1, rowFilter, columnFilter, l, place);
        }
    });
}

}  // namespace

bool Avx2LoopsAvailable() {
    return ProcessorRunsAvx2();
}

WaveletResult ForwardWavelet(const int16_t* samples, int32_t* plane, int width, int height,
                             int minBandSize, int levelOffset, int firstLevelFilter,
                             WaveletScratch& scratch) {
    const int levels = ComputeWaveletGeometry(width, height, minBandSize).levels;
    // The first rows write every sample of the plane only when they have even length.
    const bool rowsFromSamples = levels > 0 && width % 2 == 0;
    if (!rowsFromSamples) {
        ShareSamples(scratch.helper, width, height, [&](size_t first, size_t n) {
            RemoveOffset(samples + first, plane + first, n, levelOffset);
        });
    }

    WaveletResult result{0, width, height, width, height};
    int bw = width;
    int bh = height;
    bool nineSeven = (firstLevelFilter == 0);
    Reserve(scratch, std::max(width, height), height);
    for (int level = 1; level <= levels; ++level) {
        const bool split = bw * bh >= kSplitFromSamples;
        // A column shorter than the ring is left to the two passes, as are the portable loops.
        if (level == 1 && rowsFromSamples && scratch.avx2Loops && height >= 2 * kRingRows) {
            AnalyseFirstLevel(samples, levelOffset, plane, width, height, nineSeven, scratch,
                              split);
        } else {
            AnalyseLevel(samples, levelOffset, plane, width, bw, bh, level, rowsFromSamples,
                         nineSeven, scratch, split);
        }
        result.lastWidth = bw;
        result.lastHeight = bh;
        ++result.levels;
        nineSeven = false;
        bw /= 2;
        bh /= 2;
    }
    result.lowWidth = bw;
    result.lowHeight = bh;
    return result;
}

namespace {

// The levels of InverseWavelet; the last level's rows go to target when it is set.
void ComposeLevels(int32_t* plane, int lastWidth, int lastHeight, int width, int levels,
                   int firstLevelFilter, WaveletScratch& scratch, const SampleTarget* target) {
    int bw = lastWidth;
    int bh = lastHeight;
    bool nineSeven = (levels == 1 && firstLevelFilter == 0);
    const int tallest = bh << std::max(levels - 1, 0);
    Reserve(scratch, std::max(width, tallest), tallest);
    for (int level = levels; level > 0; --level) {
        const SynthesisFilter& f = nineSeven ? kSynthesis97 : kSynthesis53;
        const bool split = bw * bh >= kSplitFromSamples;
        const int columns = (level <= 2) ? bw / 16 * 16 : bw;
        ShareOut(
            split ? scratch.helper : nullptr, 0, columns, kChunk, [&](int lane, int x0, int x1) {
                if (scratch.avx2Loops) {
                    SynthesiseColumnRangeAvx2(plane, width, x0, x1, bh, f, scratch.lanes[lane]);
                } else {
                    SynthesiseColumnRange(plane, width, x0, x1, bh, f, scratch.lanes[lane]);
                }
            });
        const SampleTarget* out = level == 1 ? target : nullptr;
        ShareOut(split ? scratch.helper : nullptr, 0, bh, 1, [&](int lane, int r0, int r1) {
            WaveletLane& l = scratch.lanes[lane];
            if (scratch.avx2Loops && out) {
                SynthesiseRowsAvx2<true>(plane, width, r0, r1, bw, f, l, out);
            } else if (scratch.avx2Loops) {
                SynthesiseRowsAvx2<false>(plane, width, r0, r1, bw, f, l, nullptr);
            } else {
                SynthesiseRows(plane, width, r0, r1, bw, f, l, out);
            }
        });
        bw *= 2;
        bh *= 2;
        if (level - 1 == 1 && firstLevelFilter == 0) nineSeven = true;
    }
}

}  // namespace

void InverseWavelet(int32_t* plane, int lastWidth, int lastHeight, int width, int levels,
                    int firstLevelFilter, WaveletScratch& scratch) {
    ComposeLevels(plane, lastWidth, lastHeight, width, levels, firstLevelFilter, scratch, nullptr);
}

bool InverseWaveletToSamples(int32_t* plane, int lastWidth, int lastHeight, int width, int height,
                             int levels, int firstLevelFilter, WaveletScratch& scratch,
                             const SampleTarget& target) {
    const int shift = levels - 1;
    if (levels < 1 || (int64_t{lastWidth} << shift) != width ||
        (int64_t{lastHeight} << shift) != height)
        return false;
    ComposeLevels(plane, lastWidth, lastHeight, width, levels, firstLevelFilter, scratch, &target);
    return true;
}

}  // namespace qx
