// Colour pre-adjustment of loaded pictures.
#include "codec/pre_adjust_colours.h"

#include <algorithm>
#include <cstddef>

#include "codec/pixel_lanes_avx2.h"
#include "codec/vector_clones.h"

namespace qx {

namespace {

// The interleaved channels vectorise well only with byte shuffles, hence the vector clones; the
// codec library is built with -O3 for the same reason.
QX_VECTOR_CLONES void PreAdjustPixels(uint8_t* buffer, size_t pixels) {
    for (size_t i = 0; i < pixels; ++i) {
        uint8_t* px = buffer + 3 * i;
        const int r = px[0], g = px[1], b = px[2];
        // 21/64 of the channel sum, a little less than the mean.
        const int grey = ((r + g + b) * 21) >> 6;
        // Arithmetic shifts: negative distances round towards minus infinity.
        const int red = grey - (((grey - r) * 6) >> 3);
        const int green = grey - (((grey - g) * 6) >> 3);
        const int blue = grey - (((grey - b) * 7) >> 3);
        px[0] = static_cast<uint8_t>(std::clamp(red, 0, 255));
        px[1] = static_cast<uint8_t>(std::clamp(green, 0, 255));
        px[2] = static_cast<uint8_t>(std::clamp(blue, 0, 255));
    }
}

// Per channel, the shuffles that put the low bytes of the 16-bit lanes of LoadSixteenPixels back
// in their places in pixels 0-7 (from lanes 0-3 of each half) and 8-15 (lanes 4-7): twelve bytes
// in each half, the last four 0.
struct ByteShuffles {
    alignas(32) uint8_t first[3][32];
    alignas(32) uint8_t second[3][32];
};

constexpr ByteShuffles kBackToBytes = [] {
    ByteShuffles s{};
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < 32; ++i) {
            const int k = i % 16;
            const bool ours = k < 12 && k % 3 == c;
            s.first[c][i] = static_cast<uint8_t>(ours ? 2 * (k / 3) : 0x80);
            s.second[c][i] = static_cast<uint8_t>(ours ? 8 + 2 * (k / 3) : 0x80);
        }
    }
    return s;
}();

// PreAdjustPixels sixteen pixels a step in 16-bit lanes, where every intermediate value fits:
// (r + g + b) x 21 <= 16065 and a distance of at most 255 times 7. The stores write exactly the
// step's 48 bytes, as the loads of the next step read the bytes after them.
QX_AVX2 void PreAdjustPixelsAvx2(uint8_t* buffer, size_t pixels) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i top = _mm256_set1_epi16(255);
    const __m256i factors[3] = {_mm256_set1_epi16(6), _mm256_set1_epi16(6), _mm256_set1_epi16(7)};
    size_t i = 0;
    // Two pixels beyond the step keep the loads inside the buffer.
    for (; i + 18 <= pixels; i += 16) {
        uint8_t* px = buffer + 3 * i;
        const avx2::SixteenPixels p = avx2::LoadSixteenPixels(px);
        const __m256i sum =
            _mm256_add_epi16(_mm256_add_epi16(p.channel[0], p.channel[1]), p.channel[2]);
        const __m256i grey = _mm256_srai_epi16(_mm256_mullo_epi16(sum, _mm256_set1_epi16(21)), 6);
        __m256i first = zero, second = zero;
        for (int c = 0; c < 3; ++c) {
            const __m256i distance = _mm256_srai_epi16(
                _mm256_mullo_epi16(_mm256_sub_epi16(grey, p.channel[c]), factors[c]), 3);
            const __m256i v =
                _mm256_min_epi16(_mm256_max_epi16(_mm256_sub_epi16(grey, distance), zero), top);
            const auto* f = reinterpret_cast<const __m256i*>(kBackToBytes.first[c]);
            const auto* s = reinterpret_cast<const __m256i*>(kBackToBytes.second[c]);
            first = _mm256_or_si256(first, _mm256_shuffle_epi8(v, _mm256_load_si256(f)));
            second = _mm256_or_si256(second, _mm256_shuffle_epi8(v, _mm256_load_si256(s)));
        }
        avx2::StoreTwelve(px, _mm256_castsi256_si128(first));
        avx2::StoreTwelve(px + 12, _mm256_extracti128_si256(first, 1));
        avx2::StoreTwelve(px + 24, _mm256_castsi256_si128(second));
        avx2::StoreTwelve(px + 36, _mm256_extracti128_si256(second, 1));
    }
    PreAdjustPixels(buffer + 3 * i, pixels - i);
}

}  // namespace

void PreAdjustColours(uint8_t* buffer, int width, int length) {
    if (width <= 0 || length <= 0) return;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(length);
    if (ProcessorRunsAvx2()) {
        PreAdjustPixelsAvx2(buffer, pixels);
    } else {
        PreAdjustPixels(buffer, pixels);
    }
}

}  // namespace qx
