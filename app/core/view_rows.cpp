// Display copies and the visible-region copy of the viewers.
#include "app/core/view_rows.h"

#include <algorithm>
#include <cstring>

namespace qx {

void CopyViewRows(const ViewState& view, int x0, int y0, const DisplayCopy& copy, uint8_t* rows) {
    if (x0 < 0 || y0 < 0 || view.ViewWidth <= 0 || view.ViewLength <= 0) return;
    const int xe = copy.width - x0 > view.ViewWidth ? x0 + view.ViewWidth : copy.width;
    const int ye = copy.length - y0 > view.ViewLength ? y0 + view.ViewLength : copy.length;
    if (xe <= x0) return;
    const size_t run = static_cast<size_t>(xe - x0) * 3;
    for (int y = y0; y < ye; ++y) {
        const int dest = view.ViewLength + y0 - y - 1;
        const uint8_t* from = copy.bytes.data() + (static_cast<size_t>(y) * copy.width + x0) * 3;
        std::memcpy(rows + static_cast<size_t>(dest) * view.ViewWidth * 3, from, run);
    }
}

void FillDisplayCopy(DisplayCopy& copy, const uint8_t* picture, int width, int length, bool grey,
                     int64_t capacity) {
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(length);
    copy.bytes.resize(
        std::max<size_t>(pixels * 3, static_cast<size_t>(std::max<int64_t>(capacity, 0))));
    copy.width = width;
    copy.length = length;
    uint8_t* out = copy.bytes.data();
    if (grey) {
        for (size_t i = 0; i < pixels; ++i, out += 3) out[0] = out[1] = out[2] = picture[i];
        return;
    }
    for (size_t i = 0; i < pixels; ++i, out += 3, picture += 3) {
        out[0] = picture[2];
        out[1] = picture[1];
        out[2] = picture[0];
    }
}

void RefillFromDisplayCopy(const DisplayCopy& copy, Buffer<uint8_t>& picture, int64_t capacity) {
    const size_t pixels = static_cast<size_t>(copy.width) * static_cast<size_t>(copy.length);
    picture.clear();
    picture.resize(
        std::max<size_t>(pixels * 3, static_cast<size_t>(std::max<int64_t>(capacity, 0))));
    const uint8_t* in = copy.bytes.data();
    uint8_t* out = picture.data();
    for (size_t i = 0; i < pixels; ++i, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

}  // namespace qx
