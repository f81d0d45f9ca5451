// Writes a restored picture as an uncompressed little-endian TIFF with a fixed 200-byte head.
//
// File layout (little-endian):
//   0    "II", 42, directory offset 8
//   8    13 directory entries: NewSubfileType, ImageWidth, ImageLength, BitsPerSample,
//        Compression, PhotometricInterpretation, StripOffsets, SamplesPerPixel, RowsPerStrip,
//        StripByteCounts, XResolution, YResolution, ResolutionUnit
//   166  0: no further directory
//   176  RGB only: BitsPerSample list 8, 8, 8
//   188  resolution 75/1 (RGB) or 150/1 (grey), shared by both resolution entries
//   200  the pixels as one strip; the file ends right after them
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/safe_write.h"
#include "codec/codec.h"

namespace qx {

constexpr size_t kTiffHeaderBlockSize = 200;

// The head of the file for a picture of `kind` (kRestoredGrey or kRestoredRgb).
std::array<uint8_t, kTiffHeaderBlockSize> BuildTiffHeaderBlock(int width, int length, int kind);

// Writes `pixels` (width x length x 1 or 3 bytes, rows first to last) to `fileName` through a
// temporary file that takes the name only when complete (see SafeWrite). Returns 0, or 1 after a
// failure that has been reported by message ("Open BitMap Err." when the output cannot be made
// or claimed); errno then holds the reason. A kind other than kRestoredGrey or kRestoredRgb, or
// a side outside 1 ... 32767, writes nothing and returns 1 without a message.
int WriteRestoredTiff(const std::string& fileName, const uint8_t* pixels, int width, int length,
                      int kind, CodecHooks& hooks, const OutputRules& rules = {});

}  // namespace qx
