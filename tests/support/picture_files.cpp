// Small picture files made on the fly for the loading tests.
#include "support/picture_files.h"

namespace qxtest {

void PutLe(std::vector<uint8_t>& bytes, size_t offset, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void BmpPixel(int x, int y, uint8_t rgb[3]) {
    rgb[0] = static_cast<uint8_t>(x * 5 + y);
    rgb[1] = static_cast<uint8_t>(y * 7);
    rgb[2] = static_cast<uint8_t>(255 - x * 3);
}

std::vector<uint8_t> MakeBmp(const BmpShape& shape) {
    const int bytesPerPixel = shape.bitCount / 8 > 0 ? shape.bitCount / 8 : 1;
    const uint32_t stride = (static_cast<uint32_t>(shape.width) * bytesPerPixel + 3) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(shape.height);
    const uint32_t offset = 14 + shape.infoSize;
    std::vector<uint8_t> bytes(offset + imageSize, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
    PutLe(bytes, 10, offset, 4);
    PutLe(bytes, 14, shape.infoSize, 4);
    PutLe(bytes, 18, static_cast<uint32_t>(shape.width), 4);
    PutLe(bytes, 22, static_cast<uint32_t>(shape.topDown ? -shape.height : shape.height), 4);
    PutLe(bytes, 26, 1, 2);
    PutLe(bytes, 28, static_cast<uint32_t>(shape.bitCount), 2);
    PutLe(bytes, 30, shape.compression, 4);
    PutLe(bytes, 34, imageSize + shape.imageSizeExtra, 4);
    if (shape.bitCount != 24) return bytes;
    for (int y = 0; y < shape.height; ++y) {
        const int fileRow = shape.topDown ? y : shape.height - 1 - y;
        const size_t row = offset + static_cast<size_t>(fileRow) * stride;
        for (int x = 0; x < shape.width; ++x) {
            uint8_t rgb[3];
            BmpPixel(x, y, rgb);
            bytes[row + 3 * x] = rgb[2];
            bytes[row + 3 * x + 1] = rgb[1];
            bytes[row + 3 * x + 2] = rgb[0];
        }
    }
    return bytes;
}

}  // namespace qxtest
