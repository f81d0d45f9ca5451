// Placement tables of the viewers.
#include "app/core/view_layout.h"

#include <algorithm>

namespace qx {

AxisPlacement PlaceAcross(int pictureWidth, int limit, int span) {
    AxisPlacement p;
    const int room = span - 4;
    if (pictureWidth >= limit) {
        if (room > limit) {
            p.client = limit;
            p.offset = (span - limit) / 2;
        } else {
            p.client = pictureWidth > limit ? limit : room / 2;
            p.offset = 2;
        }
    } else if (room > pictureWidth) {
        p.client = pictureWidth;
        p.offset = (span - pictureWidth) / 2;
    } else {
        p.client = room / 2;
        p.offset = 2;
    }
    p.view = p.client;
    return p;
}

AxisPlacement PlaceDown(int pictureLength, int limit, int room) {
    AxisPlacement p;
    if (pictureLength >= limit) {
        p.client = room > pictureLength ? limit : (pictureLength > limit ? limit : room - 4);
    } else {
        p.client = room > pictureLength ? pictureLength : room - 4;
    }
    p.view = p.client;
    return p;
}

namespace {

int RoundDown4(int value) {
    return value - (value & 3);
}

ViewerRect Place(ViewState& view, const MainWindowMetrics& main, int width, int length, int span,
                 int widthLimit, int shift) {
    const int top = main.frameHeight + 10;
    const AxisPlacement across = PlaceAcross(width, widthLimit, span);
    const AxisPlacement down = PlaceDown(length, view.MaxViewLength, main.clientHeight - top);
    view.ViewWidth = RoundDown4(across.view);
    view.ViewLength = down.view;
    return ViewerRect{shift + across.offset, top, across.client, down.client};
}

}  // namespace

ViewerRect PlaceSourceViewer(ViewState& view, const MainWindowMetrics& main, int width,
                             int length) {
    const int half = main.clientWidth / 2;
    return Place(view, main, width, length, half, view.MaxViewWidth, 0);
}

ViewerRect PlaceRestoredViewer(ViewState& view, const MainWindowMetrics& main, int width,
                               int length) {
    const int half = main.clientWidth / 2;
    return Place(view, main, width, length, half, view.MaxViewWidth, half);
}

ViewerRect PlaceWideViewer(ViewState& view, const MainWindowMetrics& main, int width, int length) {
    return Place(view, main, width, length, main.clientWidth, 2 * view.MaxViewWidth, 0);
}

void ResizeSourceView(ViewState& view, int clientWidth, int clientHeight) {
    // Window managers may resize the viewer on their own; the view never outgrows its buffers.
    view.ViewWidth = RoundDown4(std::clamp(clientWidth, 0, 2 * view.MaxViewWidth));
    view.ViewLength = std::clamp(clientHeight, 0, view.MaxViewLength);
}

ViewerRect InitialViewerRect(int screenWidth, int screenHeight, int frameHeight, bool right) {
    return ViewerRect{right ? screenWidth / 2 + 2 : 2, frameHeight + 10, screenWidth / 2 - 40,
                      screenHeight - 200 - frameHeight};
}

}  // namespace qx
