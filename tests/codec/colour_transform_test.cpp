#include "codec/colour_transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "codec/tone_tables.h"

namespace {

using qx::ToneExpandTable;
using qx::ToneTable;

// The row functions this processor runs, the fastest last: every one must give the same values.
std::vector<qx::ColourRows> RunnableRows() {
    std::vector<qx::ColourRows> rows;
    for (auto r : {qx::ColourRows::kScalar, qx::ColourRows::kAvx2, qx::ColourRows::kAvx512})
        if (r <= qx::FastestColourRows()) rows.push_back(r);
    return rows;
}

struct Planes {
    int width, length;
    std::vector<int16_t> data;
    Planes(int w, int l) : width(w), length(l), data(static_cast<size_t>(w) * l * 3 / 2) {}
    int16_t& luma(int x, int y) { return data[static_cast<size_t>(y) * width + x]; }
    int16_t& c1(int i, int j) {
        return data[static_cast<size_t>(width) * length + i * width / 2 + j];
    }
    int16_t& c2(int i, int j) {
        return data[static_cast<size_t>(width) * length * 5 / 4 + i * width / 2 + j];
    }
};

TEST(ForwardColourTransform, GreyUsesTableZeroWithoutRemovingItsFloor) {
    const std::vector<uint8_t> rgb = {0, 0, 0, 255, 255, 255, 10, 20, 30, 0, 255, 0};
    Planes p(2, 2);
    std::fill(p.data.begin(), p.data.end(), int16_t{-1});
    qx::ForwardColourTransform(rgb.data(), p.data.data(), p.data.data(), 2, 2, 1, 2, 0xFF);
    EXPECT_EQ(p.luma(0, 0), 64);
    EXPECT_EQ(p.luma(1, 0), 255);
    EXPECT_EQ(p.luma(0, 1), (ToneTable[0][10] + 2 * ToneTable[0][20] + ToneTable[0][30]) >> 2);
    EXPECT_EQ(p.luma(1, 1), (64 + 2 * 255 + 64) >> 2);
    EXPECT_EQ(p.c1(0, 0), -1);  // no chroma written
}

// Pixel-by-pixel model of the forward transform: luma from every pixel's tone levels (each table
// less its first entry), chroma from the lower-right pixel of each 2 x 2 block.
TEST(ForwardColourTransform, MatchesThePixelModelOnWideRows) {
    const int order[3][3] = {{1, 2, 0}, {0, 2, 1}, {2, 1, 0}};  // reference, first, second
    std::mt19937 rng(9);
    for (const int w : {130, 64, 34, 6}) {
        const int l = 4;
        std::vector<uint8_t> rgb(static_cast<size_t>(w) * l * 3);
        for (auto& v : rgb) v = rng() % 4 == 0 ? (rng() % 2 ? 255 : 0) : rng() % 256;
        for (uint8_t ref : {0, 1, 2}) {
            for (uint8_t tones : {0x00, 0x19, 0x26, 0xFF}) {
                const qx::ToneChoice choice = qx::SplitToneSelect(tones);
                const int tables[] = {choice.red, choice.green, choice.blue};
                auto level = [&](int x, int y, int k) {
                    const int ch = order[ref][k];
                    const auto& t = ToneTable[tables[ch]];
                    return t[rgb[(static_cast<size_t>(y) * w + x) * 3 + ch]] - t[0];
                };
                Planes p(w, l);
                for (const qx::ColourRows rows : RunnableRows()) {
                    qx::ForwardColourTransform(rgb.data(), p.data.data(), p.data.data(), w, l, 0,
                                               ref, tones, nullptr, rows);
                    for (int y = 0; y < l; ++y) {
                        for (int x = 0; x < w; ++x) {
                            ASSERT_EQ(p.luma(x, y),
                                      (2 * level(x, y, 0) + level(x, y, 1) + level(x, y, 2)) >> 2)
                                << w << " " << x << "," << y << " " << int(ref) << " "
                                << int(tones);
                            if (x % 2 == 0 || y % 2 == 0) continue;
                            ASSERT_EQ(p.c1(y / 2, x / 2), level(x, y, 1) - level(x, y, 0));
                            ASSERT_EQ(p.c2(y / 2, x / 2), level(x, y, 2) - level(x, y, 0));
                        }
                    }
                }
            }
        }
    }
}

TEST(SharpenLuma, OnlyInsideTheRectangle) {
    const int w = 16, l = 16;
    std::vector<int16_t> plane(w * l, 0);
    plane[9 * w + 9] = 100;
    plane[3 * w + 3] = 100;
    std::vector<int16_t> out(plane.size());
    qx::SharpenLuma(plane.data(), out.data(), w, l, {4, 4, 8, 8}, qx::SharpenStrength::kStrong);
    EXPECT_EQ(out[9 * w + 9], 150);
    EXPECT_EQ(out[3 * w + 3], 100);
    EXPECT_EQ(out[4 * w + 4], 0);  // inside the rectangle's top two rows
    EXPECT_EQ(out[10 * w + 10], -7);
}

// Pixel-by-pixel model of RestoreColours: the block's chroma (the last block for an odd last
// column or row), the clamped reference level, the clamped other levels, then the expansion.
std::vector<uint8_t> LiteralRestore(Planes& p, uint8_t ref, uint8_t tones) {
    const int order[3][3] = {{1, 2, 0}, {0, 2, 1}, {2, 1, 0}};  // reference, first, second
    const qx::ToneChoice choice = qx::SplitToneSelect(tones);
    const int tables[] = {choice.red, choice.green, choice.blue};
    const int hw = p.width / 2, hl = p.length / 2;
    std::vector<uint8_t> rgb(static_cast<size_t>(p.width) * p.length * 3);
    auto clamp = [](int v) { return std::clamp(v, 0, 255); };
    for (int y = 0; y < p.length; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const int block = std::min(y / 2, hl - 1) * hw + std::min(x / 2, hw - 1);
            const size_t pixels = static_cast<size_t>(p.width) * p.length;
            const int c1 = p.data[pixels + block], c2 = p.data[pixels + pixels / 4 + block];
            const int level = clamp(p.luma(x, y) - ((c1 + c2) >> 2));
            const int levels[3] = {level, clamp(level + c1), clamp(level + c2)};
            for (int k = 0; k < 3; ++k) {
                const int ch = order[ref][k];
                rgb[(static_cast<size_t>(y) * p.width + x) * 3 + ch] =
                    ToneExpandTable[tables[ch]][levels[k]];
            }
        }
    }
    return rgb;
}

TEST(RestoreColours, MatchesThePixelModelOnWideAndOddPlanes) {
    std::mt19937 rng(5);
    const int16_t extremes[] = {-32768, 32767, -300, 300, 0, 255, -1};
    for (const auto& [w, l] :
         {std::pair{70, 6}, std::pair{37, 5}, std::pair{130, 3}, std::pair{34, 2}}) {
        for (uint8_t ref : {0, 1, 2}) {
            for (uint8_t tones : {0x00, 0x19, 0x26, 0xFF}) {
                Planes p(w, l);
                for (auto& v : p.data) {
                    v = rng() % 5 == 0 ? extremes[rng() % 7]
                                       : static_cast<int16_t>(static_cast<int>(rng() % 600) - 200);
                }
                for (const qx::ColourRows rows : RunnableRows()) {
                    std::vector<uint8_t> rgb(static_cast<size_t>(w) * l * 3);
                    qx::RestoreColours(p.data.data(), rgb.data(), w, l, ref, tones, nullptr, rows);
                    EXPECT_EQ(rgb, LiteralRestore(p, ref, tones))
                        << w << "x" << l << " " << int(ref) << " " << int(tones) << " "
                        << int(rows);
                    // Without the expansion the same pass gives the levels.
                    std::vector<uint8_t> levels(rgb.size());
                    qx::InverseColourTransform(p.data.data(), levels.data(), w, l, ref, rows);
                    qx::ExpandTones(levels.data(), w, l, tones);
                    EXPECT_EQ(levels, rgb);
                }
            }
        }
    }
}

}  // namespace
