// Scaling a picture that is too large down to the largest size the codec takes, keeping its
// aspect ratio: the one home of the target size and of the filter.
#pragma once

#include <cstdint>
#include <span>

namespace qx {

// The largest picture that is scaled rather than refused: sides up to kMaxFitSourceSide and at
// most kMaxFitSourcePixels pixels (decoded, that is 360 MB).
inline constexpr int kMaxFitSourceSide = 32767;
inline constexpr int64_t kMaxFitSourcePixels = 120'000'000;

struct PictureSize {
    int width = 0;
    int length = 0;
    bool operator==(const PictureSize&) const = default;
};

// The size a width x length picture is scaled to: the longer side becomes kMaxPictureSide, the
// shorter one keeps the ratio, rounded to the nearest pixel (at least 1). 4032 x 3024 gives
// 1024 x 768, 3000 x 40 gives 1024 x 14. Sides within kMaxPictureSide stay as they are.
PictureSize FitSize(int width, int length);

// Whether a picture is small enough to be decoded at full size for scaling.
bool CanScaleFrom(int width, int length);

// Scales source (from.width x from.length x 3 bytes, red, green, blue rows) into target
// (to.width x to.length x 3 bytes) with a Mitchell filter in linear light. False when the
// sizes do not match the spans, or the scaler cannot be loaded or fails.
[[nodiscard]] bool ScaleRgb(std::span<const uint8_t> source, PictureSize from,
                            std::span<uint8_t> target, PictureSize to);

}  // namespace qx
