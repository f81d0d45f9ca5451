// Which reader takes a file: the name rule where it reads the file correctly, the file's first
// bytes where the name rule has no reader for it or names the wrong one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "load/picture_names.h"

namespace qx {

// Bytes of a file's head that ReaderForContent looks at.
inline constexpr size_t kContentHeadBytes = 8;

// The kind of picture the first bytes announce: BMP "BM", JPEG FF D8 FF, TIFF "II*\0" or
// "MM\0*" (which the TIFF reader refuses as big-endian), the PNG signature, PNM "P2", "P3",
// "P5" or "P6" followed by white space. Unknown for anything else.
PictureReader ReaderForContent(std::span<const uint8_t> head);

// The name rule's reader when the content names no kind or agrees with it; otherwise the
// content's. A file whose head cannot be read keeps the name rule (and its messages).
PictureReader ChooseReader(std::string_view name, std::span<const uint8_t> head);

// Up to kContentHeadBytes from the start of path; empty when it cannot be read.
std::vector<uint8_t> ReadContentHead(const std::string& path);

}  // namespace qx
