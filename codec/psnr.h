// Peak signal-to-noise ratio of a restored picture against its source: the one measure of
// compression error shared by the command-line tool and the desktop program.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qx {

// PSNR in dB over all bytes of two equally long 8-bit pictures; infinite when they are equal.
double Psnr(const uint8_t* source, const uint8_t* restored, size_t size);

}  // namespace qx
