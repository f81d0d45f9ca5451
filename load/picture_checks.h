// The size limits a picture must keep before it is loaded.
#pragma once

#include <string>

#include "load/picture_loader.h"

namespace qx {

// Refuses, width first, a side above kMaxPictureSide or below kMinPictureSide: TooLarge or
// TooSmall with text set to the message; None when both sides are within the limits.
[[nodiscard]] LoadFailure CheckPictureSize(int width, int length, std::string& text);

}  // namespace qx
