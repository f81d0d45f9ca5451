// PSNR of a restored picture.
#include "codec/psnr.h"

#include <bit>
#include <limits>

namespace qx {

double DecimalLogarithm(double x) {
    if (!(x >= 1) || x > std::numeric_limits<double>::max()) {
        return x == std::numeric_limits<double>::infinity()
                   ? x
                   : std::numeric_limits<double>::quiet_NaN();
    }
    // x = m 2^e with m in [1/sqrt 2, sqrt 2), and ln m = 2 atanh t = 2 (t + t^3/3 + t^5/5 + ...)
    // with t = (m - 1) / (m + 1), |t| < 0.172: sixteen terms leave an error below 1e-25, and
    // the 64-bit mantissa of long double keeps the rounding errors below half a double's step.
    const uint64_t bits = std::bit_cast<uint64_t>(x);
    int exponent = static_cast<int>(bits >> 52) - 1023;
    long double m =
        std::bit_cast<double>((bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1023} << 52));
    if (m > 1.41421356237309504880L) {
        m /= 2;
        ++exponent;
    }
    const long double t = (m - 1) / (m + 1);
    const long double s = t * t;
    long double series = 0;
    for (int k = 31; k >= 1; k -= 2) series = series * s + 1.0L / k;
    constexpr long double kLn2 = 0.693147180559945309417232121458176568L;
    constexpr long double kLog10E = 0.434294481903251827651128918916605083L;
    return static_cast<double>((exponent * kLn2 + 2 * t * series) * kLog10E);
}

double Psnr(const uint8_t* source, const uint8_t* restored, size_t size) {
    uint64_t squares = 0;
    for (size_t i = 0; i < size; ++i) {
        const int d = int{source[i]} - int{restored[i]};
        squares += static_cast<uint64_t>(d * d);
    }
    if (squares == 0 || size == 0) return std::numeric_limits<double>::infinity();
    const double mse = static_cast<double>(squares) / static_cast<double>(size);
    return 10.0 * DecimalLogarithm(255.0 * 255.0 / mse);
}

}  // namespace qx
