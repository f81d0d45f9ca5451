// The formats a restored picture can be written in to standard output (decompress -o -
// --format).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace qx1 {

// Writes a restored picture (width x length x 1 or 3 bytes, kind kRestoredGrey or kRestoredRgb)
// to standard output. Returns 0 or the errno of the failed write.
using StreamWriter = std::function<int(const uint8_t* pixels, int width, int length, int kind)>;

// The writer for a --format value; empty when qx1 cannot write that format (why says so).
StreamWriter WriterForFormat(const std::string& format, std::string& why);

}  // namespace qx1
