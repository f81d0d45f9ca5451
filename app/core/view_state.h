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

// The viewers' scale as a fraction: a picture of width w is drawn w * num / den pixels wide.
// 1/1 draws one screen pixel per picture pixel. `fit` keeps the whole picture in view: the
// fraction is then recomputed whenever the view or the picture changes.
struct ViewZoom {
    int num = 1;
    int den = 1;
    bool fit = false;
};

struct ViewState {
    // Largest view of one viewer, fixed at start-up.
    int MaxViewWidth = 0;
    int MaxViewLength = 0;
    // Drawn picture area, the same for both viewers; ViewWidth is a multiple of 4 once a viewer
    // has been placed, so a row of 3 x ViewWidth bytes needs no padding.
    int ViewWidth = 0;
    int ViewLength = 0;
    // Column and row of the scaled picture at the viewers' top-left corner; at 1/1 these are
    // picture columns and rows.
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
    ViewZoom zoom;
};

}  // namespace qx
