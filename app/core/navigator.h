// The navigator drawn on the main window: the whole picture as a frame of at most 100 pixels a
// side, and the visible region as a smaller frame inside it.
#pragma once

#include "app/core/view_state.h"

namespace qx {

// Anchors the navigator below the viewer at (anchorLeft, anchorTop) and sizes both frames for a
// picture of width x length; sets NavigatorDrawn.
void ComputeNavigator(ViewState& view, int anchorLeft, int anchorTop, int width, int length);

// Moves the inner frame to stand for the view offsets (x, y).
void MoveNavigatorFrame(ViewState& view, int x, int y, int width, int length);

// The colours the navigator is drawn in from now on.
void SetNavigatorColours(ViewState& view, NavigatorColour outer, NavigatorColour inner);

}  // namespace qx
