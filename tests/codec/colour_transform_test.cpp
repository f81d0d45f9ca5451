#include "codec/colour_transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "codec/tone_tables.h"

namespace {

using qx::ToneExpandTable;
using qx::ToneTable;

constexpr uint8_t kAllTable[] = {0x00, 0x15, 0x2A, 0xFF};  // every channel on table 0, 1, 2, 3

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

Planes Forward(const std::vector<uint8_t>& rgb, int w, int l, uint8_t ref, uint8_t tones,
               uint8_t grey = 0) {
    Planes p(w, l);
    qx::ForwardColourTransform(rgb.data(), p.data.data(), p.data.data(), w, l, grey, ref, tones);
    return p;
}

TEST(ForwardColourTransform, ChromaComesFromTheLowerRightPixelOnly) {
    std::mt19937 rng(5);
    std::vector<uint8_t> rgb(4 * 4 * 3);
    for (auto& v : rgb) v = static_cast<uint8_t>(rng());
    Planes before = Forward(rgb, 4, 4, 0, 0x24);
    for (int y : {0, 2}) {  // disturb every pixel but the lower-right one of each block
        for (int x = 0; x < 4; ++x) rgb[(y * 4 + x) * 3] ^= 0x55;
        rgb[((y + 1) * 4) * 3 + 1] ^= 0x55;
        rgb[((y + 1) * 4 + 2) * 3 + 2] ^= 0x55;
    }
    Planes after = Forward(rgb, 4, 4, 0, 0x24);
    EXPECT_EQ(std::vector<int16_t>(before.data.begin() + 16, before.data.end()),
              std::vector<int16_t>(after.data.begin() + 16, after.data.end()));
    EXPECT_NE(before.luma(0, 0), after.luma(0, 0));
}

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

std::vector<int16_t> Sharpen(std::vector<int16_t> plane, int w, int l, qx::SharpenStrength s) {
    std::vector<int16_t> out(plane.size(), 0x7777);
    qx::SharpenLuma(plane.data(), out.data(), w, l, {0, 0, w, l}, s);
    return out;
}

TEST(SharpenLuma, SingleBrightSample) {
    const int w = 8, l = 8;
    std::vector<int16_t> plane(w * l, 0);
    plane[4 * w + 3] = 100;
    auto strong = Sharpen(plane, w, l, qx::SharpenStrength::kStrong);
    auto mild = Sharpen(plane, w, l, qx::SharpenStrength::kMild);
    EXPECT_EQ(strong[4 * w + 3], 150);
    EXPECT_EQ(mild[4 * w + 3], 125);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx == 0 && dy == 0) continue;
            EXPECT_EQ(strong[(4 + dy) * w + 3 + dx], -7);
            EXPECT_EQ(mild[(4 + dy) * w + 3 + dx], -4);
        }
    }
    EXPECT_EQ(strong[0], 0);
    std::vector<int16_t> flat(w * l, 117);
    EXPECT_EQ(Sharpen(flat, w, l, qx::SharpenStrength::kStrong), flat);
    EXPECT_EQ(Sharpen(flat, w, l, qx::SharpenStrength::kMild), flat);
}

TEST(SharpenLuma, SkipsTwoTopRowsButOneBottomRow) {
    const int w = 6, l = 8;
    std::vector<int16_t> plane(w * l, 0);
    plane[1 * w + 2] = 100;        // row 1: never sharpened
    plane[(l - 2) * w + 3] = 100;  // row L - 2: sharpened
    auto out = Sharpen(plane, w, l, qx::SharpenStrength::kStrong);
    EXPECT_EQ(out[1 * w + 2], 100);
    EXPECT_EQ(out[1 * w + 3], 0);
    EXPECT_EQ(out[2 * w + 2], -7);  // row 2 sees the sample above it
    EXPECT_EQ(out[(l - 2) * w + 3], 150);
    EXPECT_EQ(out[(l - 1) * w + 3], 0);  // last row copied
    EXPECT_EQ(out[(l - 2) * w + 4], -7);
    EXPECT_EQ(out[(l - 2) * w + 0], 0);  // first column copied
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

TEST(SharpenLuma, ResultsOf224OrMoreKeepTheSample) {
    const int w = 6, l = 6;
    std::vector<int16_t> plane(w * l, 0);
    plane[3 * w + 2] = 200;  // (25 x 200 - 200) >> 4 = 300
    std::vector<int16_t> high(w * l, 230);
    high[3 * w + 2] = 240;
    auto out = Sharpen(plane, w, l, qx::SharpenStrength::kStrong);
    EXPECT_EQ(out[3 * w + 2], 200);
    EXPECT_EQ(out[3 * w + 3], -13);
    auto grey = Sharpen(high, w, l, qx::SharpenStrength::kMild);
    EXPECT_EQ(grey[3 * w + 2], 240);
    EXPECT_EQ(grey[3 * w + 3], 230);
    // On a zero background the strong kernel gives 1.5 c: 149 -> 223 is kept, 150 -> 225 is not.
    std::vector<int16_t> spike(w * l, 0);
    spike[3 * w + 2] = 149;
    EXPECT_EQ(Sharpen(spike, w, l, qx::SharpenStrength::kStrong)[3 * w + 2], 223);
    spike[3 * w + 2] = 150;
    EXPECT_EQ(Sharpen(spike, w, l, qx::SharpenStrength::kStrong)[3 * w + 2], 150);
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
    for (const auto& [w, l] : {std::pair{70, 6}, std::pair{37, 5}, std::pair{130, 3}}) {
        for (uint8_t ref : {0, 1, 2}) {
            for (uint8_t tones : {0x00, 0x19, 0x26, 0xFF}) {
                Planes p(w, l);
                for (auto& v : p.data) {
                    v = rng() % 5 == 0 ? extremes[rng() % 7]
                                       : static_cast<int16_t>(static_cast<int>(rng() % 600) - 200);
                }
                std::vector<uint8_t> rgb(static_cast<size_t>(w) * l * 3);
                qx::RestoreColours(p.data.data(), rgb.data(), w, l, ref, tones);
                EXPECT_EQ(rgb, LiteralRestore(p, ref, tones))
                    << w << "x" << l << " " << int(ref) << " " << int(tones);
                // Without the expansion the same pass gives the levels.
                std::vector<uint8_t> levels(rgb.size());
                qx::InverseColourTransform(p.data.data(), levels.data(), w, l, ref);
                qx::ExpandTones(levels.data(), w, l, tones);
                EXPECT_EQ(levels, rgb);
            }
        }
    }
}

}  // namespace
