#include "imageio/bmp_reader.h"

#include <vector>

#include "imageio/byte_order.h"

namespace qx {
namespace {

constexpr uint32_t kMinInfoSize = 40;  // BITMAPINFOHEADER; V4 and V5 heads are larger
constexpr uint32_t kFileHeaderSize = 14;
constexpr int64_t kMaxSide = 1 << 20;  // keeps every size below in 64 bits with room to spare

// Turns the file's pixel block (starting at the pixel offset) into top-to-bottom RGB rows.
void CopyRows(const uint8_t* block, const BmpLayout& layout, uint8_t* rgb) {
    const size_t rowPixels = static_cast<size_t>(layout.width);
    for (int y = 0; y < layout.height; ++y) {
        const int64_t fileRow = layout.topDown ? y : layout.height - 1 - y;
        const uint8_t* in = block + fileRow * layout.rowStride;
        uint8_t* out = rgb + static_cast<size_t>(y) * rowPixels * 3;
        for (size_t x = 0; x < rowPixels; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
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
    // The layout was checked against the file's length, so this block is bounded by it.
    std::vector<uint8_t> block(static_cast<size_t>(layout.pixelBytes));
    if (!file.seek(layout.pixelOffset) || !file.readExact(block.data(), block.size())) {
        return BmpStatus::Truncated;
    }
    CopyRows(block.data(), layout, rgb.data());
    return BmpStatus::Ok;
}

BmpStatus ReadBmpPixels(std::span<const uint8_t> fileBytes, const BmpLayout& layout,
                        std::span<uint8_t> rgb) {
    if (rgb.size() < layout.rgbSize()) return BmpStatus::ReadFailed;
    if (layout.pixelOffset + layout.pixelBytes > static_cast<int64_t>(fileBytes.size())) {
        return BmpStatus::Truncated;
    }
    CopyRows(fileBytes.data() + layout.pixelOffset, layout, rgb.data());
    return BmpStatus::Ok;
}

}  // namespace qx
