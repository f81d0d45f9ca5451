// Decodes JPEG pictures with libjpeg, in two steps: the header first (size and component
// count, so that the caller can check them before any decoding), then the whole picture at
// full size as red, green, blue rows. A damaged file makes a step fail; it never ends the
// process. Warnings about corrupt data are counted and decoding goes on; a progressive file of
// absurdly many scans is refused. A file is read a buffer at a time, never whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace qx {

// No file larger than this can hold a picture the program accepts; input read whole from a
// stream is held to it too.
constexpr int64_t kMaxPictureFileBytes = int64_t{512} << 20;

class JpegReader {
  public:
    JpegReader();
    ~JpegReader();
    JpegReader(const JpegReader&) = delete;
    JpegReader& operator=(const JpegReader&) = delete;

    // Step one. Opens the file (a regular file only; the decode streams from it) or takes a copy
    // of the bytes, and decodes the header. False when the file cannot be read, memory runs out
    // or the header is damaged; error() then says why.
    bool readHeader(const std::string& fileName);
    bool readHeader(std::span<const uint8_t> bytes);

    int width() const { return width_; }
    int height() const { return height_; }
    int components() const { return components_; }  // 1 for a grey picture, 3 for colour

    // Step two, after a successful readHeader. Writes width x height x 3 bytes to `rgb`, rows
    // top to bottom. False when `rgb` is too small or decoding fails.
    bool decodeRgb(std::span<uint8_t> rgb);

    const std::string& error() const { return error_; }
    // True when the last step failed for want of memory.
    bool outOfMemory() const { return outOfMemory_; }
    // How many warnings about damaged data libjpeg gave so far (a truncated file, bad Huffman
    // codes, ...); the picture is still decoded.
    int warnings() const;

  private:
    struct Decoder;
    bool parseHeader(bool fromFile);

    std::unique_ptr<Decoder> decoder_;
    std::vector<uint8_t> bytes_;
    int width_ = 0;
    int height_ = 0;
    int components_ = 0;
    bool headerRead_ = false;
    std::string error_;
    bool outOfMemory_ = false;
};

}  // namespace qx
