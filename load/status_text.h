// The status texts of the main window: sizes in Kb (a point and the remainder in eighths of a
// Kb) and compression ratios.
#pragma once

#include <cstdint>
#include <string>

namespace qx {

// "   K.e Kb  (W*L)" for a byte count; the second form counts W x L x 3 bytes.
std::string SizeText(int width, int length, int64_t bytes);
std::string SizeText(int width, int length);
// "  [1 : r]" with r = (W L 3 + bytes / 2) / bytes, 0 when bytes <= 0.
std::string RatioText(int width, int length, int64_t bytes);
// "   K.e Kb   --> 1 : r" for the body length of a compressed picture.
std::string CompressedSizeText(int64_t bytes, int width, int length);
// The ratio r alone, as the two texts above compute it.
int CompressionRatio(int width, int length, int64_t bytes);

}  // namespace qx
