// Decodes PNG pictures with libspng, in two steps: the header first (size, so that the caller
// can check it before anything is allocated for the picture), then the whole picture as 8-bit
// red, green, blue rows. Every colour type and bit depth, interlaced or not, is taken; pixels
// that are not fully opaque are flattened onto white. A damaged or cut-short file makes a step
// fail with a reason; it never ends the process.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "base/file_handle.h"

namespace qx {

// The 8 bytes every PNG file starts with.
inline constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

class PngReader {
  public:
    // Sides above maxSide are refused while the header is read, before any decoding.
    explicit PngReader(uint32_t maxSide = 32767);
    ~PngReader();
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    // Step one, from a file read as the decoder goes (file must stay open until decodeRgb has
    // returned) or from bytes that outlive the reader. False with error() set when the file is
    // not a PNG or its header is damaged.
    bool readHeader(FileHandle& file);
    bool readHeader(std::span<const uint8_t> bytes);

    int width() const { return width_; }
    int height() const { return height_; }

    // Step two. Writes width x height x 3 bytes to rgb, rows top to bottom. False with error()
    // set when rgb is too small, memory runs out, or the picture data is damaged or cut short.
    bool decodeRgb(std::span<uint8_t> rgb);

    // After decodeRgb: some pixel was partly or fully transparent and was flattened onto white.
    bool alphaFlattened() const { return alphaFlattened_; }
    const std::string& error() const { return error_; }

  private:
    struct Context;
    bool start();
    bool readIhdr();
    bool fail(int code);

    std::unique_ptr<Context> context_;
    uint32_t maxSide_;
    int width_ = 0;
    int height_ = 0;
    bool hasAlpha_ = false;
    bool headerRead_ = false;
    bool alphaFlattened_ = false;
    std::string error_;
};

}  // namespace qx
