// One byte per low-band coefficient: exponent in bits 0-4, upper-half flag in bit 6, sign in
// bit 7.
#pragma once

#include <cstdint>

namespace qx {

constexpr int32_t kLowBandLimit = 1 << 20;

// Caller guarantees |v| < kLowBandLimit.
inline uint8_t CodeLowBandValue(int32_t v) {
    const uint32_t a = static_cast<uint32_t>(v < 0 ? -v : v);
    int e = 0;
    while (e < 31 && (a >> (e + 1)) != 0) ++e;
    uint8_t code = static_cast<uint8_t>(e);
    if (a >= ((1u << e) >> 1) * 3) code |= 64;
    if (v < 0) code |= 128;
    return code;
}

inline int32_t DecodeLowBandValue(uint8_t code) {
    int e = code & 31;
    if (e > 20) e = 20;  // damaged codes never shift past 2^20
    const int32_t P = int32_t{1} << e;
    const int32_t H = (P >> 1) * 3;
    const int32_t v = (code & 64) ? P + (H >> 1) : (H + P) >> 1;
    return (code & 128) ? -v : v;
}

}  // namespace qx
