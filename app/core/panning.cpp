// Drag arithmetic shared by both viewers.
#include "app/core/panning.h"

#include <cstdlib>

#include "app/core/navigator.h"

namespace qx {

bool PictureLargerThanView(const ViewState& view, int width, int length) {
    return width > view.ViewWidth || length > view.ViewLength;
}

void StartDrag(ViewState& view, int x, int y) {
    view.DragStartX = x;
    view.DragStartY = y;
    view.Dragging = true;
}

void ClampViewOffsets(ViewState& view, int width, int length) {
    if (view.ViewX < 0) view.ViewX = 0;
    if (view.ViewY < 0) view.ViewY = 0;
    if (view.ViewWidth + view.ViewX > width) view.ViewX = width - view.ViewWidth;
    if (view.ViewLength + view.ViewY > length) view.ViewY = length - view.ViewLength;
    // A view wider than the picture would otherwise start before its first column.
    if (view.ViewX < 0) view.ViewX = 0;
    if (view.ViewY < 0) view.ViewY = 0;
}

bool DragTo(ViewState& view, int x, int y, int width, int length) {
    if (!view.Dragging) return false;
    // The start point stays put: holding the mouse away from it keeps scrolling, faster the
    // farther away. The shifts round towards minus infinity.
    view.ViewX += (x - view.DragStartX) >> 2;
    view.ViewY += (y - view.DragStartY) >> 2;
    ClampViewOffsets(view, width, length);
    if (std::abs(view.LastViewX - view.ViewX) < 5 && std::abs(view.LastViewY - view.ViewY) < 5) {
        return false;
    }
    MoveNavigatorFrame(view, view.ViewX, view.ViewY, width, length);
    view.LastViewX = view.ViewX;
    view.LastViewY = view.ViewY;
    return true;
}

void EndDrag(ViewState& view) {
    view.Dragging = false;
}

}  // namespace qx
