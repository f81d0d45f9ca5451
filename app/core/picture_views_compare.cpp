// Comparing in the viewers: zooming both together, the flip to the source and the difference
// view in the restored viewer.
#include <new>

#include "app/core/comparison.h"
#include "app/core/navigator.h"
#include "app/core/picture_views.h"
#include "app/core/zoom.h"

namespace qx {

bool PictureViews::comparable() const {
    return view_.SourceViewerShown && view_.RestoredViewerShown && source_.width == width_ &&
           source_.length == length_ && restored_.width == width_ && restored_.length == length_ &&
           width_ > 0 && length_ > 0;
}

void PictureViews::resetComparison() {
    view_.zoom = {};
    flipHeld_ = flipOn_ = differenceOn_ = false;
    differenceValid_ = false;
    difference_ = {};
}

void PictureViews::showChange(bool navigator) {
    if (navigator) {
        // Rows beyond a smaller scaled picture must not keep an earlier zoom's pixels.
        prepareRows();
        view_.LastViewX = view_.ViewX;
        view_.LastViewY = view_.ViewY;
        const Pointer pointer = pictureLarger() ? Pointer::Hand : Pointer::Arrow;
        sourceSurface_.setPointer(pointer);
        restoredSurface_.setPointer(pointer);
        if (view_.NavigatorDrawn) {
            computeNavigator();
            MoveNavigatorFrame(view_, view_.ViewX, view_.ViewY, scaledWidth(), scaledLength());
            main_.redrawNavigator();
        }
        sourceSurface_.redraw(false);
    }
    restoredSurface_.redraw(false);
}

void PictureViews::zoomStep(int direction, int x, int y) {
    if (!comparable()) return;
    const ViewZoom next = NextZoom(view_.zoom, direction);
    if (SameScale(next, view_.zoom) && !view_.zoom.fit) return;
    ZoomAbout(view_, next, x, y, width_, length_);
    showChange(true);
}

void PictureViews::zoomStep(int direction) {
    zoomStep(direction, view_.ViewWidth / 2, view_.ViewLength / 2);
}

void PictureViews::zoomTo(ViewZoom zoom) {
    if (!comparable()) return;
    ZoomAbout(view_, zoom, view_.ViewWidth / 2, view_.ViewLength / 2, width_, length_);
    showChange(true);
}

void PictureViews::setFlipHeld(bool held) {
    if (held == flipHeld_ || !comparable()) return;
    flipHeld_ = held;
    showChange(false);
}

void PictureViews::setFlipOn(bool on) {
    if (on == flipOn_ || !comparable()) return;
    flipOn_ = on;
    showChange(false);
}

void PictureViews::setDifferenceOn(bool on) {
    if (on == differenceOn_ || !comparable()) return;
    differenceOn_ = on;
    showChange(false);
}

Shown PictureViews::restoredShows() const {
    if (!comparable()) return Shown::Restored;
    if (flipHeld_ || flipOn_) return Shown::Source;
    return differenceOn_ ? Shown::Difference : Shown::Restored;
}

const DisplayCopy& PictureViews::restoredViewCopy() {
    switch (restoredShows()) {
        case Shown::Source:
            return source_;
        case Shown::Difference:
            if (!differenceValid_) {
                try {
                    differenceValid_ = FillDifferenceMap(source_, restored_, difference_);
                } catch (const std::bad_alloc&) {
                    difference_ = {};
                }
            }
            if (differenceValid_) return difference_;
            break;
        case Shown::Restored:
            break;
    }
    return restored_;
}

}  // namespace qx
