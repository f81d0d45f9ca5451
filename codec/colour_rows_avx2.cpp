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

QX_AVX2 inline __m256i ClampByte(__m256i v) {
    return _mm256_min_epi32(_mm256_max_epi32(v, _mm256_setzero_si256()), _mm256_set1_epi32(255));
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
    __m256i pack, lowerTwice, upperTwice;
    const std::array<const int32_t*, 3>& lookups;
    ChannelOrder order;
};

// Restored pixels x ... x + 15, in two halves of eight packed into twelve bytes each of its
// halves.
struct SixteenRestored {
    __m256i group[2];
};

QX_AVX2 inline SixteenRestored RestoreSixteen(const RestoreTools& t, const int16_t* luma,
                                              const int16_t* chroma1, const int16_t* chroma2,
                                              int x) {
    const __m256i c1 =
        _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chroma1 + x / 2)));
    const __m256i c2 =
        _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chroma2 + x / 2)));
    SixteenRestored r;
    for (int g = 0; g < 2; ++g) {
        const __m256i spread = g == 0 ? t.lowerTwice : t.upperTwice;
        const __m256i b1 = _mm256_permutevar8x32_epi32(c1, spread);
        const __m256i b2 = _mm256_permutevar8x32_epi32(c2, spread);
        const __m256i l = _mm256_cvtepi16_epi32(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(luma + x + 8 * g)));
        const __m256i p =
            ClampByte(_mm256_sub_epi32(l, _mm256_srai_epi32(_mm256_add_epi32(b1, b2), 2)));
        const __m256i f = ClampByte(_mm256_add_epi32(p, b1));
        const __m256i s = ClampByte(_mm256_add_epi32(p, b2));
        const ChannelOrder& o = t.order;
        // Each table puts its channel in its own byte of the pixel.
        const __m256i pixels = _mm256_or_si256(
            Gather(t.lookups[o.reference], p),
            _mm256_or_si256(Gather(t.lookups[o.first], f), Gather(t.lookups[o.second], s)));
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
    const RestoreTools tools{_mm256_loadu_si256(reinterpret_cast<const __m256i*>(kPack.data())),
                             _mm256_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3),
                             _mm256_setr_epi32(4, 4, 5, 5, 6, 6, 7, 7), lookups, order};
    int x = 0;
    // Each step's last store reaches four bytes into the next pixels, which a later step or the
    // caller writes afterwards; two pixels beyond the step keep it inside the row.
    for (; x + kStep + 2 <= width; x += kStep) {
        StoreSixteen(RestoreSixteen(tools, luma, chroma1, chroma2, x),
                     rgb + 3 * static_cast<size_t>(x), false);
    }
    // An even row ends with a step over its last sixteen pixels, which overlaps the one before
    // and stores exactly its own bytes.
    if (x < width && width % 2 == 0 && width >= kStep) {
        x = width - kStep;
        StoreSixteen(RestoreSixteen(tools, luma, chroma1, chroma2, x),
                     rgb + 3 * static_cast<size_t>(x), true);
        x = width;
    }
    return x;
}

}  // namespace qx
