#include "codec/psnr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace qx {
namespace {

// The PSNR's logarithm is ours; the extended-precision one of the maths library checks it.
TEST(DecimalLogarithm, NearestDoubleAcrossThePsnrRange) {
    double power = 1;
    for (int k = 0; k <= 22; ++k, power *= 10) EXPECT_EQ(DecimalLogarithm(power), k);
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> exponent(0, 12);
    int notNearest = 0;
    for (int i = 0; i < 200000; ++i) {
        const double x = std::pow(10.0, exponent(random));
        const double nearest = static_cast<double>(log10l(static_cast<long double>(x)));
        const double ours = DecimalLogarithm(x);
        notNearest += ours != nearest;
        ASSERT_LE(std::fabs(ours - nearest), std::fabs(std::nextafter(nearest, 100.0) - nearest))
            << x;
    }
    EXPECT_LT(notNearest, 200);  // near-ties, where even log10l may round the other way
    EXPECT_TRUE(std::isnan(DecimalLogarithm(0.5)));
    EXPECT_EQ(DecimalLogarithm(std::numeric_limits<double>::infinity()),
              std::numeric_limits<double>::infinity());
}

}  // namespace
}  // namespace qx
