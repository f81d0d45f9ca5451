// Peak signal-to-noise ratio of a restored picture against its source.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qx1 {

// PSNR in dB over all bytes of two equally long 8-bit pictures; infinite when they are equal.
double Psnr(const uint8_t* source, const uint8_t* restored, size_t size);

// "34.56 dB", or "inf dB" for identical pictures.
std::string PsnrText(double psnr);

}  // namespace qx1
