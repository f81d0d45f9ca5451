// Feeds arbitrary bytes to the BMP reader (from memory and from a file handle) and to the JPEG
// reader. The first byte picks the reader, so one corpus serves both: below 0x80 the BMP
// reader, from 0x80 the JPEG reader. Seeds: a BMP file prefixed with 'B', a JPEG file prefixed
// with 0xFF.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "base/file_handle.h"
#include "codec/codec.h"
#include "imageio/bmp_reader.h"
#include "imageio/jpeg_reader.h"

namespace {

// Pictures beyond the program's limit are refused before decoding, so they are not decoded here
// either (that keeps each run short).
constexpr int kMaxSide = qx::kMaxPictureSide;

void LoadBmp(std::span<const uint8_t> bytes) {
    qx::BmpLayout layout;
    std::vector<uint8_t> fromMemory;
    const bool memoryOk = qx::ReadBmpLayout(bytes, layout) == qx::BmpStatus::Ok &&
                          layout.width <= kMaxSide && layout.height <= kMaxSide;
    if (memoryOk) {
        fromMemory.resize(layout.rgbSize());
        if (qx::ReadBmpPixels(bytes, layout, fromMemory) != qx::BmpStatus::Ok) std::abort();
    }

    qx::FileHandle file(memfd_create("bmp-fuzz", MFD_CLOEXEC));
    if (!file.isOpen() || !file.writeAll(bytes.data(), bytes.size())) std::abort();
    qx::BmpLayout fileLayout;
    const bool fileOk = qx::ReadBmpLayout(file, fileLayout) == qx::BmpStatus::Ok &&
                        fileLayout.width <= kMaxSide && fileLayout.height <= kMaxSide;
    if (fileOk != memoryOk) std::abort();
    if (fileOk) {
        std::vector<uint8_t> fromFile(fileLayout.rgbSize());
        if (qx::ReadBmpPixels(file, fileLayout, fromFile) != qx::BmpStatus::Ok) std::abort();
        if (fromFile != fromMemory) std::abort();
    }
}

void DecodeJpeg(qx::JpegReader& reader) {
    if (reader.width() < 1 || reader.width() > kMaxSide || reader.height() < 1 ||
        reader.height() > kMaxSide) {
        return;
    }
    std::vector<uint8_t> rgb(static_cast<size_t>(reader.width()) * reader.height() * 3);
    (void)reader.decodeRgb(rgb);
}

// Once from memory, once streamed from a file (the way pictures are loaded).
void LoadJpeg(std::span<const uint8_t> bytes) {
    qx::JpegReader reader;
    if (reader.readHeader(bytes)) DecodeJpeg(reader);

    qx::FileHandle file(memfd_create("jpeg-fuzz", MFD_CLOEXEC));
    if (!file.isOpen() || !file.writeAll(bytes.data(), bytes.size())) std::abort();
    qx::JpegReader streamed;
    if (streamed.readHeader("/proc/self/fd/" + std::to_string(file.fd()))) DecodeJpeg(streamed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::span<const uint8_t> bytes(data + 1, size - 1);
    if (data[0] >= 0x80) {
        LoadJpeg(bytes);
    } else {
        LoadBmp(bytes);
    }
    return 0;
}
