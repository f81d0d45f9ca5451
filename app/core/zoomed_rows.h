// The visible region of a display copy at any zoom, into a viewer's row buffer (bottom row
// first, like CopyViewRows). Above 1/1 every picture pixel becomes a block (nearest neighbour),
// so single pixels can be inspected; below 1/1 each view pixel is the average of the picture
// pixels it covers. At 1/1 it is CopyViewRows itself.
#pragma once

#include <cstdint>
#include <vector>

#include "app/core/view_rows.h"
#include "app/core/view_state.h"

namespace qx {

// Working tables of the scaled drawing, made once for a view and a picture so that drawing
// while panning allocates nothing.
struct ZoomScratch {
    std::vector<int> columns;    // first picture column of each view column, and one past
    std::vector<uint32_t> sums;  // per picture column and channel, summed over a band of rows
    void reserve(int viewWidth, int pictureWidth);
};

// View pixels beyond a scaled picture smaller than the view: the main window's grey, so that the
// picture's edge shows (and black stays "no error" in the difference view).
inline constexpr uint8_t kBeyondPicture = 128;

// Fills the ViewWidth x ViewLength rows of `rows` for the offsets and zoom of `view`.
void DrawZoomedRows(const ViewState& view, const DisplayCopy& copy, ZoomScratch& scratch,
                    uint8_t* rows);

}  // namespace qx
