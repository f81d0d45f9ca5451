// Which reader a picture's first bytes ask for, for input that has no name (standard input).
#pragma once

#include <cstddef>
#include <cstdint>

#include "load/picture_names.h"

namespace qx {

// "BM" BMP, FF D8 FF JPEG, "II*\0" or "MM\0*" TIFF; Unknown for anything else.
PictureReader ReaderForContent(const uint8_t* bytes, size_t size);

}  // namespace qx
