// PSNR of a restored picture.
#include "codec/psnr.h"

#include <cmath>
#include <limits>

namespace qx {

double Psnr(const uint8_t* source, const uint8_t* restored, size_t size) {
    uint64_t squares = 0;
    for (size_t i = 0; i < size; ++i) {
        const int d = int{source[i]} - int{restored[i]};
        squares += static_cast<uint64_t>(d * d);
    }
    if (squares == 0 || size == 0) return std::numeric_limits<double>::infinity();
    const double mse = static_cast<double>(squares) / static_cast<double>(size);
    return 10.0 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace qx
