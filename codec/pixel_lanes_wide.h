// RGB pixels split into channels and joined again 64 at a time with the byte permutes of AVX-512
// VBMI: three 64-byte loads hold 64 pixels, and two permutes per channel gather its 64 bytes.
#pragma once

#include <immintrin.h>

#include <cstdint>

// GCC 12 takes the undefined vectors inside its own AVX-512 intrinsics for uninitialised values,
// in every file that uses them.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

namespace qx::wide {

// Loops for processors that run ProcessorRunsWide.
#define QX_WIDE __attribute__((target("avx512f,avx512bw,avx512vbmi")))

inline constexpr int kRun = 64;  // pixels per step

// Indices of a 64-byte output taken from three 64-byte inputs: lanes from the first two by one
// permute, the lanes of thirdMask from the third by a masked one. Built at compile time.
struct PermuteIndices {
    alignas(64) uint8_t fromFirstTwo[3][kRun];
    alignas(64) uint8_t fromThird[3][kRun];
    uint64_t thirdMask[3];
};

// Splitting: lane i of channel c takes byte 3i + c of the 192 loaded bytes, from the first two
// vectors (index below 128) or the third.
inline constexpr PermuteIndices kSplit = [] {
    PermuteIndices s{};
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < kRun; ++i) {
            const int g = 3 * i + c;
            s.fromFirstTwo[c][i] = static_cast<uint8_t>(g < 128 ? g : 0);
            s.fromThird[c][i] = static_cast<uint8_t>(g >= 128 ? g - 128 : 0);
            if (g >= 128) s.thirdMask[c] |= uint64_t{1} << i;
        }
    }
    return s;
}();

// Joining: byte j of output vector o is channel g % 3 of pixel g / 3, g = 64 o + j; channels 0
// and 1 come from the first two channel vectors, channel 2 from the third.
inline constexpr PermuteIndices kJoin = [] {
    PermuteIndices s{};
    for (int o = 0; o < 3; ++o) {
        for (int j = 0; j < kRun; ++j) {
            const int g = kRun * o + j;
            const int pixel = g / 3;
            const int channel = g % 3;
            s.fromFirstTwo[o][j] = static_cast<uint8_t>(channel == 1 ? 64 + pixel : pixel);
            s.fromThird[o][j] = static_cast<uint8_t>(pixel);
            if (channel == 2) s.thirdMask[o] |= uint64_t{1} << j;
        }
    }
    return s;
}();

QX_WIDE inline __m512i Load(const uint8_t* p) {
    return _mm512_loadu_si512(p);
}

// Output k of the given indices from the three inputs.
QX_WIDE inline __m512i PermuteThree(__m512i a, __m512i b, __m512i c, const PermuteIndices& indices,
                                    int k) {
    const __m512i two = _mm512_permutex2var_epi8(a, Load(indices.fromFirstTwo[k]), b);
    return _mm512_mask_permutexvar_epi8(two, indices.thirdMask[k], Load(indices.fromThird[k]), c);
}

// The lower (half 0) or upper 32 bytes in 16-bit lanes.
QX_WIDE inline __m512i Widen(__m512i bytes, int half) {
    return _mm512_cvtepu8_epi16(half ? _mm512_extracti64x4_epi64(bytes, 1)
                                     : _mm512_castsi512_si256(bytes));
}

}  // namespace qx::wide
