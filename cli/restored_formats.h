// The formats decompress writes, chosen by the output's extension: PNG for ".png", the binary
// portable pixmap (graymap for grey pictures) for ".ppm", ".pgm" and ".pnm", in either case;
// TIFF for every other name.
#pragma once

#include <cstdint>
#include <string>

#include "base/safe_write.h"

namespace qx1 {

enum class RestoredFormat { Tiff, Png, Pnm };

RestoredFormat RestoredFormatFor(const std::string& output);

// Encodes a restored picture as PNG or PNM and writes it to output through a temporary file
// (an existing output is replaced only with replace). Returns an empty string, or why nothing
// was written; written holds the write's outcome.
std::string WriteRestoredPicture(RestoredFormat format, const std::string& output,
                                 const uint8_t* pixels, int width, int length, int kind,
                                 bool replace, qx::WriteResult& written);

}  // namespace qx1
