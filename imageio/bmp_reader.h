// Reads 24-bit uncompressed BMP files: the 54-byte head for the header check, then the pixel
// rows, delivered top to bottom as red, green, blue.
//
// Head layout (little-endian):
//   0  "BM"            10  pixel data offset   18  width (signed)   26  planes
//   2  file size       14  info header size    22  height (signed,  28  bits per pixel
//                                                  negative: rows   30  compression
//                                                  top down)        34  image size
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/file_handle.h"

namespace qx {

constexpr size_t kBmpHeadSize = 54;  // 14-byte file header + 40-byte information header

// The fields of the 54-byte head, as stored.
struct BmpHeader {
    uint8_t signature[2] = {0, 0};
    uint32_t fileSize = 0;
    uint32_t pixelOffset = 0;
    uint32_t infoSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;  // not needed for reading: rows are sized from width and bit count
};

// Parses the head from the first bytes of a file; false when fewer than 54 bytes are given.
[[nodiscard]] bool ParseBmpHeader(std::span<const uint8_t> bytes, BmpHeader& header);

enum class BmpStatus {
    Ok,
    ReadFailed,     // the file could not be read, or is shorter than its head
    NotBmp,         // no "BM", bad info header size, planes not 1, or an impossible size
    NotTrueColour,  // not 24 bits per pixel
    Compressed,     // compression other than none
    Truncated,      // the pixel rows run past the end of the file
};

// Where the rows of a readable file lie.
struct BmpLayout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int64_t pixelOffset = 0;
    int64_t rowStride = 0;   // bytes per row in the file, padded to a multiple of 4
    int64_t pixelBytes = 0;  // bytes from the pixel offset to the end of the last row's pixels
    size_t rgbSize() const { return static_cast<size_t>(width) * static_cast<size_t>(height) * 3; }
};

// Checks that `header` describes a 24-bit uncompressed picture whose rows all lie within a
// file of `fileLength` bytes, and gives their layout.
[[nodiscard]] BmpStatus LayOutBmp(const BmpHeader& header, int64_t fileLength, BmpLayout& layout);

// Step one: reads and checks the head of a file or of a file held in memory.
[[nodiscard]] BmpStatus ReadBmpLayout(FileHandle& file, BmpLayout& layout);
[[nodiscard]] BmpStatus ReadBmpLayout(std::span<const uint8_t> fileBytes, BmpLayout& layout);

// Step two: writes width x height x 3 bytes to `rgb`, rows top to bottom, red, green, blue.
// `rgb` must hold layout.rgbSize() bytes, or ReadFailed is returned.
[[nodiscard]] BmpStatus ReadBmpPixels(FileHandle& file, const BmpLayout& layout,
                                      std::span<uint8_t> rgb);
[[nodiscard]] BmpStatus ReadBmpPixels(std::span<const uint8_t> fileBytes, const BmpLayout& layout,
                                      std::span<uint8_t> rgb);

}  // namespace qx
