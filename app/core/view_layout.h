// Where the viewers go on the screen and how large their picture area is, from the picture size,
// the largest view and the main window's client area.
#pragma once

#include "app/core/view_state.h"

namespace qx {

// The main window as the placement sees it.
struct MainWindowMetrics {
    int clientWidth = 0;
    int clientHeight = 0;
    int frameHeight = 0;  // window height less client height: caption, menu bar and borders
};

// A viewer window: position of its top-left corner and the size of its client area.
struct ViewerRect {
    int left = 0;
    int top = 0;
    int clientWidth = 0;
    int clientHeight = 0;
};

// One axis of a placement. `span` is the room the viewer is centred in (half the client width,
// or the whole of it for the wide layout).
struct AxisPlacement {
    int client = 0;
    int view = 0;
    int offset = 0;
};
AxisPlacement PlaceAcross(int pictureWidth, int limit, int span);
AxisPlacement PlaceDown(int pictureLength, int limit, int room);

// Each sets ViewWidth (rounded down to a multiple of 4) and ViewLength in `view`.
ViewerRect PlaceSourceViewer(ViewState& view, const MainWindowMetrics& main, int width, int length);
ViewerRect PlaceRestoredViewer(ViewState& view, const MainWindowMetrics& main, int width,
                               int length);
ViewerRect PlaceWideViewer(ViewState& view, const MainWindowMetrics& main, int width, int length);

// A resize of the left viewer takes its client size as the view, kept within the view buffers.
void ResizeSourceView(ViewState& view, int clientWidth, int clientHeight);

// The viewers' design size and position before any picture is shown.
ViewerRect InitialViewerRect(int screenWidth, int screenHeight, int frameHeight, bool right);

}  // namespace qx
