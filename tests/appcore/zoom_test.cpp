// Zooming the viewers: steps, fit, the point under the pointer, clamps, the navigator, and the
// scaled rows; the difference map and PSNR of the two viewers. (The window tests zoom, flip and
// compare the viewers on screen.)
#include <gtest/gtest.h>

#include <cmath>

#include "app/core/comparison.h"
#include "app/core/navigator.h"
#include "app/core/zoom.h"
#include "app/core/zoomed_rows.h"

namespace {

using qx::ViewZoom;

// A 4000 x 3000 picture in a 200 x 150 view: no step clamps a pointer near the middle.
qx::ViewState SmallView() {
    qx::ViewState v;
    v.ViewWidth = 200;
    v.ViewLength = 150;
    return v;
}

// Picture coordinate of the centre of view pixel `at`, and whether view pixel `at` covers it.
double CentreUnder(int offset, int at, const ViewZoom& z) {
    return (offset + at + 0.5) * z.den / z.num;
}
bool Covers(int offset, int at, const ViewZoom& z, double p) {
    return (offset + at) * double(z.den) / z.num <= p &&
           p < (offset + at + 1) * double(z.den) / z.num;
}

TEST(Zoom, ThePointUnderThePointerStaysAtEveryStep) {
    qx::ViewState v = SmallView();
    v.ViewX = 1000;
    v.ViewY = 700;
    const int x = 37, y = 60;
    // Up from 100 % to 800 %, down to 12.5 %, and back up.
    for (int direction : {+1, +1, +1, -1, -1, -1, -1, -1, -1, +1, +1, +1}) {
        const double px = CentreUnder(v.ViewX, x, v.zoom);
        const double py = CentreUnder(v.ViewY, y, v.zoom);
        qx::ZoomAbout(v, qx::NextZoom(v.zoom, direction), x, y, 4000, 3000);
        EXPECT_TRUE(Covers(v.ViewX, x, v.zoom, px)) << qx::ZoomPercent(v.zoom);
        EXPECT_TRUE(Covers(v.ViewY, y, v.zoom, py)) << qx::ZoomPercent(v.zoom);
    }
    EXPECT_EQ(qx::ZoomPercent(v.zoom), 100);
    // No step beyond the ends.
    EXPECT_TRUE(qx::SameScale(qx::NextZoom(qx::ZoomStep(6), +1), ViewZoom{8, 1}));
    EXPECT_TRUE(qx::SameScale(qx::NextZoom(qx::ZoomStep(0), -1), ViewZoom{1, 8}));
}

TEST(Zoom, OffsetsClampAtEachEdgeAtEveryStep) {
    for (int step = 0; step < qx::kZoomStepCount; ++step) {
        qx::ViewState v = SmallView();
        v.zoom = qx::ZoomStep(step);
        const int scaledW = qx::ScaledExtent(4000, v.zoom);
        const int scaledL = qx::ScaledExtent(3000, v.zoom);
        EXPECT_EQ(scaledW, 4000 * v.zoom.num / v.zoom.den);
        v.ViewX = v.ViewY = 1 << 20;
        qx::RefitZoom(v, 4000, 3000);
        EXPECT_EQ(v.ViewX, scaledW - 200) << step;
        EXPECT_EQ(v.ViewY, std::max(scaledL - 150, 0)) << step;
        v.ViewX = v.ViewY = -7;
        qx::RefitZoom(v, 4000, 3000);
        EXPECT_EQ(v.ViewX, 0);
        EXPECT_EQ(v.ViewY, 0);
        // Zooming about the far corner keeps the picture's far edge at the view's edge.
        qx::ZoomAbout(v, qx::ZoomStep(step), 199, 149, 4000, 3000);
        EXPECT_GE(v.ViewX, 0);
        EXPECT_LE(v.ViewX, std::max(scaledW - 200, 0));
    }
}

TEST(Zoom, FitForWideTallAndSmallPictures) {
    const ViewZoom wide = qx::FitZoom(400, 300, 1600, 400);
    EXPECT_EQ(qx::ScaledExtent(1600, wide), 400);
    EXPECT_EQ(qx::ScaledExtent(400, wide), 100);
    const ViewZoom tall = qx::FitZoom(400, 300, 300, 1000);
    EXPECT_EQ(qx::ScaledExtent(300, tall), 90);
    EXPECT_EQ(qx::ScaledExtent(1000, tall), 300);
    // A picture that fits is not enlarged.
    const ViewZoom small = qx::FitZoom(400, 300, 200, 100);
    EXPECT_TRUE(qx::SameScale(small, ViewZoom{}));
    EXPECT_TRUE(small.fit);
    // From a fit between steps, + and - go to the steps either side.
    EXPECT_TRUE(qx::SameScale(qx::NextZoom(tall, +1), ViewZoom{1, 2}));
    EXPECT_TRUE(qx::SameScale(qx::NextZoom(tall, -1), ViewZoom{1, 4}));

    // A fit follows the view when it is resized.
    qx::ViewState v;
    v.ViewWidth = 400;
    v.ViewLength = 300;
    qx::ZoomAbout(v, ViewZoom{1, 1, true}, 0, 0, 1600, 400);
    v.ViewWidth = 800;
    qx::RefitZoom(v, 1600, 400);
    EXPECT_EQ(qx::ScaledWidth(v, 1600), 800);
}

TEST(Zoom, NavigatorFrameShowsThePartInView) {
    // 1000 x 800 in 472 x 520: at 200 % a quarter of the picture's width is in view.
    qx::ViewState v;
    v.ViewWidth = 472;
    v.ViewLength = 520;
    v.zoom = qx::ZoomStep(4);
    qx::ComputeNavigator(v, 20, 60, qx::ScaledWidth(v, 1000), qx::ScaledLength(v, 800));
    EXPECT_EQ(v.nav.FrameW, 23);  // 100 * 472 / 2000
    EXPECT_EQ(v.nav.FrameH, 26);  // 80 * 520 / 1600
    qx::MoveNavigatorFrame(v, 2000 - 472, 1600 - 520, 2000, 1600);
    EXPECT_EQ(v.nav.FrameX, 20 + 100 - 23 - 1);
    EXPECT_EQ(v.nav.FrameY, v.nav.NavY + 80 - 26 - 1);
    // At fit the whole picture is in view: the inner frame fills the outer one.
    qx::ZoomAbout(v, ViewZoom{1, 1, true}, 0, 0, 1000, 800);
    qx::ComputeNavigator(v, 20, 60, qx::ScaledWidth(v, 1000), qx::ScaledLength(v, 800));
    EXPECT_EQ(v.nav.FrameW, v.nav.NavW - 2);
    EXPECT_EQ(v.nav.FrameH, v.nav.NavH - 2);
    EXPECT_EQ(v.ViewX, 0);
}

// A 4 x 4 picture whose pixel (x, y) is (x, y, 10 x + y) in display order.
qx::DisplayCopy Numbered(int width, int length) {
    qx::DisplayCopy c;
    c.width = width;
    c.length = length;
    for (int y = 0; y < length; ++y) {
        for (int x = 0; x < width; ++x) {
            c.bytes.insert(c.bytes.end(), {uint8_t(x), uint8_t(y), uint8_t(10 * x + y)});
        }
    }
    return c;
}

// Pixel (x, y) of bottom-up rows.
const uint8_t* At(const std::vector<uint8_t>& rows, const qx::ViewState& v, int x, int y) {
    return rows.data() + (size_t(v.ViewLength - 1 - y) * v.ViewWidth + x) * 3;
}

TEST(ZoomedRows, BlocksAboveAverageBelowGreyBeyond) {
    const qx::DisplayCopy copy = Numbered(4, 4);
    qx::ZoomScratch scratch;
    qx::ViewState v;
    v.ViewWidth = 8;
    v.ViewLength = 8;
    std::vector<uint8_t> rows(8 * 8 * 3, 0x55);

    v.zoom = qx::ZoomStep(5);  // 400 %, from scaled (2, 1): picture (0, 0) in 2 x 3 pixels
    v.ViewX = 2;
    v.ViewY = 1;
    qx::DrawZoomedRows(v, copy, scratch, rows.data());
    EXPECT_EQ(At(rows, v, 1, 2)[2], 0);
    EXPECT_EQ(At(rows, v, 2, 2)[0], 1);   // next column
    EXPECT_EQ(At(rows, v, 2, 3)[1], 1);   // next row
    EXPECT_EQ(At(rows, v, 7, 7)[2], 22);  // picture (2, 2)

    v.zoom = qx::ZoomStep(2);  // 50 %: 2 x 2 view pixels, the rest grey
    v.ViewX = v.ViewY = 0;
    qx::DrawZoomedRows(v, copy, scratch, rows.data());
    const uint8_t* p = At(rows, v, 1, 0);  // columns 2-3, rows 0-1: averages 2.5, 0.5, 25.5
    EXPECT_EQ(p[0], 3);
    EXPECT_EQ(p[1], 1);
    EXPECT_EQ(p[2], 26);
    EXPECT_EQ(At(rows, v, 2, 0)[0], qx::kBeyondPicture);
    EXPECT_EQ(At(rows, v, 0, 2)[2], qx::kBeyondPicture);
}

TEST(Comparison, DifferenceMapHeatAndPsnr) {
    qx::DisplayCopy source{3, 1, {0, 0, 0, 10, 20, 30, 0, 0, 0}};
    qx::DisplayCopy restored{3, 1, {0, 0, 0, 13, 20, 25, 0, 0, 100}};
    qx::DisplayCopy map;
    ASSERT_TRUE(qx::FillDifferenceMap(source, restored, map));
    const auto none = qx::HeatColour(0);
    const auto five = qx::HeatColour(5);  // the largest channel error
    const auto top = qx::HeatColour(qx::kHeatTop);
    EXPECT_EQ(none, (std::array<uint8_t, 3>{0, 0, 0}));
    EXPECT_EQ(top, (std::array<uint8_t, 3>{255, 255, 255}));
    EXPECT_EQ(map.bytes, (std::vector<uint8_t>{0, 0, 0, five[2], five[1], five[0], 255, 255, 255}));
    EXPECT_NE(five, qx::HeatColour(6));

    // Squared errors 9 + 25 + 10000 over 9 bytes: 10 log10(65025 x 9 / 10034) = 17.6585 dB.
    const double psnr = qx::DisplayCopyPsnr(source, restored);
    EXPECT_NEAR(psnr, 17.6585, 1e-4);
    EXPECT_EQ(qx::PsnrLabelText(psnr), "PSNR 17.7 dB");
    EXPECT_EQ(qx::PsnrLabelText(qx::DisplayCopyPsnr(source, source)), "PSNR inf dB");
    restored.width = 1;
    EXPECT_FALSE(qx::FillDifferenceMap(source, restored, map));
    EXPECT_EQ(qx::PsnrLabelText(qx::DisplayCopyPsnr(source, restored)), "");
}

}  // namespace
