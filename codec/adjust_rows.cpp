#include "codec/adjust_rows.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "codec/pixel_lanes_wide.h"
#include "codec/pre_adjust_colours.h"

namespace qx {

namespace {

using namespace wide;

// For a permute of (this step's bytes, the previous step's): lane i takes byte i - 1, lane 0 the
// previous step's last byte.
constexpr auto kLeftNeighbour = [] {
    std::array<uint8_t, kRun> s{};
    s[0] = 2 * kRun - 1;
    for (int i = 1; i < kRun; ++i) s[static_cast<size_t>(i)] = static_cast<uint8_t>(i - 1);
    return s;
}();

// PreAdjustColours of 64 pixels split into channels, in 16-bit lanes, where every intermediate
// value fits: (r + g + b) x 21 <= 16065 and a distance of at most 255 times 7. The bytes are
// widened by unpacking within each 128-bit lane and packed back the same way, which restores
// their order, and the pack's unsigned saturation is the clamp to 0 ... 255.
QX_WIDE inline void AdjustSixtyFour(const __m512i* channel, __m512i* adjusted) {
    const __m512i zero = _mm512_setzero_si512();
    const __m512i factors[3] = {_mm512_set1_epi16(6), _mm512_set1_epi16(6), _mm512_set1_epi16(7)};
    __m512i halves[3][2];
    for (int half = 0; half < 2; ++half) {
        __m512i c[3];
        for (int k = 0; k < 3; ++k)
            c[k] = half ? _mm512_unpackhi_epi8(channel[k], zero)
                        : _mm512_unpacklo_epi8(channel[k], zero);
        const __m512i sum = _mm512_add_epi16(_mm512_add_epi16(c[0], c[1]), c[2]);
        const __m512i grey = _mm512_srai_epi16(_mm512_mullo_epi16(sum, _mm512_set1_epi16(21)), 6);
        for (int k = 0; k < 3; ++k) {
            const __m512i distance =
                _mm512_srai_epi16(_mm512_mullo_epi16(_mm512_sub_epi16(grey, c[k]), factors[k]), 3);
            halves[k][half] = _mm512_sub_epi16(grey, distance);
        }
    }
    for (int k = 0; k < 3; ++k) adjusted[k] = _mm512_packus_epi16(halves[k][0], halves[k][1]);
}

// total plus the byte lanes of values picked by lanes, summed in eight 64-bit lanes.
QX_WIDE inline __m512i AddLanes(__m512i total, uint64_t lanes, __m512i values) {
    const __m512i picked = _mm512_maskz_mov_epi8(lanes, values);
    return _mm512_add_epi64(total, _mm512_sad_epu8(picked, _mm512_setzero_si512()));
}

// The first n pixels of a row (width rounded down to a multiple of 64) adjusted, and the sums of
// pixels 1 ... n - 1 added to sums. Differences and lead values are summed in 64-bit lanes by
// sums of absolute differences against 0. Returns n.
QX_WIDE int AdjustAndSumRowWide(uint8_t* row, int width, PictureSums& sums) {
    const int n = width / kRun * kRun;
    const __m512i zero = _mm512_setzero_si512();
    const __m512i one = _mm512_set1_epi8(1);
    const __m512i left = _mm512_loadu_si512(kLeftNeighbour.data());
    __m512i before[3] = {zero, zero, zero};
    // activity of each channel, red sum, red count, green sum, green count
    __m512i total[7] = {zero, zero, zero, zero, zero, zero, zero};
    uint64_t counted = ~uint64_t{1};  // pixel 0 has no pixel before it
    for (int x = 0; x < n; x += kRun, counted = ~uint64_t{0}) {
        uint8_t* px = row + 3 * static_cast<size_t>(x);
        const __m512i a = Load(px);
        const __m512i b = Load(px + kRun);
        const __m512i c = Load(px + 2 * kRun);
        const __m512i channel[3] = {PermuteThree(a, b, c, kSplit, 0),
                                    PermuteThree(a, b, c, kSplit, 1),
                                    PermuteThree(a, b, c, kSplit, 2)};
        __m512i adjusted[3];
        AdjustSixtyFour(channel, adjusted);
        for (int o = 0; o < 3; ++o)
            _mm512_storeu_si512(px + kRun * o,
                                PermuteThree(adjusted[0], adjusted[1], adjusted[2], kJoin, o));
        for (int k = 0; k < 3; ++k) {
            const __m512i previous = _mm512_permutex2var_epi8(adjusted[k], left, before[k]);
            const __m512i change =
                _mm512_maskz_sub_epi8(counted, _mm512_max_epu8(adjusted[k], previous),
                                      _mm512_min_epu8(adjusted[k], previous));
            total[k] = _mm512_add_epi64(total[k], _mm512_sad_epu8(change, zero));
            before[k] = adjusted[k];
        }
        // A channel leads where it is the largest; equal largest channels both lead.
        const __m512i lead =
            _mm512_max_epu8(adjusted[0], _mm512_max_epu8(adjusted[1], adjusted[2]));
        const uint64_t redLeads = _mm512_cmpeq_epi8_mask(adjusted[0], lead) & counted;
        const uint64_t greenLeads = _mm512_cmpeq_epi8_mask(adjusted[1], lead) & counted;
        total[3] = AddLanes(total[3], redLeads, adjusted[0]);
        total[4] = AddLanes(total[4], redLeads, one);
        total[5] = AddLanes(total[5], greenLeads, adjusted[1]);
        total[6] = AddLanes(total[6], greenLeads, one);
    }
    for (int k = 0; k < 3; ++k) sums.activity[k] += _mm512_reduce_add_epi64(total[k]);
    sums.redSum += _mm512_reduce_add_epi64(total[3]);
    sums.redCount += _mm512_reduce_add_epi64(total[4]);
    sums.greenSum += _mm512_reduce_add_epi64(total[5]);
    sums.greenCount += _mm512_reduce_add_epi64(total[6]);
    return n;
}

}  // namespace

void AdjustAndSumRows(uint8_t* picture, int width, int begin, int end, PictureSums& sums,
                      bool wide) {
    if (width <= 0 || begin >= end) return;
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    if (!wide) {
        PreAdjustColours(picture + static_cast<size_t>(begin) * rowBytes, width, end - begin);
        AddPictureSums(picture, width, begin, end, sums);
        return;
    }
    for (int y = begin; y < end; ++y) {
        uint8_t* row = picture + static_cast<size_t>(y) * rowBytes;
        const int n = AdjustAndSumRowWide(row, width, sums);
        if (n == width) continue;
        PreAdjustColours(row + 3 * static_cast<size_t>(n), width - n, 1);
        AddRowSums(row, std::max(n, 1), width, sums);
    }
}

}  // namespace qx
