#include "codec/pre_adjust_colours.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "codec/adjust_rows.h"
#include "codec/vector_clones.h"

namespace {

std::vector<uint8_t> Adjust(std::vector<uint8_t> pixels) {
    qx::PreAdjustColours(pixels.data(), static_cast<int>(pixels.size() / 3), 1);
    return pixels;
}

TEST(PreAdjustColours, LongRowsAdjustEveryPixelOnItsOwn) {
    // 101 pixels cycling through five cases: whole vector blocks and a tail, each pixel with
    // its own result wherever it sits. {200, 100, 0}: sum 300, m = 6300 >> 6 = 98, red
    // 98 - ((-102 x 6) >> 3) = 175. White: m = 251 and blue's (-28) >> 3 rounds down to -4.
    const std::vector<std::vector<uint8_t>> in{
        {200, 100, 0}, {0, 0, 255}, {255, 255, 255}, {0, 0, 0}, {255, 0, 0}};
    const std::vector<std::vector<uint8_t>> out{
        {175, 100, 13}, {21, 21, 234}, {254, 254, 255}, {0, 0, 0}, {212, 21, 11}};
    std::vector<uint8_t> row, expected;
    for (size_t x = 0; x < 101; ++x) {
        row.insert(row.end(), in[x % 5].begin(), in[x % 5].end());
        expected.insert(expected.end(), out[x % 5].begin(), out[x % 5].end());
    }
    EXPECT_EQ(Adjust(row), expected);
}

std::vector<uint64_t> Fields(const qx::PictureSums& s) {
    return {s.activity[0], s.activity[1], s.activity[2], s.redSum,
            s.redCount,    s.greenSum,    s.greenCount};
}

TEST(AdjustAndSumRows, OnePassGivesTheStepsPixelsAndSums) {
    if (!qx::ProcessorRunsWide()) GTEST_SKIP() << "no AVX-512 VBMI here";
    std::mt19937 rng(17);
    // Whole runs of 64 pixels, rows shorter than one, and tails of every kind; the extremes
    // (0 and 255) are frequent, as are ties between the leading channels.
    for (const int w : {1, 2, 63, 64, 65, 127, 128, 191, 1024}) {
        const int rows = 3;
        std::vector<uint8_t> picture(static_cast<size_t>(w) * rows * 3);
        for (auto& v : picture) {
            const unsigned r = rng() % 8;
            v = static_cast<uint8_t>(r == 0 ? 0 : r == 1 ? 255 : r == 2 ? 128 : rng() % 256);
        }
        std::vector<uint8_t> steps = picture;
        qx::PictureSums wide, plain;
        qx::AdjustAndSumRows(picture.data(), w, 0, rows, wide, true);
        qx::AdjustAndSumRows(steps.data(), w, 0, rows, plain, false);
        EXPECT_EQ(picture, steps) << w;
        EXPECT_EQ(Fields(wide), Fields(plain)) << w;
    }
}

}  // namespace
