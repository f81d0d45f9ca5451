#include "codec/wavelet.h"

#include <algorithm>
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
constexpr int kChunk = 64;  // columns filtered side by side

// Mirrors the guard samples of a line of n samples without repeating the edge sample; `step`
// is the distance between neighbouring samples.
template <typename T>
void MirrorGuards(T* x, int n, int step) {
    for (int k = 1; k <= kGuard; ++k) {
        const int left = std::min(k, n - 1);
        const int right = std::max(n - 1 - k, 0);
        std::memcpy(x - k * step, x + left * step, sizeof(T) * step);
        std::memcpy(x + (n - 1 + k) * step, x + right * step, sizeof(T) * step);
    }
}

void AnalyseLine(int32_t* x, int n, const AnalysisFilter& f, int32_t* low, int32_t* high) {
    MirrorGuards(x, n, 1);
    const int half = n / 2;
    for (int k = 0; k < half; ++k) {
        const int32_t* c = x + 2 * k;
        int32_t s = f.low[0] * c[0];
        for (int d = 1; d < f.lowTaps; ++d) s += f.low[d] * (c[-d] + c[d]);
        low[k] = s >> f.lowShift;
        const int32_t* h = c + 1;
        int32_t t = f.high[0] * h[0];
        for (int d = 1; d < f.highTaps; ++d) t += f.high[d] * (h[-d] + h[d]);
        high[k] = t >> f.highShift;
    }
}

// Filters columns x0 ... x1-1 of a band of `height` rows, a chunk of adjacent columns at a
// time so that every step works on contiguous samples.
void AnalyseColumns(int32_t* plane, int stride, int x0, int x1, int height, const AnalysisFilter& f,
                    std::vector<int32_t>& strip) {
    strip.resize(static_cast<size_t>(height + 2 * kGuard) * kChunk);
    const int half = height / 2;
    for (int xa = x0; xa < x1; xa += kChunk) {
        const int nc = std::min(kChunk, x1 - xa);
        int32_t* s = strip.data() + kGuard * nc;
        for (int r = 0; r < height; ++r)
            std::memcpy(s + r * nc, plane + static_cast<size_t>(r) * stride + xa,
                        sizeof(int32_t) * nc);
        MirrorGuards(s, height, nc);
        int32_t acc[kChunk];
        for (int k = 0; k < half; ++k) {
            const int32_t* c = s + 2 * k * nc;
            for (int j = 0; j < nc; ++j) acc[j] = f.low[0] * c[j];
            for (int d = 1; d < f.lowTaps; ++d)
                for (int j = 0; j < nc; ++j) acc[j] += f.low[d] * (c[j - d * nc] + c[j + d * nc]);
            int32_t* outLow = plane + static_cast<size_t>(k) * stride + xa;
            for (int j = 0; j < nc; ++j) outLow[j] = acc[j] >> f.lowShift;

            const int32_t* h = c + nc;
            for (int j = 0; j < nc; ++j) acc[j] = f.high[0] * h[j];
            for (int d = 1; d < f.highTaps; ++d)
                for (int j = 0; j < nc; ++j) acc[j] += f.high[d] * (h[j - d * nc] + h[j + d * nc]);
            int32_t* outHigh = plane + static_cast<size_t>(half + k) * stride + xa;
            for (int j = 0; j < nc; ++j) outHigh[j] = acc[j] >> f.highShift;
        }
    }
}

// Tap sums of the synthesis are formed in 64 bits and truncated to 32, which keeps damaged
// coefficient values defined.
inline int32_t Narrow(int64_t sum) {
    return static_cast<int32_t>(sum) >> kSynthesisShift;
}

void SynthesiseLine(int64_t* y, int n, const SynthesisFilter& f, int32_t* out) {
    MirrorGuards(y, n, 1);
    for (int m = 0; m < n; m += 2) {
        const int64_t* e = y + m;
        int64_t s = int64_t{f.even[0]} * e[0];
        for (int d = 1; d < f.evenTaps; ++d) s += int64_t{f.even[d]} * (e[-d] + e[d]);
        out[m] = Narrow(s);
        const int64_t* o = e + 1;
        int64_t t = int64_t{f.odd[0]} * o[0];
        for (int d = 1; d < f.oddTaps; ++d) t += int64_t{f.odd[d]} * (o[-d] + o[d]);
        out[m + 1] = Narrow(t);
    }
}

void SynthesiseColumns(int32_t* plane, int stride, int x0, int x1, int height,
                       const SynthesisFilter& f, std::vector<int64_t>& strip) {
    strip.resize(static_cast<size_t>(height + 2 * kGuard) * kChunk);
    const int half = height / 2;
    for (int xa = x0; xa < x1; xa += kChunk) {
        const int nc = std::min(kChunk, x1 - xa);
        int64_t* s = strip.data() + kGuard * nc;
        for (int m = 0; m < height; ++m) {
            const int row = (m % 2 == 0) ? m / 2 : half + m / 2;
            const int32_t* in = plane + static_cast<size_t>(row) * stride + xa;
            int64_t* dst = s + m * nc;
            for (int j = 0; j < nc; ++j) dst[j] = in[j];
        }
        MirrorGuards(s, height, nc);
        int64_t acc[kChunk];
        for (int m = 0; m < height; ++m) {
            const bool even = (m % 2 == 0);
            const int* taps = even ? f.even : f.odd;
            const int count = even ? f.evenTaps : f.oddTaps;
            const int64_t* c = s + m * nc;
            for (int j = 0; j < nc; ++j) acc[j] = taps[0] * c[j];
            for (int d = 1; d < count; ++d)
                for (int j = 0; j < nc; ++j) acc[j] += taps[d] * (c[j - d * nc] + c[j + d * nc]);
            int32_t* out = plane + static_cast<size_t>(m) * stride + xa;
            for (int j = 0; j < nc; ++j) out[j] = Narrow(acc[j]);
        }
    }
}

}  // namespace

WaveletResult ForwardWavelet(const int16_t* samples, int32_t* plane, int width, int height,
                             int minBandSize, int levelOffset, int firstLevelFilter,
                             WaveletScratch& scratch) {
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i) plane[i] = samples[i] - levelOffset;

    WaveletResult result{0, width, height, width, height};
    int bw = width;
    int bh = height;
    bool nineSeven = (firstLevelFilter == 0);
    scratch.line.resize(static_cast<size_t>(std::max(width, height)) + 2 * kGuard);
    while (bw % 2 == 0 && bh % 2 == 0 && bw >= minBandSize && bh >= minBandSize && bw > 0) {
        const int level = result.levels + 1;
        int32_t* line = scratch.line.data() + kGuard;
        const AnalysisFilter& rowFilter = nineSeven ? kFilter97 : kRows53;
        for (int r = 0; r < bh; ++r) {
            int32_t* row = plane + static_cast<size_t>(r) * width;
            std::memcpy(line, row, sizeof(int32_t) * bw);
            AnalyseLine(line, bw, rowFilter, row, row + bw / 2);
        }
        if (level <= 2) {
            // The two largest levels filter whole strips of 16 columns; columns past the last
            // full strip stay unfiltered.
            const int covered = bw / 16 * 16;
            if (level == 1 && nineSeven) {
                AnalyseColumns(plane, width, 0, covered, bh, kFilter97, scratch.strip);
            } else if (level == 1) {
                AnalyseColumns(plane, width, 0, covered, bh, kColumns53Level2Left, scratch.strip);
            } else {
                const int split = std::min(bw / 2, covered);
                AnalyseColumns(plane, width, 0, split, bh, kColumns53Level2Left, scratch.strip);
                AnalyseColumns(plane, width, split, covered, bh, kColumns53Level2Right,
                               scratch.strip);
            }
        } else {
            AnalyseColumns(plane, width, 0, bw / 2, bh, kColumns53UpperLeft, scratch.strip);
            AnalyseColumns(plane, width, bw / 2, bw, bh, kColumns53UpperRight, scratch.strip);
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

void InverseWavelet(int32_t* plane, int lastWidth, int lastHeight, int width, int levels,
                    int firstLevelFilter, WaveletScratch& scratch) {
    int bw = lastWidth;
    int bh = lastHeight;
    bool nineSeven = (levels == 1 && firstLevelFilter == 0);
    scratch.wideLine.resize(static_cast<size_t>(std::max(width, bh) + std::max(bw, bh)) +
                            2 * kGuard);
    for (int level = levels; level > 0; --level) {
        const SynthesisFilter& f = nineSeven ? kSynthesis97 : kSynthesis53;
        const int columns = (level <= 2) ? bw / 16 * 16 : bw;
        SynthesiseColumns(plane, width, 0, columns, bh, f, scratch.wideStrip);

        int64_t* y = scratch.wideLine.data() + kGuard;
        const int half = bw / 2;
        for (int r = 0; r < bh; ++r) {
            int32_t* row = plane + static_cast<size_t>(r) * width;
            for (int k = 0; k < half; ++k) {
                y[2 * k] = row[k];
                y[2 * k + 1] = row[half + k];
            }
            SynthesiseLine(y, bw, f, row);
        }
        bw *= 2;
        bh *= 2;
        if (level - 1 == 1 && firstLevelFilter == 0) nineSeven = true;
    }
}

}  // namespace qx
