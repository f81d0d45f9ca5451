// Scaled drawing of the viewers.
#include "app/core/zoomed_rows.h"

#include <algorithm>
#include <cstring>

#include "app/core/zoom.h"

namespace qx {

void ZoomScratch::reserve(int viewWidth, int pictureWidth) {
    const size_t needColumns = static_cast<size_t>(std::max(viewWidth, 0)) + 1;
    const size_t needSums = static_cast<size_t>(std::max(pictureWidth, 0)) * 3;
    if (columns.size() < needColumns) columns.resize(needColumns);
    if (sums.size() < needSums) sums.resize(needSums);
}

namespace {

// Picture rows [first, last) behind view row `scaled`; at least one.
void SourceBand(int scaled, const ViewZoom& zoom, int size, int& first, int& last) {
    first = std::min(PictureAt(scaled, zoom), size - 1);
    last = std::clamp(PictureAt(scaled + 1, zoom), first + 1, size);
}

void EnlargeRows(const ViewState& view, const DisplayCopy& copy, const int* columns, int shownW,
                 int shownL, uint8_t* rows) {
    const size_t rowBytes = static_cast<size_t>(view.ViewWidth) * 3;
    int previous = -1;
    uint8_t* previousRow = nullptr;
    for (int y = 0; y < shownL; ++y) {
        uint8_t* out = rows + static_cast<size_t>(view.ViewLength - 1 - y) * rowBytes;
        const int source = std::min(PictureAt(view.ViewY + y, view.zoom), copy.length - 1);
        if (source == previous) {
            std::memcpy(out, previousRow, static_cast<size_t>(shownW) * 3);
        } else {
            const uint8_t* in = copy.bytes.data() + static_cast<size_t>(source) * copy.width * 3;
            for (int x = 0; x < shownW; ++x) std::memcpy(out + x * 3, in + columns[x] * 3, 3);
        }
        std::memset(out + static_cast<size_t>(shownW) * 3, kBeyondPicture,
                    rowBytes - shownW * size_t{3});
        previous = source;
        previousRow = out;
    }
}

void ReduceRows(const ViewState& view, const DisplayCopy& copy, const int* columns, int shownW,
                int shownL, uint32_t* sums, uint8_t* rows) {
    const size_t rowBytes = static_cast<size_t>(view.ViewWidth) * 3;
    const int firstColumn = columns[0];
    const size_t spanBytes = static_cast<size_t>(columns[shownW] - firstColumn) * 3;
    for (int y = 0; y < shownL; ++y) {
        int top = 0;
        int bottom = 0;
        SourceBand(view.ViewY + y, view.zoom, copy.length, top, bottom);
        std::fill_n(sums, spanBytes, 0u);
        for (int r = top; r < bottom; ++r) {
            const uint8_t* in =
                copy.bytes.data() + (static_cast<size_t>(r) * copy.width + firstColumn) * 3;
            for (size_t i = 0; i < spanBytes; ++i) sums[i] += in[i];
        }
        uint8_t* out = rows + static_cast<size_t>(view.ViewLength - 1 - y) * rowBytes;
        const uint32_t band = static_cast<uint32_t>(bottom - top);
        for (int x = 0; x < shownW; ++x) {
            const int c0 = columns[x] - firstColumn;
            const int c1 = columns[x + 1] - firstColumn;
            const uint32_t count = band * static_cast<uint32_t>(c1 - c0);
            for (int ch = 0; ch < 3; ++ch) {
                uint32_t total = 0;
                for (int c = c0; c < c1; ++c) total += sums[c * 3 + ch];
                out[x * 3 + ch] = static_cast<uint8_t>((total + count / 2) / count);
            }
        }
        std::memset(out + static_cast<size_t>(shownW) * 3, kBeyondPicture,
                    rowBytes - shownW * size_t{3});
    }
}

}  // namespace

void DrawZoomedRows(const ViewState& view, const DisplayCopy& copy, ZoomScratch& scratch,
                    uint8_t* rows) {
    if (view.ViewWidth <= 0 || view.ViewLength <= 0 || copy.width <= 0 || copy.length <= 0) {
        return;
    }
    const ViewZoom& zoom = view.zoom;
    if (SameScale(zoom, ViewZoom{})) {
        CopyViewRows(view, view.ViewX, view.ViewY, copy, rows);
        return;
    }
    const int scaledW = ScaledExtent(copy.width, zoom);
    const int scaledL = ScaledExtent(copy.length, zoom);
    const int shownW = std::clamp(scaledW - view.ViewX, 0, view.ViewWidth);
    const int shownL = std::clamp(scaledL - view.ViewY, 0, view.ViewLength);
    const size_t rowBytes = static_cast<size_t>(view.ViewWidth) * 3;
    for (int y = shownL; y < view.ViewLength; ++y) {
        std::memset(rows + static_cast<size_t>(view.ViewLength - 1 - y) * rowBytes, kBeyondPicture,
                    rowBytes);
    }
    if (shownW <= 0 || shownL <= 0 || view.ViewX < 0 || view.ViewY < 0) return;

    scratch.reserve(view.ViewWidth, copy.width);
    int* columns = scratch.columns.data();
    for (int x = 0; x < shownW; ++x) {
        columns[x] = std::min(PictureAt(view.ViewX + x, zoom), copy.width - 1);
    }
    if (zoom.num > zoom.den) {
        EnlargeRows(view, copy, columns, shownW, shownL, rows);
        return;
    }
    // Reduced: view column x covers picture columns [columns[x], columns[x + 1]), at least one
    // since a reduction takes one picture column or more per view column.
    columns[shownW] = std::min(PictureAt(view.ViewX + shownW, zoom), copy.width);
    ReduceRows(view, copy, columns, shownW, shownL, scratch.sums.data(), rows);
}

}  // namespace qx
