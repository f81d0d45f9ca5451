// The target size of scaling to fit, and the scaling itself through stb_image_resize.
#include "load/picture_fit.h"

#include <stb_image_resize.h>

#include <algorithm>

#include "base/shared_library.h"
#include "codec/codec.h"

namespace qx {

namespace {

// The scaler lives in libstb, loaded the first time a picture is scaled.
struct ScalerLibrary {
    SharedLibrary library{"libstb.so.0"};
    QX_LIBRARY_MEMBER(stbir_resize_uint8_srgb_edgemode)
    bool ready = library.isOpen() QX_LIBRARY_BIND(stbir_resize_uint8_srgb_edgemode);
};

}  // namespace

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
    const ScalerLibrary scaler;
    if (!scaler.ready) return false;
    // Photographs are stored with the sRGB curve; averaging in linear light keeps fine detail
    // from darkening.
    return scaler.stbir_resize_uint8_srgb_edgemode(
               source.data(), from.width, from.length, 0, target.data(), to.width, to.length, 0, 3,
               STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP) == 1;
}

}  // namespace qx
