// Time to draw one viewer's rows from a 1024 x 1024 picture at 800 %, at fit and at 100 %,
// moving the offsets a little each time as a drag does. The desktop program draws these rows
// on every step of a drag.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "app/core/view_rows.h"
#include "app/core/zoom.h"
#include "app/core/zoomed_rows.h"

namespace {

constexpr int kSide = 1024;
// The largest view of one viewer.
constexpr int kViewWidth = 800;
constexpr int kViewLength = 600;

qx::DisplayCopy Picture() {
    qx::DisplayCopy copy;
    copy.width = copy.length = kSide;
    copy.bytes.resize(size_t{kSide} * kSide * 3);
    uint32_t state = 12345;
    for (uint8_t& b : copy.bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<uint8_t>(state >> 24);
    }
    return copy;
}

void DrawAt(benchmark::State& state, qx::ViewZoom zoom) {
    const qx::DisplayCopy copy = Picture();
    qx::ViewState view;
    view.ViewWidth = kViewWidth;
    view.ViewLength = kViewLength;
    qx::ZoomAbout(view, zoom, kViewWidth / 2, kViewLength / 2, kSide, kSide);
    std::vector<uint8_t> rows(size_t{kViewWidth} * kViewLength * 3);
    qx::ZoomScratch scratch;
    scratch.reserve(kViewWidth, kSide);
    const int maxX = qx::ScaledExtent(kSide, view.zoom) - kViewWidth;
    int step = 0;
    for (auto _ : state) {
        view.ViewX = maxX > 0 ? (step * 37) % maxX : 0;
        ++step;
        qx::DrawZoomedRows(view, copy, scratch, rows.data());
        benchmark::DoNotOptimize(rows.data());
        benchmark::ClobberMemory();
    }
}

void BM_Draw800(benchmark::State& state) {
    DrawAt(state, qx::ZoomStep(6));
}
void BM_DrawFit(benchmark::State& state) {
    DrawAt(state, qx::ViewZoom{1, 1, true});
}
void BM_Draw100(benchmark::State& state) {
    DrawAt(state, qx::ZoomStep(qx::kActualSizeStep));
}

}  // namespace

BENCHMARK(BM_Draw800)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawFit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Draw100)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
