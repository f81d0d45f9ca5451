#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "codec/codec.h"
#include "codec/load_analysis.h"
#include "codec/split_work.h"
#include "codec/wavelet.h"
#include "support/test_support.h"

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

// The AVX2 loops against the portable ones, on samples across the whole 16-bit range and on
// coefficients whose tap sums wrap around; the composed plane also straight out as samples, cut
// to 16 bits, with the rows asked for left zero. 216 columns leave a tail of rows to the AVX2
// row loop.
TEST(Wavelet, Avx2LoopsGiveThePortableResults) {
    if (!qx::Avx2LoopsAvailable()) GTEST_SKIP() << "no AVX2";
    std::mt19937 rng(6);
    for (auto [w, h] : {std::pair{192, 128}, std::pair{216, 136}}) {
        std::vector<int16_t> samples(w * h);
        for (auto& v : samples) v = static_cast<int16_t>(rng());
        std::vector<int32_t> coefficients(w * h);
        for (auto& v : coefficients)
            v = static_cast<int32_t>(rng() % 4 ? rng() % 4096 - 2048 : rng());
        for (int filter : {0, 1}) {
            std::vector<int32_t> forward[2], inverse[2];
            std::vector<int16_t> out[2];
            for (int avx2 : {0, 1}) {
                qx::WaveletScratch scratch;
                scratch.avx2Loops = avx2 == 1;
                forward[avx2].resize(w * h);
                const qx::WaveletResult r = qx::ForwardWavelet(samples.data(), forward[avx2].data(),
                                                               w, h, 4, 128, filter, scratch);
                inverse[avx2] = coefficients;
                qx::InverseWavelet(inverse[avx2].data(), r.lastWidth, r.lastHeight, w, r.levels,
                                   filter, scratch);
                std::vector<int32_t> plane = coefficients;
                out[avx2].resize(w * h);
                const size_t clear = w * h / 4 + 5;
                ASSERT_TRUE(qx::InverseWaveletToSamples(plane.data(), r.lastWidth, r.lastHeight, w,
                                                        h, r.levels, filter, scratch,
                                                        {out[avx2].data(), 30000, clear}));
                for (int i = 0; i < w * h; ++i)
                    ASSERT_EQ(out[avx2][i], static_cast<int16_t>(inverse[avx2][i] + 30000)) << i;
                EXPECT_EQ(std::vector<int32_t>(plane.begin(), plane.begin() + clear),
                          std::vector<int32_t>(clear, 0));
            }
            EXPECT_EQ(forward[0], forward[1]) << filter;
            EXPECT_EQ(inverse[0], inverse[1]) << filter;
        }
    }
}

// The AVX2 first level runs as one pass down the rows; against the portable row and column
// passes, on pieces shared with a helper thread (which filters its rows again at each piece's
// start) and with columns past the last strip of 16.
TEST(Wavelet, FirstLevelInOnePassGivesThePortableResults) {
    if (!qx::Avx2LoopsAvailable()) GTEST_SKIP() << "no AVX2";
    std::mt19937 rng(7);
    qx::HelperThread helper;
    for (auto [w, h] : {std::pair{520, 258}, std::pair{1032, 516}}) {
        std::vector<int16_t> samples(w * h);
        for (auto& v : samples) v = static_cast<int16_t>(rng());
        for (int filter : {0, 1}) {
            std::vector<int32_t> forward[2];
            for (int avx2 : {0, 1}) {
                qx::WaveletScratch scratch;
                scratch.avx2Loops = avx2 == 1;
                scratch.helper = &helper;
                forward[avx2].resize(w * h);
                qx::ForwardWavelet(samples.data(), forward[avx2].data(), w, h, 4, 128, filter,
                                   scratch);
            }
            EXPECT_EQ(forward[0], forward[1]) << w << "x" << h << " filter " << filter;
        }
    }
}

// The whole coder with and without the explicit AVX2 loops (wavelet columns, block statistics):
// the same streams, tables and restored picture.
TEST(Wavelet, Avx2LoopsCodeAndRestoreTheSamePicture) {
    if (!qx::Avx2LoopsAvailable()) GTEST_SKIP() << "no AVX2";
    const int w = 320, l = 256;
    std::mt19937 rng(2);
    std::vector<uint8_t> rgb(w * l * 3);
    for (int y = 0; y < l; ++y)
        for (int x = 0; x < w * 3; ++x)
            rgb[y * w * 3 + x] =
                static_cast<uint8_t>((x / 40 + y / 32) % 2 ? 40 + rng() % 30 : (x + 2 * y) % 256);
    qx::Codec codecs[2];
    qxtest::RecordingHooks hooks;
    for (int avx2 : {0, 1}) {
        qx::Codec& codec = codecs[avx2];
        codec.hooks = &hooks;
        codec.wavelet.avx2Loops = avx2 == 1;
        qx::ResetReaderFields(codec.params);
        qx::AnalysePicture(rgb.data(), w, l, codec.params);
        codec.state.PictureBuffer.assign(rgb.begin(), rgb.end());
        codec.state.Width = w;
        codec.state.Length = l;
        ASSERT_EQ(qx::CompressForPreview(codec), qx::kOk);
    }
    const auto words = [](const qx::WordStream& s, const qx::StreamEnd& end) {
        return std::vector<uint32_t>(s.words.data(), s.words.data() + end.index + 1);
    };
    EXPECT_EQ(words(codecs[0].MainCode, codecs[0].MainCodeEnd),
              words(codecs[1].MainCode, codecs[1].MainCodeEnd));
    EXPECT_EQ(words(codecs[0].RefineCode, codecs[0].RefineCodeEnd),
              words(codecs[1].RefineCode, codecs[1].RefineCodeEnd));
    EXPECT_EQ(codecs[0].tables.BlockDeviations, codecs[1].tables.BlockDeviations);
    EXPECT_EQ(codecs[0].state.WorkBuffer, codecs[1].state.WorkBuffer);
}

}  // namespace
