// Work done on every picture as it is loaded: smoothing of busy areas and the analysis that
// chooses tone tables, reference channel and sharpening.
#pragma once

#include <cstdint>

#include "codec/codec.h"

namespace qx {

// Copies a width x length RGB picture from source to destination (distinct blocks), smoothing
// every interior pixel whose 3 x 3 neighbourhood spans channel ranges adding up to 330 or more.
// The window's middle-left sample is the pixel just written, not the source pixel.
void SmoothBusyAreas(const uint8_t* source, uint8_t* destination, int width, int length);

// Measures the mean horizontal activity of each channel and which of red and green dominates;
// writes ChannelActivity, ToneSelect and ReferenceChannel.
void AnalysePicture(const uint8_t* picture, int width, int length, CodecParameters& params);

}  // namespace qx
