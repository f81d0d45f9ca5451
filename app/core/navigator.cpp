// Navigator frame arithmetic.
#include "app/core/navigator.h"

namespace qx {

void ComputeNavigator(ViewState& view, int anchorLeft, int anchorTop, int width, int length) {
    NavigatorFrame& n = view.nav;
    if (width <= 0 || length <= 0) return;
    if (width >= length) {
        n.NavW = 100;
        n.NavH = static_cast<int>(100.0 * length / width);
    } else {
        n.NavH = 100;
        n.NavW = static_cast<int>(100.0 * width / length);
    }
    n.NavX = anchorLeft;
    n.NavY = anchorTop + view.ViewLength - 24;
    n.FrameX = n.NavX + 1;
    n.FrameY = n.NavY + 1;
    n.FrameW = static_cast<int>(static_cast<double>(n.NavW) * view.ViewWidth / width);
    n.FrameH = static_cast<int>(static_cast<double>(n.NavH) * view.ViewLength / length);
    if (n.FrameH > n.NavH - 2) n.FrameH = n.NavH - 2;
    if (n.FrameW > n.NavW - 2) n.FrameW = n.NavW - 2;
    view.NavigatorDrawn = true;
}

namespace {

int FramePosition(int offset, int nav, int navSize, int frameSize, int pictureSize, int viewSize) {
    const int f = viewSize < pictureSize
                      ? static_cast<int>(static_cast<double>(offset) * (navSize - frameSize) /
                                         (pictureSize - viewSize))
                      : 0;
    if (nav + f < nav + 1) return nav + 1;
    if (f + frameSize > navSize - 1) return nav + navSize - frameSize - 1;
    return nav + f;
}

}  // namespace

void MoveNavigatorFrame(ViewState& view, int x, int y, int width, int length) {
    NavigatorFrame& n = view.nav;
    n.FrameX = FramePosition(x, n.NavX, n.NavW, n.FrameW, width, view.ViewWidth);
    n.FrameY = FramePosition(y, n.NavY, n.NavH, n.FrameH, length, view.ViewLength);
}

void SetNavigatorColours(ViewState& view, NavigatorColour outer, NavigatorColour inner) {
    view.nav.outer = outer;
    view.nav.inner = inner;
}

}  // namespace qx
