#include "codec/geometry.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace {

using Picture = std::vector<uint8_t>;

Picture RandomPicture(int width, int length, int pixelBytes, unsigned seed) {
    std::mt19937 rng(seed);
    Picture p(static_cast<size_t>(width) * length * pixelBytes);
    for (auto& b : p) b = static_cast<uint8_t>(rng());
    return p;
}

// Column resampling written pixel by pixel, walking every source column with a position index
// and a skip mark.
Picture LiteralColumns(const Picture& in, int n, int length, int m, int bpp) {
    const int d = std::abs(m - n);
    const int s = (n - 1) / d;
    std::vector<int> p(d);
    for (int k = 0; k < d; ++k) p[k] = s / 2 + k * s;
    Picture out;
    for (int y = 0; y < length; ++y) {
        const uint8_t* row = in.data() + static_cast<size_t>(y) * n * bpp;
        auto average = [&](int x) {
            for (int c = 0; c < bpp; ++c)
                out.push_back((row[x * bpp + c] + row[x * bpp + bpp + c]) >> 1);
        };
        auto copy = [&](int x) { out.insert(out.end(), row + x * bpp, row + x * bpp + bpp); };
        int j = 0;
        bool skip = false;
        for (int x = 0; x < n; ++x) {
            if (m > n) {
                copy(x);
                if (j < d && x == p[j]) average(x), ++j;
            } else if (skip) {
                skip = false;
            } else if (j < d && x == p[j]) {
                average(x), skip = true, ++j;
            } else {
                copy(x);
            }
        }
    }
    return out;
}

Picture Transpose(const Picture& in, int width, int length, int bpp) {
    Picture out(in.size());
    for (int y = 0; y < length; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < bpp; ++c)
                out[(static_cast<size_t>(x) * length + y) * bpp + c] =
                    in[(static_cast<size_t>(y) * width + x) * bpp + c];
    return out;
}

TEST(ResampleFits, NeedsRoomBetweenLinesAndInTheTable) {
    EXPECT_TRUE(qx::ResampleFits(33, 64, qx::kColourPositionCapacity));   // step 1
    EXPECT_FALSE(qx::ResampleFits(32, 64, qx::kColourPositionCapacity));  // step 0
    EXPECT_TRUE(qx::ResampleFits(95, 64, qx::kColourPositionCapacity));   // narrowing step 3
    EXPECT_FALSE(qx::ResampleFits(64, 32, qx::kColourPositionCapacity));  // narrowing step 1
    EXPECT_TRUE(qx::ResampleFits(640, 576, qx::kGreyPositionCapacity));
    EXPECT_FALSE(qx::ResampleFits(640, 575, qx::kGreyPositionCapacity));
    EXPECT_TRUE(qx::ResampleFits(64, 64, 0));
}

TEST(Resample, ColumnsMatchTheWalkOverEverySourceColumn) {
    const std::pair<int, int> sizes[] = {{600, 640}, {400, 384}, {33, 64},     {95, 64},
                                         {96, 128},  {703, 640}, {1000, 1024}, {451, 448}};
    for (auto [n, m] : sizes) {
        for (int bpp : {1, 3}) {
            const int length = 3;
            const Picture in = RandomPicture(n, length, bpp, n * 7 + m);
            Picture out(static_cast<size_t>(m) * length * bpp, 0xEE);
            if (bpp == 3) {
                qx::ResampleColumns(in.data(), out.data(), n, length, m);
            } else {
                qx::ResampleColumnsGrey(in.data(), out.data(), n, length, m);
            }
            EXPECT_EQ(out, LiteralColumns(in, n, length, m, bpp)) << n << "->" << m << " " << bpp;
        }
    }
}

TEST(Resample, RowsAreColumnsOfTheTransposedPicture) {
    const std::pair<int, int> sizes[] = {{400, 384}, {600, 640}, {300, 320}};
    for (auto [n, m] : sizes) {
        for (int bpp : {1, 3}) {
            const int width = 5;
            const Picture in = RandomPicture(width, n, bpp, n + m);
            Picture rows(static_cast<size_t>(width) * m * bpp);
            Picture columns(rows.size());
            const Picture transposed = Transpose(in, width, n, bpp);
            if (bpp == 3) {
                qx::ResampleRows(in.data(), rows.data(), n, width, m);
                qx::ResampleColumns(transposed.data(), columns.data(), n, width, m);
            } else {
                qx::ResampleRowsGrey(in.data(), rows.data(), n, width, m);
                qx::ResampleColumnsGrey(transposed.data(), columns.data(), n, width, m);
            }
            EXPECT_EQ(rows, Transpose(columns, m, width, bpp)) << n << "->" << m;
        }
    }
}

TEST(ComputeFocusRect, GridsAndPlacements) {
    qx::FocusRectangle rect{};
    EXPECT_EQ(qx::ComputeFocusRect(640, 512, 4, 0, 1, rect), qx::kOk);
    EXPECT_EQ(rect, (qx::FocusRectangle{128, 128, 384, 256}));
    EXPECT_EQ(qx::ComputeFocusRect(960, 960, 4, 0, 3, rect), qx::kOk);
    EXPECT_EQ(rect, (qx::FocusRectangle{128, 0, 832, 832}));
    EXPECT_EQ(qx::ComputeFocusRect(640, 512, 4, 0, 7, rect), qx::kOk);
    EXPECT_EQ(rect, (qx::FocusRectangle{0, 256, 384, 256}));
    EXPECT_EQ(qx::ComputeFocusRect(640, 512, 4, 32, 5, rect), qx::kOk);  // border lifts the bottom
    EXPECT_EQ(rect, (qx::FocusRectangle{256, 224, 384, 256}));
}

TEST(ComputeFocusRect, FailuresLeaveTheRectangle) {
    const qx::FocusRectangle before{1, 2, 3, 4};
    qx::FocusRectangle rect = before;
    EXPECT_EQ(qx::ComputeFocusRect(512, 512, 4, 0, 1, rect), qx::kSizesChange);    // grid 2 x 2
    EXPECT_EQ(qx::ComputeFocusRect(1024, 64, 4, 0, 1, rect), qx::kOddMultiplier);  // 32 x 2
    EXPECT_EQ(qx::ComputeFocusRect(640, 512, 4, 0, 0, rect), qx::kUnknownFokus);
    EXPECT_EQ(qx::ComputeFocusRect(640, 512, 4, 0, 255, rect), qx::kUnknownFokus);
    EXPECT_EQ(rect, before);
}

TEST(Crop, MovesTheRectangleToTheTopLeft) {
    int16_t width = 6, length = 5, border = 32;
    Picture picture(6 * 5 * 3);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint8_t>(i);
    const Picture source = picture;
    qx::CropToRect(picture.data(), width, length, border, {2, 1, 3, 2});
    EXPECT_EQ(width, 3);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(border, 0);
    for (int y = 0; y < 2; ++y)
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(picture[y * 9 + i], source[((1 + y) * 6 + 2) * 3 + i]);
}

}  // namespace
