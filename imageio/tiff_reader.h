// Reads an uncompressed little-endian TIFF with 8-bit samples into red, green, blue rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/file_handle.h"
#include "codec/codec.h"
#include "imageio/tiff_errors.h"

namespace qx {

// Statuses of ReadTiff besides 0 and the TiffError codes.
enum TiffRefusal : int {
    kTiffBilevel = -1,
    kTiffGreyOrTooLarge = -2,  // a grey picture, or a side outside the picture limits
    kTiffPalette = -3,
};

// Reads the first picture of `file` into `output`: `length` rows of `width` pixels, 3 bytes per
// pixel in the file's sample order (four-sample files are reduced to three). The buffer must
// hold width x samples x length bytes, the file's own row size, before the reduction.
//
// Returns 0, a TiffError code (already reported, except a failed seek or read of the first 8
// bytes, which shows nothing), a TiffRefusal (already reported) or kMemoryDeclined (96, no
// message). `width` and `length` are set on success, and with a refused size (then clamped to
// 32767). `fileName` only names the file in
// messages; the caller opens and closes `file`. A helper, when given, reads part of the pixels.
[[nodiscard]] int16_t ReadTiff(const std::string& fileName, FileHandle& file, uint8_t* output,
                               size_t capacity, CodecHooks& hooks, int& width, int& length,
                               HelperThread* helper = nullptr);

}  // namespace qx
