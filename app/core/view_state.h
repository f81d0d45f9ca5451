// The shared state of the two viewers and the navigator: view size and offsets, the drag, and
// which windows are shown. One instance serves both viewers, which always show the same region.
#pragma once

namespace qx {

enum class NavigatorColour { Background, White, Red };

struct NavigatorFrame {
    // Outer frame: the whole picture.
    int NavX = 0, NavY = 0, NavW = 0, NavH = 0;
    // Inner frame: the region the viewers show.
    int FrameX = 0, FrameY = 0, FrameW = 0, FrameH = 0;
    NavigatorColour outer = NavigatorColour::Background;
    NavigatorColour inner = NavigatorColour::Background;
};

struct ViewState {
    // Largest view of one viewer, fixed at start-up.
    int MaxViewWidth = 0;
    int MaxViewLength = 0;
    // Drawn picture area, the same for both viewers; ViewWidth is a multiple of 4 once a viewer
    // has been placed, so a row of 3 x ViewWidth bytes needs no padding.
    int ViewWidth = 0;
    int ViewLength = 0;
    // Picture column and row at the viewers' top-left corner.
    int ViewX = 0;
    int ViewY = 0;
    int LastViewX = 0;
    int LastViewY = 0;
    int DragStartX = 0;
    int DragStartY = 0;
    bool Dragging = false;
    bool SourceViewerShown = false;
    bool RestoredViewerShown = false;
    bool NavigatorDrawn = false;
    NavigatorFrame nav;
};

}  // namespace qx
