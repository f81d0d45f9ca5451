#include "codec/pre_adjust_colours.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> Adjust(std::vector<uint8_t> pixels) {
    qx::PreAdjustColours(pixels.data(), static_cast<int>(pixels.size() / 3), 1);
    return pixels;
}

TEST(PreAdjustColours, PullsChannelsTowardsTheDarkenedGrey) {
    // Sum 300: m = 6300 >> 6 = 98. Red 200: 98 - ((-102 x 6) >> 3) = 98 + 77 = 175 (floor of
    // -76.5).
    EXPECT_EQ(Adjust({200, 100, 0}), (std::vector<uint8_t>{175, 100, 13}));
    // Blue keeps 7/8 of its distance: m = 5355 >> 6 = 83; 83 - ((83 - 255) x 7 >> 3) = 234.
    EXPECT_EQ(Adjust({0, 0, 255}), (std::vector<uint8_t>{21, 21, 234}));
}

TEST(PreAdjustColours, ExtremesAndEveryPixel) {
    // m = 16065 >> 6 = 251; blue's (-28) >> 3 rounds down to -4 and lifts it back to 255.
    EXPECT_EQ(Adjust({255, 255, 255}), (std::vector<uint8_t>{254, 254, 255}));
    EXPECT_EQ(Adjust({0, 0, 0}), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_EQ(Adjust({255, 0, 0}), (std::vector<uint8_t>{212, 21, 11}));
    // Every pixel is adjusted, not only the first.
    EXPECT_EQ(Adjust({0, 0, 0, 200, 100, 0}), (std::vector<uint8_t>{0, 0, 0, 175, 100, 13}));
}

TEST(PreAdjustColours, LongRowsAdjustEveryPixelOnItsOwn) {
    // 101 pixels cycling through the examples above: whole vector blocks and a tail, each
    // pixel with its own result wherever it sits.
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

}  // namespace
