#include "codec/colour_rows_wide.h"
#include "codec/pixel_lanes_avx2.h"

namespace qx {
namespace {

using avx2::ChannelShuffle;
using avx2::LoadEightPixels;

constexpr int kStep = 16;  // pixels per step, two groups of eight

// Four 32-bit pixels of each half packed into its first twelve bytes.
constexpr auto kPack = [] {
    std::array<uint8_t, 32> s{};
    for (int i = 0; i < 32; ++i) {
        const int k = i % 16;
        s[i] = static_cast<uint8_t>(k < 12 ? (k / 3) * 4 + k % 3 : 0x80);
    }
    return s;
}();

QX_AVX2 inline __m256i Gather(const int32_t* table, __m256i index) {
    return _mm256_i32gather_epi32(table, index, 4);
}

// Sixteen 32-bit values as sixteen 16-bit ones in order; every value fits.
QX_AVX2 inline __m256i Narrow(__m256i low, __m256i high) {
    return _mm256_permute4x64_epi64(_mm256_packs_epi32(low, high), 0xD8);
}

}  // namespace

namespace {

// The shuffles of a forward row.
struct ForwardTools {
    __m256i toReference, toFirst, toSecond, oddWords;
    const std::array<const int32_t*, 3>& levels;
};

// Eight pixels from px that end the row: the same lanes as LoadEightPixels without reading past
// the eighth pixel.
QX_AVX2 inline __m256i LoadLastEightPixels(const uint8_t* px) {
    const __m128i upper =
        _mm_srli_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(px + 8)), 4);
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(px))), upper, 1);
}

// Pixels x ... x + 15 of a row; atEnd when they are its last, so that no load reads past them.
QX_AVX2 inline void ForwardSixteen(const ForwardTools& t, const uint8_t* row, int x, bool atEnd,
                                   bool withChroma, int16_t* luma, int16_t* chroma1,
                                   int16_t* chroma2) {
    __m256i sums[2], firstLess[2], secondLess[2];
    for (int g = 0; g < 2; ++g) {
        const uint8_t* at = row + 3 * static_cast<size_t>(x + 8 * g);
        const __m256i px = atEnd && g == 1 ? LoadLastEightPixels(at) : LoadEightPixels(at);
        const __m256i p = Gather(t.levels[0], _mm256_shuffle_epi8(px, t.toReference));
        const __m256i f = Gather(t.levels[1], _mm256_shuffle_epi8(px, t.toFirst));
        const __m256i s = Gather(t.levels[2], _mm256_shuffle_epi8(px, t.toSecond));
        sums[g] =
            _mm256_srai_epi32(_mm256_add_epi32(_mm256_add_epi32(p, p), _mm256_add_epi32(f, s)), 2);
        firstLess[g] = _mm256_sub_epi32(f, p);
        secondLess[g] = _mm256_sub_epi32(s, p);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(luma + x), Narrow(sums[0], sums[1]));
    if (withChroma) {
        const __m256i c1 = _mm256_shuffle_epi8(Narrow(firstLess[0], firstLess[1]), t.oddWords);
        const __m256i c2 = _mm256_shuffle_epi8(Narrow(secondLess[0], secondLess[1]), t.oddWords);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(chroma1 + x / 2),
                         _mm256_castsi256_si128(_mm256_permute4x64_epi64(c1, 0x08)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(chroma2 + x / 2),
                         _mm256_castsi256_si128(_mm256_permute4x64_epi64(c2, 0x08)));
    }
}

}  // namespace

QX_AVX2 int ForwardRowAvx2(const uint8_t* row, int width, ChannelOrder order,
                           const std::array<const int32_t*, 3>& levels, bool withChroma,
                           int16_t* luma, int16_t* chroma1, int16_t* chroma2) {
    // The odd 16-bit lanes of each half into its lower eight bytes.
    const ForwardTools tools{
        ChannelShuffle(order.reference), ChannelShuffle(order.first), ChannelShuffle(order.second),
        _mm256_setr_epi8(2, 3, 6, 7, 10, 11, 14, 15, -1, -1, -1, -1, -1, -1, -1, -1, 2, 3, 6, 7, 10,
                         11, 14, 15, -1, -1, -1, -1, -1, -1, -1, -1),
        levels};
    int x = 0;
    // Two pixels beyond the step keep the loads inside the row.
    for (; x + kStep + 2 <= width; x += kStep)
        ForwardSixteen(tools, row, x, false, withChroma, luma, chroma1, chroma2);
    // An even row ends with a step over its last sixteen pixels, overlapping the one before.
    if (x < width && width % 2 == 0 && width >= kStep) {
        ForwardSixteen(tools, row, width - kStep, true, withChroma, luma, chroma1, chroma2);
        x = width;
    }
    return x;
}

namespace {

// The tables and shuffles of a restored row.
struct RestoreTools {
    __m256i pack, wordTwice;
    // The lookups of the reference, first and second levels, held apart from the array so that
    // the byte stores do not make the loop read them again.
    const int32_t* reference;
    const int32_t* first;
    const int32_t* second;
};

// Restored pixels x ... x + 15, in two halves of eight packed into twelve bytes each of its
// halves.
struct SixteenRestored {
    __m256i group[2];
};

// Eight values that fit 16 bits, from 32-bit lanes, each twice in sixteen 16-bit lanes.
QX_AVX2 inline __m256i EachTwice(__m256i values, __m256i wordTwice) {
    return _mm256_shuffle_epi8(values, wordTwice);
}

QX_AVX2 inline __m256i ClampByte16(__m256i v) {
    return _mm256_min_epi16(_mm256_max_epi16(v, _mm256_setzero_si256()), _mm256_set1_epi16(255));
}

// Indices of the first (g = 0) or last eight of sixteen 16-bit levels, for a gather.
QX_AVX2 inline __m256i EightIndices(__m256i levels, int g) {
    return _mm256_cvtepu16_epi32(g == 0 ? _mm256_castsi256_si128(levels)
                                        : _mm256_extracti128_si256(levels, 1));
}

// The levels of sixteen pixels at once in 16-bit lanes. The chroma sum and its quarter are
// formed in 32 bits, where they cannot overflow; the quarter fits 16 bits. The sums with it
// saturate at the 16-bit limits, beyond which the clamp to a byte gives the same 0 or 255 as the
// exact sum would.
QX_AVX2 inline SixteenRestored RestoreSixteen(const RestoreTools& t, const int16_t* luma,
                                              const int16_t* chroma1, const int16_t* chroma2,
                                              size_t x) {
    const __m256i b1 =
        _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chroma1 + x / 2)));
    const __m256i b2 =
        _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chroma2 + x / 2)));
    const __m256i quarter = EachTwice(_mm256_srai_epi32(_mm256_add_epi32(b1, b2), 2), t.wordTwice);
    const __m256i l = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(luma + x));
    const __m256i p = ClampByte16(_mm256_subs_epi16(l, quarter));
    const __m256i f = ClampByte16(_mm256_adds_epi16(p, EachTwice(b1, t.wordTwice)));
    const __m256i s = ClampByte16(_mm256_adds_epi16(p, EachTwice(b2, t.wordTwice)));
    SixteenRestored r;
    for (int g = 0; g < 2; ++g) {
        // Each table puts its channel in its own byte of the pixel.
        const __m256i pixels =
            _mm256_or_si256(Gather(t.reference, EightIndices(p, g)),
                            _mm256_or_si256(Gather(t.first, EightIndices(f, g)),
                                            Gather(t.second, EightIndices(s, g))));
        r.group[g] = _mm256_shuffle_epi8(pixels, t.pack);
    }
    return r;
}

QX_AVX2 inline void StoreSixteen(const SixteenRestored& r, uint8_t* out, bool exactEnd) {
    for (int g = 0; g < 2; ++g) {
        uint8_t* at = out + 24 * g;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), _mm256_castsi256_si128(r.group[g]));
        if (exactEnd && g == 1) {
            avx2::StoreTwelve(at + 12, _mm256_extracti128_si256(r.group[g], 1));
        } else {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(at + 12),
                             _mm256_extracti128_si256(r.group[g], 1));
        }
    }
}

}  // namespace

QX_AVX2 int RestoreRowAvx2(const int16_t* luma, const int16_t* chroma1, const int16_t* chroma2,
                           int width, ChannelOrder order,
                           const std::array<const int32_t*, 3>& lookups, uint8_t* rgb) {
    // The low word of each 32-bit lane into both of its words: a pixel pair's chroma.
    const RestoreTools tools{_mm256_loadu_si256(reinterpret_cast<const __m256i*>(kPack.data())),
                             _mm256_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13, 0,
                                              1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13),
                             lookups[order.reference], lookups[order.first], lookups[order.second]};
    int x = 0;
    // Each step's last store reaches four bytes into the next pixels, which a later step or the
    // caller writes afterwards; two pixels beyond the step keep it inside the row.
    for (; x + kStep + 2 <= width; x += kStep) {
        StoreSixteen(RestoreSixteen(tools, luma, chroma1, chroma2, static_cast<size_t>(x)),
                     rgb + 3 * static_cast<size_t>(x), false);
    }
    // An even row ends with a step over its last sixteen pixels, which overlaps the one before
    // and stores exactly its own bytes.
    if (x < width && width % 2 == 0 && width >= kStep) {
        x = width - kStep;
        StoreSixteen(RestoreSixteen(tools, luma, chroma1, chroma2, static_cast<size_t>(x)),
                     rgb + 3 * static_cast<size_t>(x), true);
        x = width;
    }
    return x;
}

}  // namespace qx
