// Restored pictures in the two formats that most viewers and tools read, built in memory so
// that the caller writes them through whatever file path it uses: PNG (libspng) and the binary
// portable pixmap/graymap (P6 for colour, P5 for grey).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qx {

// pixels holds width x length x 1 (kind kRestoredGrey) or x 3 (kRestoredRgb) bytes, rows first
// to last. Each returns false with why set for another kind, a side outside 1 ... 32767, or an
// encoder failure; bytes is then empty.
[[nodiscard]] bool EncodePng(const uint8_t* pixels, int width, int length, int kind,
                             std::vector<uint8_t>& bytes, std::string& why);
[[nodiscard]] bool EncodePnm(const uint8_t* pixels, int width, int length, int kind,
                             std::vector<uint8_t>& bytes, std::string& why);

}  // namespace qx
