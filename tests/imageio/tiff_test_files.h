// TIFF files for the reader's tests: a builder (header, data blocks, and one directory appended
// from the entries set so far), and a way to run the reader on bytes with watching hooks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace qx {
class HelperThread;
}

namespace qxtest {

constexpr uint16_t kTypeByte = 1;
constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeLong = 4;

class TiffBuilder {
  public:
    TiffBuilder();

    // Appends raw bytes and returns their offset.
    uint32_t append(const std::vector<uint8_t>& data);
    uint32_t appendShorts(const std::vector<uint16_t>& values);
    uint32_t appendLongs(const std::vector<uint32_t>& values);

    // Adds the entry, or replaces the one with the same tag.
    TiffBuilder& set(uint16_t tag, uint16_t type, uint32_t count, uint32_t value);
    TiffBuilder& remove(uint16_t tag);

    // The file: the data so far, then the directory (its offset written at byte 4).
    std::vector<uint8_t> build() const;

  private:
    struct Entry {
        uint16_t tag, type;
        uint32_t count, value;
    };
    std::vector<uint8_t> bytes_;
    std::vector<Entry> entries_;
};

// Bytes 0, 1, 2, ... wrapping at 251, so that misplaced rows show.
std::vector<uint8_t> Pattern(size_t size);

// An uncompressed RGB (or four-sample) file of `width` x `length` holding Pattern pixels, in one
// strip, or in strips of `rowsPerStrip` rows stored last strip first.
TiffBuilder PictureTiff(int width, int length, int samples = 3, int rowsPerStrip = 0);

struct TiffResult {
    int status = 0;
    int width = 0;
    int length = 0;
    std::vector<uint8_t> pixels;  // the output buffer, whole
    RecordingHooks hooks;
};

// The output capacity the open command gives a file of `fileBytes`: 2 x (4 x F / 3 + 131072).
size_t LoadBufferSize(size_t fileBytes);

// Writes `file` to a temporary "pic.tif" and reads it. capacity 0 means LoadBufferSize.
TiffResult ReadTiffBytes(const std::vector<uint8_t>& file, size_t capacity = 0,
                         bool declineMemory = false, qx::HelperThread* helper = nullptr);
TiffResult ReadTiffFile(const std::string& path, size_t capacity = 0, bool declineMemory = false,
                        qx::HelperThread* helper = nullptr);

}  // namespace qxtest
