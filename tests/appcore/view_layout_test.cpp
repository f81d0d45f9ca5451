// Placement of the viewers and the start-up figures they depend on.
#include <gtest/gtest.h>

#include "app/core/startup_figures.h"
#include "app/core/view_layout.h"

namespace {

using qx::MainWindowMetrics;
using qx::ViewerRect;
using qx::ViewState;

// A maximised main window on a 1024 x 768 screen: a 50-pixel frame, views up to 472 x 518.
const MainWindowMetrics kMain1024{1024, 718, 50};

ViewState Limits(int maxWidth, int maxLength) {
    ViewState v;
    v.MaxViewWidth = maxWidth;
    v.MaxViewLength = maxLength;
    return v;
}

TEST(ViewerPlacement, SmallPictureIsCentredInItsHalfAtNaturalSize) {
    ViewState v = Limits(472, 518);
    const ViewerRect left = qx::PlaceSourceViewer(v, kMain1024, 300, 200);
    EXPECT_EQ(v.ViewWidth, 300);
    EXPECT_EQ(v.ViewLength, 200);
    EXPECT_EQ(left.left, 106);
    EXPECT_EQ(left.top, 60);
    EXPECT_EQ(left.clientWidth, 300);
    EXPECT_EQ(left.clientHeight, 200);

    const ViewerRect right = qx::PlaceRestoredViewer(v, kMain1024, 300, 200);
    EXPECT_EQ(right.left, 512 + 106);
    EXPECT_EQ(right.top, 60);
}

TEST(ViewerPlacement, ViewWidthIsRoundedDownToAMultipleOfFourButTheWindowIsNot) {
    ViewState v = Limits(472, 518);
    const ViewerRect r = qx::PlaceSourceViewer(v, kMain1024, 301, 200);
    EXPECT_EQ(v.ViewWidth, 300);
    EXPECT_EQ(r.clientWidth, 301);
    EXPECT_EQ(r.left, (512 - 301) / 2);
}

TEST(ViewerPlacement, LargePictureIsLimitedToTheLargestView) {
    ViewState v = Limits(472, 520);
    MainWindowMetrics main{1024, 718, 50};
    const ViewerRect left = qx::PlaceSourceViewer(v, main, 1000, 800);
    EXPECT_EQ(v.ViewWidth, 472);
    EXPECT_EQ(v.ViewLength, 520);
    EXPECT_EQ(left.left, 20);
    const ViewerRect right = qx::PlaceRestoredViewer(v, main, 1000, 800);
    EXPECT_EQ(right.left, 532);

    const ViewerRect wide = qx::PlaceWideViewer(v, main, 1000, 800);
    EXPECT_EQ(v.ViewWidth, 944);
    EXPECT_EQ(wide.clientWidth, 944);
    EXPECT_EQ(wide.left, 40);
    EXPECT_EQ(v.ViewLength, 520);
}

TEST(ViewerPlacement, WideLayoutCentresASmallPictureInTheWholeWidth) {
    ViewState v = Limits(472, 518);
    const ViewerRect wide = qx::PlaceWideViewer(v, kMain1024, 600, 400);
    EXPECT_EQ(v.ViewWidth, 600);
    EXPECT_EQ(wide.left, 212);
}

TEST(ViewerPlacement, NarrowMainWindowUsesTheFallbackRows) {
    ViewState v = Limits(472, 518);
    const MainWindowMetrics narrow{600, 300, 50};  // half 300, room across 296, room down 240
    // Wider than the limit: the limit, at the left edge.
    ViewerRect r = qx::PlaceSourceViewer(v, narrow, 500, 100);
    EXPECT_EQ(r.clientWidth, 472);
    EXPECT_EQ(r.left, 2);
    // Exactly the limit, or narrower but not fitting: half the room.
    r = qx::PlaceSourceViewer(v, narrow, 472, 100);
    EXPECT_EQ(r.clientWidth, 148);
    r = qx::PlaceSourceViewer(v, narrow, 400, 100);
    EXPECT_EQ(r.clientWidth, 148);
    EXPECT_EQ(v.ViewWidth, 148);
    EXPECT_EQ(r.left, 2);
    // Down: longer than the room leaves 4 pixels, longer than the limit takes the limit.
    r = qx::PlaceSourceViewer(v, narrow, 100, 400);
    EXPECT_EQ(r.clientHeight, 236);
    r = qx::PlaceSourceViewer(v, narrow, 100, 518);
    EXPECT_EQ(r.clientHeight, 236);
    r = qx::PlaceSourceViewer(v, narrow, 100, 700);
    EXPECT_EQ(r.clientHeight, 518);
    EXPECT_EQ(v.ViewLength, 518);
}

TEST(ViewerPlacement, ResizeNeverOutgrowsTheViewBuffers) {
    ViewState v = Limits(472, 518);
    qx::ResizeSourceView(v, 2000, 1000);
    EXPECT_EQ(v.ViewWidth, 944);
    EXPECT_EQ(v.ViewLength, 518);
    qx::ResizeSourceView(v, 301, 200);
    EXPECT_EQ(v.ViewWidth, 300);
    EXPECT_EQ(v.ViewLength, 200);
}

TEST(StartupFigures, ScreensOfDifferentSizes) {
    const int frame = 50;
    qx::StartupFigures f = qx::ComputeStartupFigures(1024, 768, frame, 768 - frame);
    EXPECT_FALSE(f.screenTooSmall);
    EXPECT_EQ(f.MaxViewWidth, 472);
    EXPECT_EQ(f.MaxViewLength, 568 - frame);
    EXPECT_EQ(f.banner.resource, "QxBigPobGray");
    EXPECT_EQ(f.banner.width, 796);
    EXPECT_EQ(f.banner.height, 224);
    EXPECT_EQ(f.banner.left, 114);
    EXPECT_EQ(f.banner.top, (718 - 224) / 2);

    f = qx::ComputeStartupFigures(1920, 1080, frame, 1080 - frame);
    EXPECT_EQ(f.MaxViewWidth, 800);
    EXPECT_EQ(f.MaxViewLength, 600);

    f = qx::ComputeStartupFigures(640, 480, frame, 480 - frame);
    EXPECT_EQ(f.MaxViewWidth, 280);
    EXPECT_EQ(f.MaxViewLength, 230);
    EXPECT_EQ(f.banner.resource, "QxSmallPobGray");
    EXPECT_EQ(f.banner.width, 640);
    EXPECT_EQ(f.banner.height, 180);
    EXPECT_EQ(f.banner.left, 0);

    EXPECT_TRUE(qx::ComputeStartupFigures(470, 600, frame, 550).screenTooSmall);
    EXPECT_TRUE(qx::ComputeStartupFigures(800, 399, frame, 349).screenTooSmall);
    EXPECT_FALSE(qx::ComputeStartupFigures(480, 400, frame, 350).screenTooSmall);
}

TEST(StartupFigures, BannerTooHighForTheClientAreaSitsBelowTheFrame) {
    const qx::StartupFigures f = qx::ComputeStartupFigures(1024, 768, 50, 100);
    EXPECT_EQ(f.banner.top, 50);
}

}  // namespace
