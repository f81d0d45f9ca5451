// Colour pre-adjustment of loaded pictures.
#include "codec/pre_adjust_colours.h"

#include <algorithm>
#include <cstddef>

#include "codec/vector_clones.h"

namespace qx {

namespace {

// The interleaved channels vectorise well only with byte shuffles, hence the vector clones; the
// codec library is built with -O3 for the same reason.
QX_VECTOR_CLONES void PreAdjustPixels(uint8_t* buffer, size_t pixels) {
    for (size_t i = 0; i < pixels; ++i) {
        uint8_t* px = buffer + 3 * i;
        const int r = px[0], g = px[1], b = px[2];
        // 21/64 of the channel sum, a little less than the mean.
        const int grey = ((r + g + b) * 21) >> 6;
        // Arithmetic shifts: negative distances round towards minus infinity.
        const int red = grey - (((grey - r) * 6) >> 3);
        const int green = grey - (((grey - g) * 6) >> 3);
        const int blue = grey - (((grey - b) * 7) >> 3);
        px[0] = static_cast<uint8_t>(std::clamp(red, 0, 255));
        px[1] = static_cast<uint8_t>(std::clamp(green, 0, 255));
        px[2] = static_cast<uint8_t>(std::clamp(blue, 0, 255));
    }
}

}  // namespace

void PreAdjustColours(uint8_t* buffer, int width, int length) {
    if (width <= 0 || length <= 0) return;
    PreAdjustPixels(buffer, static_cast<size_t>(width) * static_cast<size_t>(length));
}

}  // namespace qx
