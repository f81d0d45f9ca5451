// Multi-level 2-D wavelet transform in integer arithmetic: 9/7 taps at the first level, 5/3
// above, Mallat layout (low band top-left).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "codec/buffer.h"

namespace qx {

struct WaveletResult {
    int levels = 0;
    int lowWidth = 0;
    int lowHeight = 0;
    // Band size at the last level that was decomposed (2 x the low band when levels > 0).
    int lastWidth = 0;
    int lastHeight = 0;
};

// Per-thread scratch of the transform: a row of samples, the even and odd halves of a line, the
// filtered halves of a row being synthesised, and a strip of adjacent columns (or a ring of rows).
// Kept between calls so nothing is allocated per line.
struct WaveletLane {
    std::vector<int16_t> samples;  // a row of samples with guards, for the first level
    std::vector<int32_t> even;
    std::vector<int32_t> odd;
    std::vector<int32_t> acc;
    // This lane's part of WaveletScratch::strips: the strips of the column passes, or the ring of
    // a first level that runs in one pass.
    int32_t* strip = nullptr;
};

class HelperThread;

// True when the processor runs the codec's explicit AVX2 loops (the wavelet's column passes, the
// block statistics).
bool Avx2LoopsAvailable();

// Large bands are split between this thread and the helper (when there is one), one lane each.
struct WaveletScratch {
    std::array<WaveletLane, 2> lanes;
    // The strips of both lanes in one block, so that they share huge pages.
    Buffer<int32_t> strips;
    // Room the owner lends for the strips (lentCount values from lent), used instead of strips
    // when it is large enough.
    int32_t* lent = nullptr;
    size_t lentCount = 0;
    HelperThread* helper = nullptr;
    // Whether those loops run; a test turns them off to compare them with the portable ones.
    bool avx2Loops = Avx2LoopsAvailable();
};

// Decomposes width x height samples (minus levelOffset) into plane. firstLevelFilter 0 selects
// 9/7 at the first level, 1 selects 5/3 everywhere.
WaveletResult ForwardWavelet(const int16_t* samples, int32_t* plane, int width, int height,
                             int minBandSize, int levelOffset, int firstLevelFilter,
                             WaveletScratch& scratch);

// Composes the plane in place from `levels` levels; lastWidth x lastHeight is the band size of
// the last decomposed level, width the plane's row stride.
void InverseWavelet(int32_t* plane, int lastWidth, int lastHeight, int width, int levels,
                    int firstLevelFilter, WaveletScratch& scratch);

// Where the composed plane can go instead of back into itself: samples, each value plus offset cut
// to 16 bits, with the plane's first clearCount coefficients left zero (at least those).
struct SampleTarget {
    int16_t* samples = nullptr;
    int32_t offset = 0;
    size_t clearCount = 0;
};

// InverseWavelet for a plane of width x height whose last level covers it whole, its rows going
// straight to target: one pass over memory less. False, with nothing done, for other planes.
bool InverseWaveletToSamples(int32_t* plane, int lastWidth, int lastHeight, int width, int height,
                             int levels, int firstLevelFilter, WaveletScratch& scratch,
                             const SampleTarget& target);

}  // namespace qx
