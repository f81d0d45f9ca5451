// Load-time smoothing of busy areas and the per-picture channel analysis.
#include "codec/load_analysis.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/buffer.h"
#include "codec/busy_rows_wide.h"
#include "codec/pixel_lanes_avx2.h"
#include "codec/vector_clones.h"

namespace qx {
namespace {

// Activity thresholds (sum of the three channel ranges) and the two smoothing weights: the
// centre counts 16 (or 20) times, the neighbour sum once, scaled by 5/128 (or 9/256).
constexpr int kStrongSmoothing = 360;
constexpr int kLightSmoothing = 330;

// A busy window's three channel ranges add up to kLightSmoothing, so one of them at least reaches
// a third of it: only the pixels with such a channel are measured in full.
constexpr int kCandidateRange = (kLightSmoothing + 2) / 3;

}  // namespace

// Per-row working arrays, one entry per channel byte of the row; the candidate flags have eight
// zero flags of padding so that they can be read eight at a time, and their first and last
// pixels' flags stay 0. The column extremes are written before they are read, so they start
// uninitialised. Two rows keep the original bytes of the latest rows smoothed in place.
struct SmoothingRows::Scratch {
    explicit Scratch(size_t bytes)
        : columnLow(bytes),
          columnHigh(bytes),
          candidate(bytes + 8, 0),
          kept{Buffer<uint8_t>(bytes), Buffer<uint8_t>(bytes)} {}
    Buffer<uint8_t> columnLow, columnHigh;  // of the three source samples above each other
    std::vector<uint8_t> candidate;  // 1 where the sample's 3 x 3 window spans kCandidateRange
    Buffer<uint8_t> kept[2];
};

SmoothingRows::SmoothingRows() = default;
SmoothingRows::~SmoothingRows() = default;

SmoothingRows::Scratch& SmoothingRows::scratch(size_t rowBytes) {
    if (!scratch_ || scratch_->columnLow.size() != rowBytes)
        scratch_ = std::make_unique<Scratch>(rowBytes);
    return *scratch_;
}

namespace {

using RowScratch = SmoothingRows::Scratch;

inline void WriteSmoothed(uint8_t* out, const uint8_t* centre, const int* neighbours,
                          int activity) {
    for (int ch = 0; ch < 3; ++ch) {
        const int c = centre[ch];
        out[ch] = static_cast<uint8_t>(activity >= kStrongSmoothing
                                           ? ((16 * c + neighbours[ch]) * 5) >> 7
                                           : ((20 * c + neighbours[ch]) * 9) >> 8);
    }
}

// The first x in from ... last with a candidate channel, or last + 1.
inline int NextCandidate(const uint8_t* candidate, int from, int last) {
    size_t i = 3 * static_cast<size_t>(from);
    const size_t end = 3 * static_cast<size_t>(last) + 3;
    for (; i + 8 <= end; i += 8) {
        uint64_t flags;
        std::memcpy(&flags, candidate + i, sizeof flags);
        if (flags != 0) return static_cast<int>((i + std::countr_zero(flags) / 8) / 3);
    }
    while (i < end && !candidate[i]) ++i;
    return static_cast<int>(i / 3);
}

// Smooths one interior row into out, which holds the middle row's bytes already. The column
// extremes and the candidate flags are measured on the source alone, which the compiler vectorises;
// a pixel whose left neighbour was smoothed is measured again with that neighbour's output as its
// middle-left sample. Any other pixel is smoothed only when its source window is busy, so the walk
// jumps from one candidate to the next.
QX_VECTOR_CLONES void SmoothRow(const uint8_t* __restrict above, const uint8_t* __restrict middle,
                                const uint8_t* __restrict below, uint8_t* __restrict out, int width,
                                RowScratch& scratch) {
    const size_t bytes = static_cast<size_t>(width) * 3;
    // The rows and the scratch arrays do not overlap.
    uint8_t* __restrict low = scratch.columnLow.data();
    uint8_t* __restrict high = scratch.columnHigh.data();
    for (size_t i = 0; i < bytes; ++i) {
        const uint8_t a = above[i], b = middle[i], c = below[i];
        low[i] = std::min(a, std::min(b, c));
        high[i] = std::max(a, std::max(b, c));
    }
    // Byte arithmetic throughout (hi >= lo), so that the loop is vectorised in full; most rows
    // of a picture have no candidate at all and need no walk.
    uint8_t* __restrict candidate = scratch.candidate.data();
    uint8_t anyCandidate = 0;
    for (size_t i = 3; i + 3 < bytes; ++i) {
        const uint8_t lo = std::min(low[i - 3], std::min(low[i], low[i + 3]));
        const uint8_t hi = std::max(high[i - 3], std::max(high[i], high[i + 3]));
        const uint8_t flag = static_cast<uint8_t>(hi - lo) >= kCandidateRange ? 1 : 0;
        candidate[i] = flag;
        anyCandidate |= flag;
    }
    if (!anyCandidate) return;
    const auto columnSum = [&](size_t k) { return above[k] + middle[k] + below[k]; };

    const int last = width - 2;
    bool leftSmoothed = false;
    for (int x = 1; x <= last; ++x) {
        int activity = 0;
        int neighbours[3];
        const size_t i = 3 * static_cast<size_t>(x);
        if (!leftSmoothed) {
            x = NextCandidate(candidate, x, last);
            if (x > last) break;
            const size_t c = 3 * static_cast<size_t>(x);
            for (size_t k = c; k < c + 3; ++k) {
                const int lo = std::min({low[k - 3], low[k], low[k + 3]});
                const int hi = std::max({high[k - 3], high[k], high[k + 3]});
                activity += hi - lo;
            }
            if (activity < kLightSmoothing) continue;
            for (int ch = 0; ch < 3; ++ch) {
                const size_t k = c + ch;
                neighbours[ch] = columnSum(k - 3) + columnSum(k) + columnSum(k + 3) - middle[k];
            }
        } else {
            for (int ch = 0; ch < 3; ++ch) {
                const size_t k = i + ch;
                const int up = above[k - 3], left = out[k - 3], down = below[k - 3];
                const int lo = std::min({up, left, down, int{low[k]}, int{low[k + 3]}});
                const int hi = std::max({up, left, down, int{high[k]}, int{high[k + 3]}});
                activity += hi - lo;
                neighbours[ch] = up + left + down + columnSum(k) + columnSum(k + 3) - middle[k];
            }
            if (activity < kLightSmoothing) {
                leftSmoothed = false;
                continue;
            }
        }
        const size_t at = 3 * static_cast<size_t>(x);
        WriteSmoothed(out + at, middle + at, neighbours, activity);
        leftSmoothed = true;
    }
}

}  // namespace

const uint8_t* SmoothBusyRowsInPlace(uint8_t* picture, int width, int length, int begin, int end,
                                     const uint8_t* above, const uint8_t* below,
                                     SmoothingRows& rows) {
    const size_t rowBytes = static_cast<size_t>(std::max(width, 0)) * 3;
    const bool smoothed = width >= 3 && length >= 3;
    // Where the processor can, a first look without stores passes over the rows with nothing
    // to smooth, most of a picture.
    const bool look = ProcessorRunsWide();
    const uint8_t* original = above;  // of the row before y
    RowScratch* scratch = nullptr;    // made for the first row smoothed
    int keep = 0;                     // the kept row that the next row smoothed saves itself in
    for (int y = std::max(begin, 0); y < std::min(end, length); ++y) {
        uint8_t* row = picture + y * rowBytes;
        const uint8_t* next = y + 1 < end ? row + rowBytes : below;
        if (!smoothed || y == 0 || y == length - 1 ||
            (look && !RowHasBusyWindow(original, row, next, rowBytes, kCandidateRange))) {
            original = row;
            continue;
        }
        if (!scratch) scratch = &rows.scratch(rowBytes);
        uint8_t* saved = scratch->kept[keep].data();
        keep ^= 1;
        std::memcpy(saved, row, rowBytes);
        SmoothRow(original, saved, next, row, width, *scratch);
        original = saved;
    }
    return original;
}

void SmoothBusyAreas(const uint8_t* source, uint8_t* destination, int width, int length) {
    const size_t rowBytes = static_cast<size_t>(std::max(width, 0)) * 3;
    std::memcpy(destination, source, rowBytes * static_cast<size_t>(std::max(length, 0)));
    SmoothingRows rows;
    SmoothBusyRowsInPlace(destination, width, length, 0, length, nullptr, nullptr, rows);
}

namespace {

// Sums over one row: horizontal activity per channel, and the values and counts of the pixels
// whose red (or green) channel is at least as large as the other two.
struct RowSums {
    uint32_t activity[3];
    uint32_t red, redCount, green, greenCount;
};

// The sums of pixels first ... width - 1 of a row (first >= 1), added to sums. Branch-free so that
// the compiler vectorises it. One row's sums stay far below 2^32 (1024 pixels of at most 255).
QX_VECTOR_CLONES void SumRow(const uint8_t* row, int first, int width, RowSums& sums) {
    uint32_t a0 = 0, a1 = 0, a2 = 0, red = 0, redCount = 0, green = 0, greenCount = 0;
    for (int x = first; x < width; ++x) {
        const uint8_t* px = row + 3 * x;
        const int r = px[0], g = px[1], b = px[2];
        a0 += static_cast<uint32_t>(std::abs(r - px[-3]));
        a1 += static_cast<uint32_t>(std::abs(g - px[-2]));
        a2 += static_cast<uint32_t>(std::abs(b - px[-1]));
        // A pixel whose two largest channels are equal counts for both.
        const uint32_t greenLeads = static_cast<uint32_t>(r <= g) & static_cast<uint32_t>(b <= g);
        const uint32_t redLeads = static_cast<uint32_t>(g <= r) & static_cast<uint32_t>(b <= r);
        green += static_cast<uint32_t>(g) & (0u - greenLeads);
        greenCount += greenLeads;
        red += static_cast<uint32_t>(r) & (0u - redLeads);
        redCount += redLeads;
    }
    sums.activity[0] += a0;
    sums.activity[1] += a1;
    sums.activity[2] += a2;
    sums.red += red;
    sums.redCount += redCount;
    sums.green += green;
    sums.greenCount += greenCount;
}

// Adds the sums of sixteen pixels (lanes as LoadSixteenPixels leaves them) to 16-bit lanes:
// activity of each channel, red sum and count, green sum and count. Lanes outside `valid` add 0.
QX_AVX2 inline void AddSixteen(const avx2::SixteenPixels& now, const avx2::SixteenPixels& before,
                               __m256i valid, __m256i* part) {
    for (int c = 0; c < 3; ++c) {
        const __m256i change = _mm256_sub_epi16(now.channel[c], before.channel[c]);
        part[c] = _mm256_add_epi16(part[c], _mm256_and_si256(_mm256_abs_epi16(change), valid));
    }
    // A channel leads where it is the largest; equal largest channels both lead.
    const __m256i r = now.channel[0], g = now.channel[1];
    const __m256i top = _mm256_max_epi16(r, _mm256_max_epi16(g, now.channel[2]));
    const __m256i redLeads = _mm256_and_si256(_mm256_cmpeq_epi16(r, top), valid);
    const __m256i greenLeads = _mm256_and_si256(_mm256_cmpeq_epi16(g, top), valid);
    part[3] = _mm256_add_epi16(part[3], _mm256_and_si256(r, redLeads));
    part[4] = _mm256_sub_epi16(part[4], redLeads);
    part[5] = _mm256_add_epi16(part[5], _mm256_and_si256(g, greenLeads));
    part[6] = _mm256_sub_epi16(part[6], greenLeads);
}

QX_AVX2 inline void Widen(__m256i* part, __m256i* total) {
    const __m256i zero = _mm256_setzero_si256();
    for (int k = 0; k < 7; ++k) {
        total[k] =
            _mm256_add_epi32(total[k], _mm256_add_epi32(_mm256_unpacklo_epi16(part[k], zero),
                                                        _mm256_unpackhi_epi16(part[k], zero)));
        part[k] = zero;
    }
}

// SumRow sixteen pixels at a time with each channel in 16-bit lanes: the compiler's own vector
// code has to reorder the channels byte by byte.
QX_AVX2 void SumRowAvx2(const uint8_t* row, int first, int width, RowSums& sums) {
    using avx2::LoadSixteenPixels;
    const __m256i all = _mm256_set1_epi16(-1);
    __m256i total[7], part[7];
    for (int k = 0; k < 7; ++k) total[k] = part[k] = _mm256_setzero_si256();
    int x = first;
    // Two pixels beyond the step keep the loads inside the row; 16-bit lanes take 64 steps (at
    // most 64 x 255 each).
    for (int step = 1; x + 18 <= width; ++step, x += 16) {
        const uint8_t* px = row + 3 * static_cast<size_t>(x);
        AddSixteen(LoadSixteenPixels(px), LoadSixteenPixels(px - 3), all, part);
        if (step % 64 == 0) Widen(part, total);
    }
    // The last pixels (at most 17) from a copy with room for the loads, in steps whose lanes
    // past the row's end add nothing.
    if (x < width) {
        alignas(32) uint8_t copy[128] = {};
        std::memcpy(copy, row + 3 * static_cast<size_t>(x - 1),
                    3 * static_cast<size_t>(width - x + 1));
        const __m256i pixelOfLane =
            _mm256_setr_epi16(0, 1, 2, 3, 8, 9, 10, 11, 4, 5, 6, 7, 12, 13, 14, 15);
        for (int done = 0; x + done < width; done += 16) {
            const __m256i valid = _mm256_cmpgt_epi16(
                _mm256_set1_epi16(static_cast<int16_t>(width - x - done)), pixelOfLane);
            const uint8_t* px = copy + 3 + 3 * done;
            AddSixteen(LoadSixteenPixels(px), LoadSixteenPixels(px - 3), valid, part);
        }
    }
    Widen(part, total);
    sums.activity[0] += avx2::LaneSum(total[0]);
    sums.activity[1] += avx2::LaneSum(total[1]);
    sums.activity[2] += avx2::LaneSum(total[2]);
    sums.red += avx2::LaneSum(total[3]);
    sums.redCount += avx2::LaneSum(total[4]);
    sums.green += avx2::LaneSum(total[5]);
    sums.greenCount += avx2::LaneSum(total[6]);
}

}  // namespace

void PictureSums::add(const PictureSums& other) {
    for (int ch = 0; ch < 3; ++ch) activity[ch] += other.activity[ch];
    redSum += other.redSum;
    redCount += other.redCount;
    greenSum += other.greenSum;
    greenCount += other.greenCount;
}

void AddRowSums(const uint8_t* row, int first, int width, PictureSums& sums) {
    RowSums s{};
    if (ProcessorRunsAvx2()) {
        SumRowAvx2(row, first, width, s);
    } else {
        SumRow(row, first, width, s);
    }
    for (int ch = 0; ch < 3; ++ch) sums.activity[ch] += s.activity[ch];
    sums.redSum += s.red;
    sums.redCount += s.redCount;
    sums.greenSum += s.green;
    sums.greenCount += s.greenCount;
}

void AddPictureSums(const uint8_t* picture, int width, int begin, int end, PictureSums& sums) {
    const size_t rowBytes = static_cast<size_t>(std::max(width, 0)) * 3;
    for (int y = begin; y < end; ++y) AddRowSums(picture + y * rowBytes, 1, width, sums);
}

void AnalysePicture(const uint8_t* picture, int width, int length, CodecParameters& params) {
    PictureSums sums;
    AddPictureSums(picture, width, 0, length, sums);
    FinishAnalysis(sums, width, length, params);
}

void FinishAnalysis(const PictureSums& sums, int width, int length, CodecParameters& params) {
    const uint64_t* activity = sums.activity;
    const uint64_t redSum = sums.redSum, redCount = sums.redCount;
    const uint64_t greenSum = sums.greenSum, greenCount = sums.greenCount;

    // A dominance mean counts only when more than 100 pixels support it.
    const uint64_t redMean = redCount > 100 ? redSum / redCount : 0;
    const uint64_t greenMean = greenCount > 100 ? greenSum / greenCount : 0;
    params.ReferenceChannel = (activity[0] < activity[1] && redMean < greenMean) ? 0 : 1;

    const uint64_t samples = width > 1 && length > 0
                                 ? static_cast<uint64_t>(width - 1) * static_cast<uint64_t>(length)
                                 : 0;
    for (int ch = 0; ch < 3; ++ch) {
        params.ChannelActivity[ch] = samples ? static_cast<int32_t>(activity[ch] / samples) : 0;
    }

    const auto& a = params.ChannelActivity;
    if (a[0] < 2 || a[1] < 2 || a[2] < 2) {
        params.ToneSelect = 0xFF;  // table 3 for every channel
        return;
    }
    uint8_t select = 0;
    for (int ch = 0; ch < 3; ++ch) {
        const int table = a[ch] <= 8 ? 0 : a[ch] == 9 ? 1 : 2;
        select = static_cast<uint8_t>(select | (table << (2 * ch)));
    }
    params.ToneSelect = select;
}

}  // namespace qx
