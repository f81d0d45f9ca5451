// The formats decompress writes, chosen by the output's extension: PNG for ".png", the binary
// portable pixmap (graymap for grey pictures) for ".ppm", ".pgm" and ".pnm", in either case;
// TIFF for every other name.
#pragma once

#include <cstdint>
#include <string>

namespace qx1 {

enum class RestoredFormat { Tiff, Png, Pnm };

RestoredFormat RestoredFormatFor(const std::string& output);

// Encodes a restored picture as PNG or PNM and writes it to output. Returns an empty string,
// or why nothing was written.
std::string WriteRestoredPicture(RestoredFormat format, const std::string& output,
                                 const uint8_t* pixels, int width, int length, int kind);

}  // namespace qx1
