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

TEST(ToneTables, StaircasesClimbByOneExceptAtTheirHolds) {
    const int firsts[] = {64, 96, 128, 16};
    const int holds[] = {64, 96, 128, 17};
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(ToneTable[t][0], firsts[t]);
        EXPECT_EQ(ToneTable[t][255], 255);
        EXPECT_EQ(255 - ToneTable[t][0] + 1, qx::ToneLevelCount(t));
        int held = 0;
        for (int x = 1; x < 256; ++x) {
            const int rise = ToneTable[t][x] - ToneTable[t][x - 1];
            EXPECT_TRUE(rise == 0 || rise == 1 || (t == 3 && x == 6 && rise == 2)) << t << " " << x;
            held += rise == 0;
        }
        EXPECT_EQ(held, holds[t]) << t;
    }
    // Table 3 jumps from 21 to 23.
    EXPECT_EQ(ToneTable[3][6], 23);
}

TEST(ToneTables, ExpansionsRunFromTheirFirstValuesTo255) {
    const std::vector<int> starts[] = {
        {4, 5, 7, 8, 9, 11}, {2, 4, 5, 7, 8, 10}, {2, 4, 6}, {4, 5, 6}};
    for (int t = 0; t < 4; ++t) {
        for (size_t v = 0; v < starts[t].size(); ++v)
            EXPECT_EQ(ToneExpandTable[t][v], starts[t][v]);
        const int top = qx::ToneLevelCount(t) - 1;
        EXPECT_EQ(ToneExpandTable[t][top], 255);
        EXPECT_EQ(ToneExpandTable[t][top - 1], 254) << t;
        for (int v = top; v < 256; ++v) EXPECT_EQ(ToneExpandTable[t][v], 255);  // losses overshoot
        for (int v = 1; v <= top; ++v) EXPECT_GT(ToneExpandTable[t][v], ToneExpandTable[t][v - 1]);
    }
    EXPECT_EQ(ToneExpandTable[2][63], 128);
    EXPECT_EQ(ToneExpandTable[2][64], 131);
    EXPECT_EQ(ToneExpandTable[2][125], 253);
    EXPECT_EQ(ToneExpandTable[1][80], 130);
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

Planes Forward(const std::vector<uint8_t>& rgb, int w, int l, uint8_t ref, uint8_t tones,
               uint8_t grey = 0) {
    Planes p(w, l);
    qx::ForwardColourTransform(rgb.data(), p.data.data(), p.data.data(), w, l, grey, ref, tones);
    return p;
}

TEST(ForwardColourTransform, BlackAndWhitePixels) {
    const int whiteLuma[] = {191, 159, 127, 239};
    for (int t = 0; t < 4; ++t) {
        for (uint8_t ref : {0, 1, 2}) {
            Planes black = Forward(std::vector<uint8_t>(12, 0), 2, 2, ref, kAllTable[t]);
            Planes white = Forward(std::vector<uint8_t>(12, 255), 2, 2, ref, kAllTable[t]);
            EXPECT_EQ(black.luma(1, 1), 0);
            EXPECT_EQ(black.c1(0, 0), 0);
            EXPECT_EQ(white.luma(0, 0), whiteLuma[t]);
            EXPECT_EQ(white.c2(0, 0), 0);
        }
    }
}

TEST(ForwardColourTransform, ReferenceChannelDecidesTheDifferences) {
    std::vector<uint8_t> red(12);
    for (int i = 0; i < 4; ++i) red[3 * i] = 255;
    Planes p = Forward(red, 2, 2, 1, 0x00);
    EXPECT_EQ(p.luma(0, 0), 95);  // (2 x 191) >> 2
    EXPECT_EQ(p.c1(0, 0), -191);  // blue - red
    EXPECT_EQ(p.c2(0, 0), -191);  // green - red
    Planes g = Forward(red, 2, 2, 0, 0x00);
    EXPECT_EQ(g.luma(0, 0), 47);  // 191 >> 2
    EXPECT_EQ(g.c1(0, 0), 0);     // blue - green
    EXPECT_EQ(g.c2(0, 0), 191);   // red - green
    Planes b = Forward(red, 2, 2, 2, 0x00);
    EXPECT_EQ(b.c2(0, 0), 191);  // red - blue
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

std::vector<uint8_t> Inverse(Planes& p, uint8_t ref) {
    std::vector<uint8_t> rgb(static_cast<size_t>(p.width) * p.length * 3);
    qx::InverseColourTransform(p.data.data(), rgb.data(), p.width, p.length, ref);
    return rgb;
}

TEST(InverseColourTransform, ZeroPlanesAndTopLevels) {
    const int outOfZero[] = {4, 2, 2, 4};
    for (int t = 0; t < 4; ++t) {
        Planes zero(2, 2);
        auto rgb = Inverse(zero, 0);
        qx::ExpandTones(rgb.data(), 2, 2, kAllTable[t]);
        EXPECT_EQ(rgb, std::vector<uint8_t>(12, outOfZero[t]));
    }
    Planes p(2, 2);
    p.luma(0, 0) = 191;
    p.luma(1, 0) = 190;
    p.luma(0, 1) = 200;  // above the top level after losses
    p.luma(1, 1) = -3;
    auto rgb = Inverse(p, 0);
    qx::ExpandTones(rgb.data(), 2, 2, 0x00);
    EXPECT_EQ(rgb, (std::vector<uint8_t>{255, 255, 255, 254, 254, 254, 255, 255, 255, 4, 4, 4}));
}

TEST(InverseColourTransform, RedReferenceExample) {
    Planes p(2, 2);
    for (int i = 0; i < 4; ++i) p.data[i] = 95;
    p.c1(0, 0) = -191;
    p.c2(0, 0) = -191;
    auto rgb = Inverse(p, 1);
    qx::ExpandTones(rgb.data(), 2, 2, 0x00);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rgb[3 * i], 255);
        EXPECT_EQ(rgb[3 * i + 1], 4);
        EXPECT_EQ(rgb[3 * i + 2], 4);
    }
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
