// Sizes in Kb with eighths, and ratios, as the captions and the result label show them.
#include <gtest/gtest.h>

#include "load/status_text.h"

TEST(StatusText, SizeShowsWholeKbAndEighths) {
    EXPECT_EQ(qx::SizeText(100, 100), "   29.2 Kb  (100*100)");
    EXPECT_EQ(qx::SizeText(100, 100, 30000), qx::SizeText(100, 100));
    EXPECT_EQ(qx::SizeText(7, 9, 1024), "   1.0 Kb  (7*9)");
    EXPECT_EQ(qx::SizeText(7, 9, 1023), "   0.7 Kb  (7*9)");
    EXPECT_EQ(qx::SizeText(1024, 1024), "   3072.0 Kb  (1024*1024)");
}

TEST(StatusText, RatioRoundsHalfUpAndIsZeroWithoutBytes) {
    EXPECT_EQ(qx::RatioText(100, 100, 1000), "  [1 : 30]");
    EXPECT_EQ(qx::RatioText(100, 100, 0), "  [1 : 0]");
    EXPECT_EQ(qx::RatioText(100, 100, -5), "  [1 : 0]");
    // 30000 / 1091 = 27.497..., 30000 / 1090 = 27.52...
    EXPECT_EQ(qx::RatioText(100, 100, 1091), "  [1 : 27]");
    EXPECT_EQ(qx::RatioText(100, 100, 1090), "  [1 : 28]");
}

TEST(StatusText, CompressedSizeJoinsSizeAndRatio) {
    // 12 Kb and 3 eighths.
    EXPECT_EQ(qx::CompressedSizeText(12 * 1024 + 3 * 128, 512, 512), "   12.3 Kb   --> 1 : 62");
    EXPECT_EQ(qx::CompressedSizeText(0, 512, 512), "   0.0 Kb   --> 1 : 0");
}
