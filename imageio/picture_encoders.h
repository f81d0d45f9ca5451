// Restored pictures in the two formats that most viewers and tools read, handed to whatever the
// caller writes them through: PNG (libspng) and the binary portable pixmap/graymap (P6 for
// colour, P5 for grey).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qx {

// Where an encoder's bytes go, in order, as they are made: nothing the size of the picture is
// held in memory besides the picture itself.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // False when the bytes could not be taken; the encoder then stops.
    virtual bool put(const uint8_t* bytes, size_t size) = 0;
};

// pixels holds width x length x 1 (kind kRestoredGrey) or x 3 (kRestoredRgb) bytes, rows first
// to last. Each returns false with why set for another kind, a side outside 1 ... 32767, an
// encoder failure or a sink that failed (why then stays empty: the sink knows what failed).
[[nodiscard]] bool EncodePng(const uint8_t* pixels, int width, int length, int kind, ByteSink& sink,
                             std::string& why);
[[nodiscard]] bool EncodePnm(const uint8_t* pixels, int width, int length, int kind, ByteSink& sink,
                             std::string& why);

}  // namespace qx
