// Zoom arithmetic of the viewers: the steps, fitting the picture into the view, the scaled
// picture's size, the picture pixel under a view pixel, and zooming about a point so that the
// picture point under it stays there. Offsets are in scaled pixels, so panning, its clamps and
// the navigator work on the scaled size unchanged.
#pragma once

#include "app/core/view_state.h"

namespace qx {

// 12.5 %, 25 %, 50 %, 100 %, 200 %, 400 % and 800 %.
inline constexpr int kZoomStepCount = 7;
ViewZoom ZoomStep(int index);
inline constexpr int kActualSizeStep = 3;

// The largest scale at which the whole picture is in a viewWidth x viewLength view, never above
// 1/1: a picture that already fits is shown at its own size.
ViewZoom FitZoom(int viewWidth, int viewLength, int width, int length);

// The next step above (direction > 0) or below the current scale; the current scale when there
// is none.
ViewZoom NextZoom(const ViewZoom& current, int direction);

bool SameScale(const ViewZoom& a, const ViewZoom& b);
// Percent, rounded to a whole number (12 for 12.5 %).
int ZoomPercent(const ViewZoom& zoom);

// Size of the scaled picture along one axis: floor(size * num / den), at least 1 pixel.
int ScaledExtent(int size, const ViewZoom& zoom);
// The picture column (or row) drawn at scaled position `scaled`.
int PictureAt(int scaled, const ViewZoom& zoom);

// Scaled picture size of `view` for a width x length picture.
int ScaledWidth(const ViewState& view, int width);
int ScaledLength(const ViewState& view, int length);

// Sets `to` as the zoom (a fit is recomputed for the view) and moves the offsets so that the
// picture point under view pixel (x, y) stays under it, then clamps them to the scaled picture.
void ZoomAbout(ViewState& view, ViewZoom to, int x, int y, int width, int length);

// Recomputes a fit for the current view size and clamps the offsets; for after a resize or a
// new picture.
void RefitZoom(ViewState& view, int width, int length);

}  // namespace qx
