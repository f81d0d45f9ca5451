// Pixel copies behind the viewers: display copies in blue, green, red order, and the visible
// region copied bottom row first into a viewer's row buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "app/core/view_state.h"
#include "codec/buffer.h"

namespace qx {

// A picture in display order (blue, green, red), rows top to bottom, no padding.
struct DisplayCopy {
    int width = 0;
    int length = 0;
    std::vector<uint8_t> bytes;
};

// Copies the region at (x0, y0), at most ViewWidth x ViewLength, of `copy` into `rows`, which
// hold ViewLength rows of 3 x ViewWidth bytes stored bottom row first. `rows` must hold at least
// ViewWidth x ViewLength x 3 bytes.
void CopyViewRows(const ViewState& view, int x0, int y0, const DisplayCopy& copy, uint8_t* rows);

// Fills `copy` from an RGB picture (3 bytes per pixel), or from a grey one (1 byte per pixel,
// expanded to three equal bytes), allocating at least `capacity` bytes. Throws
// std::bad_alloc when memory runs out.
void FillDisplayCopy(DisplayCopy& copy, const uint8_t* picture, int width, int length, bool grey,
                     int64_t capacity);

// Writes the display copy back as red, green, blue into `picture` (which it resizes to at least
// `capacity` bytes).
void RefillFromDisplayCopy(const DisplayCopy& copy, Buffer<uint8_t>& picture, int64_t capacity);

}  // namespace qx
