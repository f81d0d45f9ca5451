// Comparing the restored picture with its source: the error of each pixel as a heat map, the
// colours of its scale, and the PSNR shown beside the result label.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/core/view_rows.h"

namespace qx {

// The error of a pixel is the largest of its three channel errors, so an error in one colour
// is never averaged away. Errors of kHeatTop and more take the hottest colour.
inline constexpr int kHeatTop = 32;
inline constexpr const char* kHeatMeasure = "max channel error";

// Colour of an error on the scale: black (none), blue, magenta, red, orange, yellow, white
// (kHeatTop and more). Red, green, blue.
std::array<uint8_t, 3> HeatColour(int error);

// Largest channel difference of two pixels.
int PixelError(const uint8_t* a, const uint8_t* b);

// `map` gets the heat colour of each pixel's error between two display copies of the same size,
// in display order; false (and `map` left empty) when the sizes differ.
bool FillDifferenceMap(const DisplayCopy& source, const DisplayCopy& restored, DisplayCopy& map);

// PSNR of two display copies of the same size; NaN when the sizes differ.
double DisplayCopyPsnr(const DisplayCopy& source, const DisplayCopy& restored);

// "PSNR 34.6 dB", "PSNR inf dB" for identical pictures, empty for NaN.
std::string PsnrLabelText(double psnr);

}  // namespace qx
