// RGB pixels in 32-bit lanes for the AVX2 loops: eight pixels are loaded as two halves of four
// (twelve bytes each), and a byte shuffle per channel gives that channel of every pixel in a lane
// of its own.
#pragma once

#include <immintrin.h>

#include <cstdint>

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

}  // namespace qx::avx2
