// Zoom steps and zooming about a point.
#include "app/core/zoom.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "app/core/panning.h"

namespace qx {

namespace {

constexpr std::array<ViewZoom, kZoomStepCount> kSteps{{{1, 8, false},
                                                       {1, 4, false},
                                                       {1, 2, false},
                                                       {1, 1, false},
                                                       {2, 1, false},
                                                       {4, 1, false},
                                                       {8, 1, false}}};

// a/b < c/d for positive denominators.
bool Less(const ViewZoom& a, const ViewZoom& b) {
    return int64_t{a.num} * b.den < int64_t{b.num} * a.den;
}

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

ViewZoom ZoomStep(int index) {
    return kSteps[static_cast<size_t>(std::clamp(index, 0, kZoomStepCount - 1))];
}

ViewZoom FitZoom(int viewWidth, int viewLength, int width, int length) {
    if (viewWidth <= 0 || viewLength <= 0 || width <= 0 || length <= 0) return {1, 1, true};
    // The narrower of the two ratios decides.
    ViewZoom z = int64_t{viewWidth} * length <= int64_t{viewLength} * width
                     ? ViewZoom{viewWidth, width, true}
                     : ViewZoom{viewLength, length, true};
    if (!Less(z, ViewZoom{1, 1, false})) z = {1, 1, true};
    return z;
}

ViewZoom NextZoom(const ViewZoom& current, int direction) {
    if (direction > 0) {
        for (const ViewZoom& step : kSteps) {
            if (Less(current, step)) return step;
        }
    } else if (direction < 0) {
        for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it) {
            if (Less(*it, current)) return *it;
        }
    }
    return current;
}

bool SameScale(const ViewZoom& a, const ViewZoom& b) {
    return int64_t{a.num} * b.den == int64_t{b.num} * a.den;
}

int ZoomPercent(const ViewZoom& zoom) {
    return static_cast<int>(int64_t{zoom.num} * 100 / zoom.den);
}

int ScaledExtent(int size, const ViewZoom& zoom) {
    if (size <= 0) return 0;
    return static_cast<int>(std::max<int64_t>(1, int64_t{size} * zoom.num / zoom.den));
}

int PictureAt(int scaled, const ViewZoom& zoom) {
    return static_cast<int>(FloorDiv(int64_t{scaled} * zoom.den, zoom.num));
}

int ScaledWidth(const ViewState& view, int width) {
    return ScaledExtent(width, view.zoom);
}

int ScaledLength(const ViewState& view, int length) {
    return ScaledExtent(length, view.zoom);
}

namespace {

// The new offset that keeps the centre of view pixel `at` (offset + at + 1/2 in old scaled
// pixels) inside view pixel `at` at the new scale.
int KeepUnder(int offset, int at, const ViewZoom& from, const ViewZoom& to) {
    const int64_t twice = 2 * (int64_t{offset} + at) + 1;
    return static_cast<int>(FloorDiv(twice * from.den * to.num, int64_t{2} * from.num * to.den) -
                            at);
}

}  // namespace

void ZoomAbout(ViewState& view, ViewZoom to, int x, int y, int width, int length) {
    if (to.fit) to = FitZoom(view.ViewWidth, view.ViewLength, width, length);
    const ViewZoom from = view.zoom;
    view.ViewX = KeepUnder(view.ViewX, x, from, to);
    view.ViewY = KeepUnder(view.ViewY, y, from, to);
    view.zoom = to;
    ClampViewOffsets(view, ScaledWidth(view, width), ScaledLength(view, length));
}

void RefitZoom(ViewState& view, int width, int length) {
    if (view.zoom.fit) view.zoom = FitZoom(view.ViewWidth, view.ViewLength, width, length);
    ClampViewOffsets(view, ScaledWidth(view, width), ScaledLength(view, length));
}

}  // namespace qx
