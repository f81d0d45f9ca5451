// The formats decompress writes: to a file, chosen by the output's extension (PNG for ".png",
// the binary portable pixmap, graymap for grey pictures, for ".ppm", ".pgm" and ".pnm", in
// either case; TIFF for every other name); to standard output, chosen by --format.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/safe_write.h"

namespace qx1 {

enum class RestoredFormat { Tiff, Png, Pnm };

RestoredFormat RestoredFormatFor(const std::string& output);

// Encodes a restored picture as PNG or PNM and writes it to output through a temporary file
// (an existing output is replaced only with replace). Returns an empty string, or why nothing
// was written; written holds the write's outcome and bytes the encoded picture's size.
std::string WriteRestoredPicture(RestoredFormat format, const std::string& output,
                                 const uint8_t* pixels, int width, int length, int kind,
                                 bool replace, qx::WriteResult& written, int64_t& bytes);

// What writing to standard output did: 0 or the errno of the failed write, and the bytes the
// encoded picture took.
struct StreamWrite {
    int error = 0;
    int64_t bytes = 0;
};

// Writes a restored picture (width x length x 1 or 3 bytes, kind kRestoredGrey or kRestoredRgb)
// to standard output.
using StreamWriter =
    std::function<StreamWrite(const uint8_t* pixels, int width, int length, int kind)>;

// The writer for a --format value (tif, png or ppm); empty when qx1 cannot write that format
// (why says so).
StreamWriter WriterForFormat(const std::string& format, std::string& why);

}  // namespace qx1
