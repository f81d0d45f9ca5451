// Dragging the viewers and the navigator that follows them.
#include <gtest/gtest.h>

#include "app/core/navigator.h"
#include "app/core/panning.h"

namespace {

// A 1000 x 800 picture in a 472 x 520 view.
qx::ViewState BigPictureView() {
    qx::ViewState v;
    v.ViewWidth = 472;
    v.ViewLength = 520;
    return v;
}

TEST(Panning, QuarterOfTheDistanceRoundedDown) {
    qx::ViewState v = BigPictureView();
    v.ViewX = 10;
    v.ViewY = 10;
    qx::StartDrag(v, 100, 100);
    qx::DragTo(v, 103, 100, 1000, 800);
    EXPECT_EQ(v.ViewX, 10);
    qx::DragTo(v, 97, 100, 1000, 800);
    EXPECT_EQ(v.ViewX, 9);
    // The start point stays: every move event far from it scrolls again.
    qx::DragTo(v, 100, 140, 1000, 800);
    qx::DragTo(v, 100, 140, 1000, 800);
    EXPECT_EQ(v.ViewY, 30);
}

TEST(Panning, OffsetsStayInsideThePictureAndNeverGoNegative) {
    qx::ViewState v = BigPictureView();
    qx::StartDrag(v, 0, 0);
    for (int i = 0; i < 100; ++i) qx::DragTo(v, 400, 400, 1000, 800);
    EXPECT_EQ(v.ViewX, 528);
    EXPECT_EQ(v.ViewY, 280);
    for (int i = 0; i < 100; ++i) qx::DragTo(v, -400, -400, 1000, 800);
    EXPECT_EQ(v.ViewX, 0);
    EXPECT_EQ(v.ViewY, 0);
    // A view larger than the picture: nothing to scroll.
    qx::DragTo(v, 100, 100, 300, 200);
    EXPECT_EQ(v.ViewX, 0);
    EXPECT_EQ(v.ViewY, 0);
}

TEST(Panning, RedrawsOnlyAfterFivePixels) {
    qx::ViewState v = BigPictureView();
    qx::StartDrag(v, 0, 0);
    EXPECT_FALSE(qx::DragTo(v, 16, 0, 1000, 800));  // 4
    EXPECT_TRUE(qx::DragTo(v, 16, 0, 1000, 800));   // 8
    EXPECT_EQ(v.LastViewX, 8);
    EXPECT_FALSE(qx::DragTo(v, 0, 16, 1000, 800));  // y 4
    qx::EndDrag(v);
    EXPECT_FALSE(qx::DragTo(v, 400, 400, 1000, 800));
    EXPECT_EQ(v.ViewX, 8);
}

TEST(Navigator, PictureTheSizeOfTheViewFillsTheFrameAndDoesNotMove) {
    qx::ViewState v = BigPictureView();
    qx::ComputeNavigator(v, 0, 0, 472, 520);
    EXPECT_EQ(v.nav.NavH, 100);
    EXPECT_EQ(v.nav.NavW, 90);
    EXPECT_EQ(v.nav.FrameW, v.nav.NavW - 2);
    EXPECT_EQ(v.nav.FrameH, v.nav.NavH - 2);
    qx::MoveNavigatorFrame(v, 0, 0, 472, 520);
    EXPECT_EQ(v.nav.FrameX, 1);
    EXPECT_EQ(v.nav.FrameY, v.nav.NavY + 1);
}

}  // namespace
