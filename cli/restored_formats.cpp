// PNG and PNM outputs of decompress: encoded in memory, then written in one go.
#include "cli/restored_formats.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "imageio/picture_encoders.h"

namespace qx1 {

RestoredFormat RestoredFormatFor(const std::string& output) {
    const size_t dot = output.find_last_of("./");
    if (dot == std::string::npos || output[dot] != '.') return RestoredFormat::Tiff;
    std::string extension = output.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "png") return RestoredFormat::Png;
    if (extension == "ppm" || extension == "pgm" || extension == "pnm") return RestoredFormat::Pnm;
    return RestoredFormat::Tiff;
}

std::string WriteRestoredPicture(RestoredFormat format, const std::string& output,
                                 const uint8_t* pixels, int width, int length, int kind,
                                 bool replace, qx::WriteResult& written) {
    std::vector<uint8_t> bytes;
    std::string why;
    const bool encoded = format == RestoredFormat::Png
                             ? qx::EncodePng(pixels, width, length, kind, bytes, why)
                             : qx::EncodePnm(pixels, width, length, kind, bytes, why);
    if (!encoded) return why;
    qx::SafeWrite out(output, replace);
    if (!out.isOpen()) {
        written = out.result();
        return "Create Err.";
    }
    if (!out.file().writeAll(bytes.data(), bytes.size())) {
        out.fail();
        written = out.result();
        return "Write Err.";
    }
    written = out.commit();
    return written.ok() ? std::string() : "Write Err.";
}

}  // namespace qx1
