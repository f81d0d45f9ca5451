// Placement of the viewers and the start-up figures they depend on.
#include <gtest/gtest.h>

#include "app/core/startup_figures.h"
#include "app/core/view_layout.h"
#include "appcore/fake_windows.h"

namespace {

using qx::MainWindowMetrics;
using qx::ViewState;
using qxtest::Place;
using Rect = std::array<int, 4>;

// A maximised main window on a 1024 x 768 screen: a 50-pixel frame, views up to 472 x 518.
const MainWindowMetrics kMain1024{1024, 718, 50};

ViewState Limits(int maxWidth, int maxLength) {
    ViewState v;
    v.MaxViewWidth = maxWidth;
    v.MaxViewLength = maxLength;
    return v;
}

TEST(ViewerPlacement, PicturesAreCentredInTheirHalfUpToTheLargestView) {
    ViewState v = Limits(472, 518);
    EXPECT_EQ(Place(qx::PlaceSourceViewer(v, kMain1024, 300, 200)), (Rect{106, 60, 300, 200}));
    EXPECT_EQ(v.ViewWidth, 300);
    EXPECT_EQ(v.ViewLength, 200);
    EXPECT_EQ(Place(qx::PlaceRestoredViewer(v, kMain1024, 300, 200)),
              (Rect{512 + 106, 60, 300, 200}));
    // The view width is rounded down to a multiple of four, the window's is not.
    EXPECT_EQ(Place(qx::PlaceSourceViewer(v, kMain1024, 301, 200)),
              (Rect{(512 - 301) / 2, 60, 301, 200}));
    EXPECT_EQ(v.ViewWidth, 300);
    EXPECT_EQ(qx::PlaceWideViewer(v, kMain1024, 600, 400).left, 212);
    EXPECT_EQ(v.ViewWidth, 600);

    v = Limits(472, 520);
    EXPECT_EQ(Place(qx::PlaceSourceViewer(v, kMain1024, 1000, 800)), (Rect{20, 60, 472, 520}));
    EXPECT_EQ(qx::PlaceRestoredViewer(v, kMain1024, 1000, 800).left, 532);
    EXPECT_EQ(Place(qx::PlaceWideViewer(v, kMain1024, 1000, 800)), (Rect{40, 60, 944, 520}));
    EXPECT_EQ(v.ViewWidth, 944);
}

TEST(ViewerPlacement, NarrowMainWindowUsesTheFallbackRows) {
    ViewState v = Limits(472, 518);
    const MainWindowMetrics narrow{600, 300, 50};  // half 300, room across 296, room down 240
    // Wider than the limit: the limit, at the left edge.
    qx::ViewerRect r = qx::PlaceSourceViewer(v, narrow, 500, 100);
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
    EXPECT_EQ(Place({f.banner.left, f.banner.top, f.banner.width, f.banner.height}),
              (Rect{114, (718 - 224) / 2, 796, 224}));
    // A banner too high for the client area sits below the frame.
    EXPECT_EQ(qx::ComputeStartupFigures(1024, 768, frame, 100).banner.top, 50);

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

}  // namespace
