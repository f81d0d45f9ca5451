// Showing, placing and panning the two viewers.
#include "app/core/picture_views.h"

#include <algorithm>
#include <new>

#include "app/core/navigator.h"
#include "app/core/panning.h"
#include "app/core/zoom.h"

namespace qx {

namespace {

// The widest view (two halves of 800) by the highest (600).
constexpr size_t kViewRowBytes = size_t{1600} * 600 * 3;

}  // namespace

PictureViews::PictureViews(MainSurface& main, ViewerSurface& source, ViewerSurface& restored)
    : main_(main),
      sourceSurface_(source),
      restoredSurface_(restored),
      sourceRows_(kViewRowBytes),
      restoredRows_(kViewRowBytes) {}

void PictureViews::setMaxView(int maxViewWidth, int maxViewLength) {
    view_.MaxViewWidth = maxViewWidth;
    view_.MaxViewLength = maxViewLength;
}

bool PictureViews::pictureLarger() const {
    return PictureLargerThanView(view_, scaledWidth(), scaledLength());
}

int PictureViews::scaledWidth() const {
    return ScaledWidth(view_, width_);
}

int PictureViews::scaledLength() const {
    return ScaledLength(view_, length_);
}

void PictureViews::prepareRows() {
    // Placement is the only time the row buffers may grow; panning never allocates.
    const size_t need = static_cast<size_t>(std::max(view_.ViewWidth, 0)) *
                        static_cast<size_t>(std::max(view_.ViewLength, 0)) * 3;
    if (sourceRows_.size() < need) sourceRows_.resize(need);
    if (restoredRows_.size() < need) restoredRows_.resize(need);
    std::fill_n(sourceRows_.begin(), need, uint8_t{0});
    std::fill_n(restoredRows_.begin(), need, uint8_t{0});
    scratch_.reserve(view_.ViewWidth, width_);
}

bool PictureViews::allocateSourceCopy(int width, int length) {
    try {
        source_.bytes.assign(static_cast<size_t>(width) * static_cast<size_t>(length) * 3 + 4, 0);
    } catch (const std::bad_alloc&) {
        source_ = {};
        return false;
    }
    return true;
}

void PictureViews::showSourcePicture(const uint8_t* rgb, int width, int length) {
    resetComparison();
    width_ = width;
    length_ = length;
    view_.SourceViewerShown = true;
    sourceSurface_.place(PlaceSourceViewer(view_, main_.metrics(), width, length));
    sourceSurface_.showWindow();
    prepareRows();
    sourceSurface_.setPointer(pictureLarger() ? Pointer::Hand : Pointer::Arrow);
    FillDisplayCopy(source_, rgb, width, length, false, static_cast<int64_t>(source_.bytes.size()));
    view_.ViewX = view_.ViewY = 0;
    view_.LastViewX = view_.LastViewY = 0;
    sourceSurface_.redraw(false);
    main_.focusMain();
}

bool PictureViews::showRestoredPicture(const uint8_t* picture, int width, int length, bool grey,
                                       bool wide) {
    const int64_t capacity = (static_cast<int64_t>(width) + 64) * (length + 64) * 3 + 4;
    try {
        FillDisplayCopy(restored_, picture, width, length, grey, capacity);
    } catch (const std::bad_alloc&) {
        restored_ = {};
        return false;
    }
    width_ = width;
    length_ = length;
    differenceValid_ = false;
    const MainWindowMetrics metrics = main_.metrics();
    restoredSurface_.place(wide ? PlaceWideViewer(view_, metrics, width, length)
                                : PlaceRestoredViewer(view_, metrics, width, length));
    restoredSurface_.showWindow();
    view_.RestoredViewerShown = true;
    prepareRows();
    RefitZoom(view_, width_, length_);
    restoredSurface_.setPointer(pictureLarger() ? Pointer::Hand : Pointer::Arrow);
    restoredSurface_.redraw(false);
    main_.focusMain();
    return true;
}

void PictureViews::hideViewers() {
    sourceSurface_.hideWindow();
    restoredSurface_.hideWindow();
    view_.SourceViewerShown = false;
    view_.RestoredViewerShown = false;
    view_.Dragging = false;
    resetComparison();
}

void PictureViews::computeNavigator() {
    ViewerSurface* anchor = view_.SourceViewerShown     ? &sourceSurface_
                            : view_.RestoredViewerShown ? &restoredSurface_
                                                        : nullptr;
    if (!anchor) return;
    ComputeNavigator(view_, anchor->left(), anchor->top(), scaledWidth(), scaledLength());
}

void PictureViews::drawNavigator(NavigatorColour outer, NavigatorColour inner) {
    SetNavigatorColours(view_, outer, inner);
    main_.redrawNavigator();
}

void PictureViews::eraseNavigator() {
    drawNavigator(NavigatorColour::Background, NavigatorColour::Background);
}

void PictureViews::mouseDown(Side side, int x, int y) {
    StartDrag(view_, x, y);
    if (pictureLarger()) surface(side).setPointer(Pointer::Hand);
}

void PictureViews::mouseMove(Side side, int x, int y) {
    if (!DragTo(view_, x, y, scaledWidth(), scaledLength())) return;
    surface(side).redraw(true);
    if (view_.NavigatorDrawn) main_.redrawNavigator();
}

void PictureViews::mouseUp(Side side) {
    const bool otherShown =
        side == Side::Source ? view_.RestoredViewerShown : view_.SourceViewerShown;
    if (otherShown) surface(side == Side::Source ? Side::Restored : Side::Source).redraw(false);
    EndDrag(view_);
    main_.focusMain();
}

void PictureViews::sourceResized(int clientWidth, int clientHeight) {
    ResizeSourceView(view_, clientWidth, clientHeight);
    prepareRows();
    RefitZoom(view_, width_, length_);
}

const uint8_t* PictureViews::viewRows(Side side) {
    if (view_.ViewWidth <= 0 || view_.ViewLength <= 0) return nullptr;
    const DisplayCopy& copy = side == Side::Source ? source_ : restoredViewCopy();
    std::vector<uint8_t>& rows = side == Side::Source ? sourceRows_ : restoredRows_;
    if (copy.width <= 0 || copy.length <= 0) return nullptr;
    DrawZoomedRows(view_, copy, scratch_, rows.data());
    return rows.data();
}

}  // namespace qx
