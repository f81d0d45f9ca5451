// The target size of scaling to fit, and the scaling itself through stb_image_resize.
#include "load/picture_fit.h"

#include <stb_image_resize.h>

#include <algorithm>

#include "codec/codec.h"

namespace qx {

PictureSize FitSize(int width, int length) {
    const int64_t longer = std::max(width, length);
    if (longer <= kMaxPictureSide) return {width, length};
    auto scaled = [&](int side) {
        return static_cast<int>(
            std::max<int64_t>(1, (int64_t{side} * kMaxPictureSide + longer / 2) / longer));
    };
    return {scaled(width), scaled(length)};
}

bool CanScaleFrom(int width, int length) {
    return width > 0 && length > 0 && width <= kMaxFitSourceSide && length <= kMaxFitSourceSide &&
           int64_t{width} * length <= kMaxFitSourcePixels;
}

bool ScaleRgb(std::span<const uint8_t> source, PictureSize from, std::span<uint8_t> target,
              PictureSize to) {
    if (source.size() < static_cast<size_t>(from.width) * from.length * 3 ||
        target.size() < static_cast<size_t>(to.width) * to.length * 3)
        return false;
    // Photographs are stored with the sRGB curve; averaging in linear light keeps fine detail
    // from darkening.
    return stbir_resize_uint8_srgb_edgemode(source.data(), from.width, from.length, 0,
                                            target.data(), to.width, to.length, 0, 3,
                                            STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP) == 1;
}

}  // namespace qx
