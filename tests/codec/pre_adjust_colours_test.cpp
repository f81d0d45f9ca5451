#include "codec/pre_adjust_colours.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
