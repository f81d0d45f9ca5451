// Panning by dragging: a quarter of the distance from the start point per move event, clamped
// to the picture, redrawn only once the offsets have moved by 5 pixels or more.
#pragma once

#include "app/core/view_state.h"

namespace qx {

// True when the picture does not fit the view, so the viewer shows the hand pointer.
bool PictureLargerThanView(const ViewState& view, int width, int length);

void StartDrag(ViewState& view, int x, int y);

// Moves the offsets for a mouse move to (x, y) over a picture of width x length. Returns true
// when the dragged viewer and the navigator have to be redrawn (LastViewX/Y are then updated).
bool DragTo(ViewState& view, int x, int y, int width, int length);

// Keeps the offsets inside the picture: 0 <= ViewX <= width - ViewWidth, never negative.
void ClampViewOffsets(ViewState& view, int width, int length);

void EndDrag(ViewState& view);

}  // namespace qx
