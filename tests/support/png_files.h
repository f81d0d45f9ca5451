// PNG files made on the fly with libspng's encoder, for the loading and qx1 tests.
#pragma once

#include <cstdint>
#include <vector>

namespace qxtest {

struct PngShape {
    int width = 0;
    int height = 0;
    int colourType = 2;  // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGB + alpha
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<uint8_t> palette;  // red, green, blue per entry, for colour type 3
};

// samples are the rows as the file stores them (16-bit samples big-endian).
std::vector<uint8_t> MakePng(const PngShape& shape, const std::vector<uint8_t>& samples);

// Rewrites the size in the header of a PNG made by MakePng, with a matching checksum.
void SetPngSize(std::vector<uint8_t>& png, uint32_t width, uint32_t height);

}  // namespace qxtest
