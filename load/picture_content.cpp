// The first bytes of the three picture formats the readers take.
#include "load/picture_content.h"

#include <cstring>

namespace qx {

PictureReader ReaderForContent(const uint8_t* bytes, size_t size) {
    auto startsWith = [&](const char* magic, size_t length) {
        return size >= length && std::memcmp(bytes, magic, length) == 0;
    };
    if (startsWith("BM", 2)) return PictureReader::Bmp;
    if (startsWith("\xFF\xD8\xFF", 3)) return PictureReader::Jpeg;
    if (startsWith("II*\0", 4) || startsWith("MM\0*", 4)) return PictureReader::Tiff;
    return PictureReader::Unknown;
}

}  // namespace qx
