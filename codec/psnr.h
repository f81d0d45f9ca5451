// Peak signal-to-noise ratio of a restored picture against its source: the one measure of
// compression error shared by the command-line tool and the desktop program.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qx {

// log10 of x for x >= 1 (NaN below), within a rounding step of the exact value. It is here
// rather than taken from the maths library because that library is otherwise unused by qx1,
// which starts once per picture in scripts, and loading it costs each run about 0.4 ms.
double DecimalLogarithm(double x);

// PSNR in dB over all bytes of two equally long 8-bit pictures; infinite when they are equal.
double Psnr(const uint8_t* source, const uint8_t* restored, size_t size);

}  // namespace qx
