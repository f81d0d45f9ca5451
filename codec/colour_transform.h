// Forward and inverse colour transforms between RGB pictures and the luma / chroma planes, the
// luma sharpening, and the expansion of tone levels back to channel values.
#pragma once

#include <cstdint>

#include "codec/colour_rows_wide.h"
#include "codec/geometry.h"

namespace qx {

class HelperThread;

// Picture: width x length RGB pixels. Luma (width x length samples) goes to `luma`, which is
// either the luma plane of `planes` or a scratch plane. Unless greyFlag is set the two chroma
// planes of (width / 2) x (length / 2) samples go to `planes` after its luma plane; chroma comes
// from the lower-right pixel of each 2 x 2 block. Width and length are even. Large pictures share
// their rows with the helper thread when there is one. Every choice of rows gives the same planes.
void ForwardColourTransform(const uint8_t* picture, int16_t* planes, int16_t* luma, int width,
                            int length, uint8_t greyFlag, uint8_t referenceChannel,
                            uint8_t toneSelect, HelperThread* helper = nullptr,
                            ColourRows rows = FastestColourRows());

enum class SharpenStrength { kStrong, kMild };

// Copies the width x length source plane to the destination, then sharpens the inside of the
// rectangle with a 3 x 3 kernel. Results of 224 or more keep the unsharpened sample.
void SharpenLuma(const int16_t* source, int16_t* destination, int width, int length,
                 const FocusRectangle& rect, SharpenStrength strength);

// Writes width x length RGB pixels of tone levels from the three planes of `planes`.
void InverseColourTransform(const int16_t* planes, uint8_t* picture, int width, int length,
                            uint8_t referenceChannel, ColourRows rows = FastestColourRows());

// InverseColourTransform followed by ExpandTones in one pass over the picture.
void RestoreColours(const int16_t* planes, uint8_t* picture, int width, int length,
                    uint8_t referenceChannel, uint8_t toneSelect, HelperThread* helper = nullptr,
                    ColourRows rows = FastestColourRows());

// Replaces every channel's tone level by its expanded value, in place.
void ExpandTones(uint8_t* picture, int width, int length, uint8_t toneSelect);

}  // namespace qx
