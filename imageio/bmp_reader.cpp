#include "imageio/bmp_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "codec/vector_clones.h"
#include "imageio/byte_order.h"

namespace qx {
namespace {

constexpr uint32_t kMinInfoSize = 40;  // BITMAPINFOHEADER; V4 and V5 heads are larger
constexpr uint32_t kFileHeaderSize = 14;
constexpr int64_t kMaxSide = 1 << 20;  // keeps every size below in 64 bits with room to spare

// Rows are read this many bytes at a time (at least one row), so no copy of the whole pixel block
// is ever held.
constexpr int64_t kReadChunk = 256 * 1024;

// One row of BGR pixels to RGB. Sixteen bytes at a time hold five pixels and the first byte of
// the next; that byte is stored unchanged and then rewritten by the next step, so a step runs
// only while all sixteen bytes lie inside the row.
QX_VECTOR_CLONES void BgrToRgb(const uint8_t* in, uint8_t* out, size_t pixels) {
    using Bytes16 = uint8_t __attribute__((vector_size(16)));
    const size_t bytes = 3 * pixels;
    size_t i = 0;
    for (; i + 16 <= bytes; i += 15) {
        Bytes16 v;
        std::memcpy(&v, in + i, 16);
        v = __builtin_shufflevector(v, v, 2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
        std::memcpy(out + i, &v, 16);
    }
    for (; i < bytes; i += 3) {
        const uint8_t blue = in[i];
        out[i] = in[i + 2];
        out[i + 1] = in[i + 1];
        out[i + 2] = blue;
    }
}

// Converts `rows` file rows starting at file row `first` to their top-to-bottom RGB rows.
void CopyRows(const uint8_t* block, const BmpLayout& layout, int first, int rows, uint8_t* rgb) {
    const size_t rowBytes = static_cast<size_t>(layout.width) * 3;
    for (int r = 0; r < rows; ++r) {
        const int fileRow = first + r;
        const int y = layout.topDown ? fileRow : layout.height - 1 - fileRow;
        BgrToRgb(block + r * layout.rowStride, rgb + static_cast<size_t>(y) * rowBytes,
                 static_cast<size_t>(layout.width));
    }
}

}  // namespace

bool ParseBmpHeader(std::span<const uint8_t> bytes, BmpHeader& header) {
    if (bytes.size() < kBmpHeadSize) return false;
    const uint8_t* p = bytes.data();
    header.signature[0] = p[0];
    header.signature[1] = p[1];
    header.fileSize = LoadLe32(p + 2);
    header.pixelOffset = LoadLe32(p + 10);
    header.infoSize = LoadLe32(p + 14);
    header.width = static_cast<int32_t>(LoadLe32(p + 18));
    header.height = static_cast<int32_t>(LoadLe32(p + 22));
    header.planes = LoadLe16(p + 26);
    header.bitCount = LoadLe16(p + 28);
    header.compression = LoadLe32(p + 30);
    header.imageSize = LoadLe32(p + 34);
    return true;
}

BmpStatus LayOutBmp(const BmpHeader& header, int64_t fileLength, BmpLayout& layout) {
    if (header.signature[0] != 'B' || header.signature[1] != 'M') return BmpStatus::NotBmp;
    if (header.infoSize < kMinInfoSize || header.planes != 1) return BmpStatus::NotBmp;
    if (header.bitCount != 24) return BmpStatus::NotTrueColour;
    if (header.compression != 0) return BmpStatus::Compressed;

    const int64_t width = header.width;
    const int64_t height = header.height < 0 ? -static_cast<int64_t>(header.height) : header.height;
    if (width <= 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
        return BmpStatus::NotBmp;
    }
    const int64_t offset = header.pixelOffset;
    if (offset < kFileHeaderSize + static_cast<int64_t>(header.infoSize)) return BmpStatus::NotBmp;

    const int64_t stride = (width * 3 + 3) / 4 * 4;
    // The last row's padding may be missing; its pixels may not.
    const int64_t pixelBytes = stride * (height - 1) + width * 3;
    if (offset + pixelBytes > fileLength) return BmpStatus::Truncated;

    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height);
    layout.topDown = header.height < 0;
    layout.pixelOffset = offset;
    layout.rowStride = stride;
    layout.pixelBytes = pixelBytes;
    return BmpStatus::Ok;
}

BmpStatus ReadBmpLayout(FileHandle& file, BmpLayout& layout) {
    uint8_t head[kBmpHeadSize];
    BmpHeader header;
    const int64_t length = file.length();
    if (length < 0 || !file.seek(0) || !file.readExact(head, sizeof head)) {
        return BmpStatus::ReadFailed;
    }
    if (!ParseBmpHeader(head, header)) return BmpStatus::ReadFailed;
    return LayOutBmp(header, length, layout);
}

BmpStatus ReadBmpLayout(std::span<const uint8_t> fileBytes, BmpLayout& layout) {
    BmpHeader header;
    if (!ParseBmpHeader(fileBytes, header)) return BmpStatus::ReadFailed;
    return LayOutBmp(header, static_cast<int64_t>(fileBytes.size()), layout);
}

BmpStatus ReadBmpPixels(FileHandle& file, const BmpLayout& layout, std::span<uint8_t> rgb) {
    if (rgb.size() < layout.rgbSize()) return BmpStatus::ReadFailed;
    // The layout was checked against the file's length, so every read is bounded by it.
    const int rowsPerRead =
        static_cast<int>(std::clamp<int64_t>(kReadChunk / layout.rowStride, 1, layout.height));
    std::unique_ptr<uint8_t[]> chunk(
        new uint8_t[static_cast<size_t>(rowsPerRead * layout.rowStride)]);
    if (!file.seek(layout.pixelOffset)) return BmpStatus::Truncated;
    for (int first = 0; first < layout.height; first += rowsPerRead) {
        const int rows = std::min(rowsPerRead, layout.height - first);
        const int64_t bytes = std::min<int64_t>(rows * layout.rowStride,
                                                layout.pixelBytes - first * layout.rowStride);
        if (!file.readExact(chunk.get(), static_cast<size_t>(bytes))) return BmpStatus::Truncated;
        CopyRows(chunk.get(), layout, first, rows, rgb.data());
    }
    return BmpStatus::Ok;
}

BmpStatus ReadBmpPixels(std::span<const uint8_t> fileBytes, const BmpLayout& layout,
                        std::span<uint8_t> rgb) {
    if (rgb.size() < layout.rgbSize()) return BmpStatus::ReadFailed;
    if (layout.pixelOffset + layout.pixelBytes > static_cast<int64_t>(fileBytes.size())) {
        return BmpStatus::Truncated;
    }
    CopyRows(fileBytes.data() + layout.pixelOffset, layout, 0, layout.height, rgb.data());
    return BmpStatus::Ok;
}

}  // namespace qx
