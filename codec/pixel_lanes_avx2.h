// RGB pixels in 32-bit lanes for the AVX2 loops: eight pixels are loaded as two halves of four
// (twelve bytes each), and a byte shuffle per channel gives that channel of every pixel in a lane
// of its own.
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "codec/vector_clones.h"

namespace qx::avx2 {

// Per channel position c, the shuffle that moves byte 3i + c of each half into the low byte of
// its lane i (the other bytes 0).
struct ChannelShuffles {
    alignas(32) uint8_t channel[3][32];
};

inline constexpr ChannelShuffles kChannelShuffles = [] {
    ChannelShuffles s{};
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < 32; ++i) {
            const int lane = (i % 16) / 4;
            s.channel[c][i] = static_cast<uint8_t>(i % 4 == 0 ? 3 * lane + c : 0x80);
        }
    }
    return s;
}();

QX_AVX2 inline __m256i ChannelShuffle(int c) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(kChannelShuffles.channel[c]));
}

// Eight pixels from px: the first four in the lower half, the next four in the upper one. Reads
// four bytes past the eighth pixel.
QX_AVX2 inline __m256i LoadEightPixels(const uint8_t* px) {
    return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(px + 12),
                               reinterpret_cast<const __m128i*>(px));
}

// The sum of the eight 32-bit lanes, modulo 2^32.
QX_AVX2 inline uint32_t LaneSum(__m256i v) {
    const __m128i four = _mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    const __m128i two = _mm_add_epi32(four, _mm_unpackhi_epi64(four, four));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(two) + _mm_extract_epi32(two, 1));
}

// Stores the low twelve bytes of v (four pixels) and nothing after them.
QX_AVX2 inline void StoreTwelve(uint8_t* p, __m128i v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    const int last = _mm_cvtsi128_si32(_mm_srli_si128(v, 8));
    std::memcpy(p + 8, &last, 4);
}

// Sixteen pixels in 16-bit lanes: per channel, the shuffles that move the first eight pixels'
// bytes to the lower four lanes of each half and the next eight's to the upper four. The lanes
// then hold pixels 0-3 and 8-11 in the lower half, 4-7 and 12-15 in the upper one.
struct WordShuffles {
    alignas(32) uint8_t first[3][32];
    alignas(32) uint8_t second[3][32];
};

inline constexpr WordShuffles kWordShuffles = [] {
    WordShuffles s{};
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < 32; ++i) {
            const int lane = (i % 16) / 2;
            const bool low = i % 2 == 0;
            s.first[c][i] = static_cast<uint8_t>(low && lane < 4 ? 3 * lane + c : 0x80);
            s.second[c][i] = static_cast<uint8_t>(low && lane >= 4 ? 3 * (lane - 4) + c : 0x80);
        }
    }
    return s;
}();

struct SixteenPixels {
    __m256i channel[3];
};

// Reads four bytes past the sixteenth pixel.
QX_AVX2 inline SixteenPixels LoadSixteenPixels(const uint8_t* px) {
    const __m256i first = LoadEightPixels(px);
    const __m256i second = LoadEightPixels(px + 24);
    SixteenPixels p;
    for (int c = 0; c < 3; ++c) {
        const auto* f = reinterpret_cast<const __m256i*>(kWordShuffles.first[c]);
        const auto* s = reinterpret_cast<const __m256i*>(kWordShuffles.second[c]);
        p.channel[c] = _mm256_or_si256(_mm256_shuffle_epi8(first, _mm256_load_si256(f)),
                                       _mm256_shuffle_epi8(second, _mm256_load_si256(s)));
    }
    return p;
}

}  // namespace qx::avx2
