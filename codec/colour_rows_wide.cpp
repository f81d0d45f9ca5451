#include "codec/colour_rows_wide.h"
#include "codec/pixel_lanes_wide.h"
#include "codec/vector_clones.h"

#include <immintrin.h>

namespace qx {
namespace {

using namespace wide;

// The odd 16-bit lanes of two vectors, and each of eight 32-bit lanes twice.
constexpr auto kOddWords = [] {
    std::array<uint16_t, 32> s{};
    for (int j = 0; j < 32; ++j) s[j] = static_cast<uint16_t>(2 * j + 1);
    return s;
}();
constexpr auto kEachTwice = [] {
    std::array<uint32_t, 16> s{};
    for (int j = 0; j < 16; ++j) s[j] = static_cast<uint32_t>(j / 2);
    return s;
}();

struct ByteTable {
    __m512i quarter[4];
};

QX_WIDE inline ByteTable LoadTable(const uint8_t* t) {
    return {{_mm512_loadu_si512(t), _mm512_loadu_si512(t + 64), _mm512_loadu_si512(t + 128),
             _mm512_loadu_si512(t + 192)}};
}

// table[index] for 64 byte indices: bit 6 picks the quarter within each half, bit 7 the half.
QX_WIDE inline __m512i Lookup(const ByteTable& t, __m512i index) {
    const __m512i low = _mm512_permutex2var_epi8(t.quarter[0], index, t.quarter[1]);
    const __m512i high = _mm512_permutex2var_epi8(t.quarter[2], index, t.quarter[3]);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
}

QX_WIDE inline __m512i ClampByte(__m512i v) {
    return _mm512_min_epi32(_mm512_max_epi32(v, _mm512_setzero_si512()), _mm512_set1_epi32(255));
}

// The levels of sixteen pixels from x on, computed in 32-bit lanes, where no sum of 16-bit
// values overflows.
struct LevelGroup {
    __m128i reference, first, second;
};

QX_WIDE inline __m512i ChromaOfSixteen(const int16_t* chroma, int x, __m512i eachTwice) {
    const __m128i blocks = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chroma + x / 2));
    return _mm512_permutexvar_epi32(eachTwice,
                                    _mm512_castsi256_si512(_mm256_cvtepi16_epi32(blocks)));
}

QX_WIDE inline LevelGroup LevelsOfSixteen(const int16_t* luma, const int16_t* chroma1,
                                          const int16_t* chroma2, int x, __m512i eachTwice) {
    const __m512i l =
        _mm512_cvtepi16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(luma + x)));
    const __m512i c1 = ChromaOfSixteen(chroma1, x, eachTwice);
    const __m512i c2 = ChromaOfSixteen(chroma2, x, eachTwice);
    const __m512i p =
        ClampByte(_mm512_sub_epi32(l, _mm512_srai_epi32(_mm512_add_epi32(c1, c2), 2)));
    const __m512i f = ClampByte(_mm512_add_epi32(p, c1));
    const __m512i s = ClampByte(_mm512_add_epi32(p, c2));
    return {_mm512_cvtepi32_epi8(p), _mm512_cvtepi32_epi8(f), _mm512_cvtepi32_epi8(s)};
}

QX_WIDE inline __m512i Join(__m128i a, __m128i b, __m128i c, __m128i d) {
    const __m512i low = _mm512_castsi256_si512(_mm256_set_m128i(b, a));
    return _mm512_inserti64x4(low, _mm256_set_m128i(d, c), 1);
}

}  // namespace

ColourRows FastestColourRows() {
    if (ProcessorRunsWide()) return ColourRows::kAvx512;
    return ProcessorRunsAvx2() ? ColourRows::kAvx2 : ColourRows::kScalar;
}

QX_WIDE int ForwardRowWide(const uint8_t* row, int width, ChannelOrder order,
                           const std::array<const uint8_t*, 3>& levels, bool withChroma,
                           int16_t* luma, int16_t* chroma1, int16_t* chroma2) {
    const ByteTable toReference = LoadTable(levels[0]);
    const ByteTable toFirst = LoadTable(levels[1]);
    const ByteTable toSecond = LoadTable(levels[2]);
    const __m512i oddWords = _mm512_loadu_si512(kOddWords.data());
    const int n = width / kRun * kRun;
    for (int x = 0; x < n; x += kRun) {
        const uint8_t* px = row + 3 * static_cast<size_t>(x);
        const __m512i a = Load(px);
        const __m512i b = Load(px + 64);
        const __m512i c = Load(px + 128);
        const __m512i p = Lookup(toReference, PermuteThree(a, b, c, kSplit, order.reference));
        const __m512i f = Lookup(toFirst, PermuteThree(a, b, c, kSplit, order.first));
        const __m512i s = Lookup(toSecond, PermuteThree(a, b, c, kSplit, order.second));
        __m512i firstLess[2];
        __m512i secondLess[2];
        for (int half = 0; half < 2; ++half) {
            const __m512i p16 = Widen(p, half);
            const __m512i f16 = Widen(f, half);
            const __m512i s16 = Widen(s, half);
            // At most 4 x 255: no lane overflows 16 bits.
            const __m512i sum =
                _mm512_add_epi16(_mm512_add_epi16(p16, p16), _mm512_add_epi16(f16, s16));
            _mm512_storeu_si512(luma + x + 32 * half, _mm512_srli_epi16(sum, 2));
            firstLess[half] = _mm512_sub_epi16(f16, p16);
            secondLess[half] = _mm512_sub_epi16(s16, p16);
        }
        if (withChroma) {
            _mm512_storeu_si512(chroma1 + x / 2,
                                _mm512_permutex2var_epi16(firstLess[0], oddWords, firstLess[1]));
            _mm512_storeu_si512(chroma2 + x / 2,
                                _mm512_permutex2var_epi16(secondLess[0], oddWords, secondLess[1]));
        }
    }
    return n;
}

QX_WIDE int RestoreRowWide(const int16_t* luma, const int16_t* chroma1, const int16_t* chroma2,
                           int width, ChannelOrder order,
                           const std::array<const uint8_t*, 3>& lookups, uint8_t* rgb) {
    const ByteTable tables[3] = {LoadTable(lookups[0]), LoadTable(lookups[1]),
                                 LoadTable(lookups[2])};
    const __m512i eachTwice = _mm512_loadu_si512(kEachTwice.data());
    const int n = width / kRun * kRun;
    for (int x = 0; x < n; x += kRun) {
        const LevelGroup g0 = LevelsOfSixteen(luma, chroma1, chroma2, x, eachTwice);
        const LevelGroup g1 = LevelsOfSixteen(luma, chroma1, chroma2, x + 16, eachTwice);
        const LevelGroup g2 = LevelsOfSixteen(luma, chroma1, chroma2, x + 32, eachTwice);
        const LevelGroup g3 = LevelsOfSixteen(luma, chroma1, chroma2, x + 48, eachTwice);
        const __m512i reference = Join(g0.reference, g1.reference, g2.reference, g3.reference);
        const __m512i first = Join(g0.first, g1.first, g2.first, g3.first);
        const __m512i second = Join(g0.second, g1.second, g2.second, g3.second);
        __m512i channels[3];
        channels[order.reference] = Lookup(tables[order.reference], reference);
        channels[order.first] = Lookup(tables[order.first], first);
        channels[order.second] = Lookup(tables[order.second], second);
        uint8_t* out = rgb + 3 * static_cast<size_t>(x);
        for (int o = 0; o < 3; ++o)
            _mm512_storeu_si512(out + 64 * o,
                                PermuteThree(channels[0], channels[1], channels[2], kJoin, o));
    }
    return n;
}

}  // namespace qx
