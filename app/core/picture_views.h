// The two viewers' pictures: display copies, the preallocated row buffers they are drawn from,
// placement when a picture is shown, panning both viewers together, and the navigator.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "app/core/view_layout.h"
#include "app/core/view_rows.h"
#include "app/core/view_state.h"
#include "app/core/window_surface.h"
#include "app/core/zoomed_rows.h"

namespace qx {

enum class Side { Source, Restored };

// What the restored viewer shows.
enum class Shown { Restored, Source, Difference };

class PictureViews {
  public:
    PictureViews(MainSurface& main, ViewerSurface& source, ViewerSurface& restored);

    ViewState& state() { return view_; }
    const ViewState& state() const { return view_; }
    void setMaxView(int maxViewWidth, int maxViewLength);

    const DisplayCopy& sourceCopy() const { return source_; }
    const DisplayCopy& restoredCopy() const { return restored_; }
    const ViewerSurface& restoredSurface() const { return restoredSurface_; }
    ViewerSurface& sourceSurface() { return sourceSurface_; }

    // Makes room for the source picture's display copy; false when memory runs out.
    bool allocateSourceCopy(int width, int length);
    // Shows an RGB picture in the left viewer from its top-left corner.
    void showSourcePicture(const uint8_t* rgb, int width, int length);
    // Shows the restored picture (RGB, or grey with one byte per pixel) in the right viewer,
    // beside the left one or alone and wide. False when its display copy could not be made.
    bool showRestoredPicture(const uint8_t* picture, int width, int length, bool grey, bool wide);
    void hideViewers();

    // Navigator below the visible viewer, drawn white and red.
    void computeNavigator();
    void drawNavigator(NavigatorColour outer, NavigatorColour inner);
    void eraseNavigator();

    // Mouse in a viewer, in its client coordinates.
    void mouseDown(Side side, int x, int y);
    void mouseMove(Side side, int x, int y);
    void mouseUp(Side side);
    // The left viewer's client area was resized.
    void sourceResized(int clientWidth, int clientHeight);

    // Fills the side's row buffer for painting; rows are bottom row first, ViewWidth x 3 bytes
    // each, ViewLength of them. Returns nullptr when there is nothing to draw.
    const uint8_t* viewRows(Side side);

    // Comparing (picture_views_compare.cpp). All of it needs both pictures at the same size.
    bool comparable() const;
    // Zoom both viewers to the next step (direction > 0 larger), about view pixel (x, y).
    void zoomStep(int direction, int x, int y);
    void zoomStep(int direction);  // about the middle of the view
    void zoomTo(ViewZoom zoom);    // about the middle of the view
    // The flip shows the source in the restored viewer while held or while switched on.
    void setFlipHeld(bool held);
    void setFlipOn(bool on);
    bool flipOn() const { return flipOn_; }
    void setDifferenceOn(bool on);
    bool differenceOn() const { return differenceOn_; }
    Shown restoredShows() const;
    // Back to 1:1, no flip, no difference.
    void resetComparison();

  private:
    ViewerSurface& surface(Side side) {
        return side == Side::Source ? sourceSurface_ : restoredSurface_;
    }
    void prepareRows();
    bool pictureLarger() const;
    int scaledWidth() const;
    int scaledLength() const;
    // Redraws both viewers and moves the navigator after a change of zoom or of what is shown.
    void showChange(bool navigator);
    const DisplayCopy& restoredViewCopy();

    MainSurface& main_;
    ViewerSurface& sourceSurface_;
    ViewerSurface& restoredSurface_;
    ViewState view_;
    DisplayCopy source_;
    DisplayCopy restored_;
    // Picture size the offsets are clamped to.
    int width_ = 0;
    int length_ = 0;
    std::vector<uint8_t> sourceRows_;
    std::vector<uint8_t> restoredRows_;
    ZoomScratch scratch_;
    bool flipHeld_ = false;
    bool flipOn_ = false;
    bool differenceOn_ = false;
    // The heat map of the current pair, made when first shown.
    DisplayCopy difference_;
    bool differenceValid_ = false;
};

}  // namespace qx
