#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "codec/wavelet.h"

namespace {

struct Plane {
    int width;
    int height;
    std::vector<int16_t> samples;
    std::vector<int32_t> coefficients;
    Plane(int w, int h) : width(w), height(h), samples(w * h), coefficients(w * h) {}
};

qx::WaveletResult Forward(Plane& p, int offset = 0) {
    qx::WaveletScratch scratch;
    return qx::ForwardWavelet(p.samples.data(), p.coefficients.data(), p.width, p.height, 4, offset,
                              0, scratch);
}

TEST(Wavelet, ForwardThenInverseComesBackClose) {
    std::mt19937 rng(3);
    for (auto [w, h] : {std::pair{128, 64}, std::pair{64, 128}, std::pair{96, 160}}) {
        Plane p(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                p.samples[y * w + x] = static_cast<int16_t>((x * 3 + y * 2) % 200 + rng() % 40);
        const qx::WaveletResult r = Forward(p, 128);
        qx::WaveletScratch scratch;
        qx::InverseWavelet(p.coefficients.data(), r.lastWidth, r.lastHeight, w, r.levels, 0,
                           scratch);
        double error = 0;
        for (int i = 0; i < w * h; ++i) error += std::abs(p.coefficients[i] + 128 - p.samples[i]);
        EXPECT_LT(error / (w * h), 2.0) << w << "x" << h;
    }
}

TEST(Wavelet, InverseOfHugeCoefficientsStaysDefined) {
    // Damaged low bands must not overflow the tap sums (checked under the sanitizers).
    std::vector<int32_t> plane(64 * 64, 1835008);
    qx::WaveletScratch scratch;
    qx::InverseWavelet(plane.data(), 4, 4, 64, 5, 0, scratch);
}

// The AVX2 column loops against the portable ones, on samples across the whole 16-bit range
// and on coefficients whose tap sums wrap around.
TEST(Wavelet, Avx2LoopsGiveThePortableResults) {
    if (!qx::Avx2LoopsAvailable()) GTEST_SKIP() << "no AVX2";
    std::mt19937 rng(6);
    const int w = 192, h = 128;
    std::vector<int16_t> samples(w * h);
    for (auto& v : samples) v = static_cast<int16_t>(rng());
    std::vector<int32_t> coefficients(w * h);
    for (auto& v : coefficients) v = static_cast<int32_t>(rng() % 4 ? rng() % 4096 - 2048 : rng());
    for (int filter : {0, 1}) {
        std::vector<int32_t> forward[2], inverse[2];
        for (int avx2 : {0, 1}) {
            qx::WaveletScratch scratch;
            scratch.avx2Loops = avx2 == 1;
            forward[avx2].resize(w * h);
            const qx::WaveletResult r = qx::ForwardWavelet(samples.data(), forward[avx2].data(), w,
                                                           h, 4, 128, filter, scratch);
            inverse[avx2] = coefficients;
            qx::InverseWavelet(inverse[avx2].data(), r.lastWidth, r.lastHeight, w, r.levels, filter,
                               scratch);
        }
        EXPECT_EQ(forward[0], forward[1]) << filter;
        EXPECT_EQ(inverse[0], inverse[1]) << filter;
    }
}

}  // namespace
