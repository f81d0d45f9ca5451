// Small picture files made on the fly for the loading tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qxtest {

// A BMP file of width x height with the given bit count; 24-bit pixels follow fill(x, y) as
// red, green, blue, rows stored bottom-up with 4-byte padding. imageSize goes into the header's
// size field as it is.
struct BmpShape {
    int width = 40;
    int height = 35;
    int bitCount = 24;
    uint32_t compression = 0;
    uint32_t imageSizeExtra = 0;  // added to the true size in the size field
    bool topDown = false;         // rows stored top first, with a negative height
    uint32_t infoSize = 40;       // 124 for a V5 head
};
std::vector<uint8_t> MakeBmp(const BmpShape& shape);

// Writes value little-endian into bytes at offset.
void PutLe(std::vector<uint8_t>& bytes, size_t offset, uint32_t value, int size);

// The colour that MakeBmp gives pixel (x, y), counted from the top row.
void BmpPixel(int x, int y, uint8_t rgb[3]);

}  // namespace qxtest
