// Colour pre-adjustment of loaded pictures.
#include "app/core/pre_adjust_colours.h"

#include <algorithm>
#include <cstddef>

namespace qx {

void PreAdjustColours(uint8_t* buffer, int width, int length) {
    if (width <= 0 || length <= 0) return;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(length);
    for (size_t i = 0; i < pixels; ++i) {
        uint8_t* px = buffer + 3 * i;
        // 21/64 of the channel sum, a little less than the mean.
        const int grey = ((px[0] + px[1] + px[2]) * 21) >> 6;
        // Arithmetic shifts: negative distances round towards minus infinity.
        const int red = grey - (((grey - px[0]) * 6) >> 3);
        const int green = grey - (((grey - px[1]) * 6) >> 3);
        const int blue = grey - (((grey - px[2]) * 7) >> 3);
        px[0] = static_cast<uint8_t>(std::clamp(red, 0, 255));
        px[1] = static_cast<uint8_t>(std::clamp(green, 0, 255));
        px[2] = static_cast<uint8_t>(std::clamp(blue, 0, 255));
    }
}

}  // namespace qx
