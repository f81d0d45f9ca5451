// Restored pictures on standard output. Every format goes through WriterForFormat.
#include "cli/restored_formats.h"

#include <cerrno>

#include "cli/standard_streams.h"
#include "imageio/tiff_writer.h"

namespace qx1 {

namespace {

int WriteTiff(const uint8_t* pixels, int width, int length, int kind) {
    if (kind != qx::kRestoredRgb && kind != qx::kRestoredGrey) return EINVAL;
    const auto head = qx::BuildTiffHeaderBlock(width, length, kind);
    if (const int error = WriteStandardOutput(head.data(), head.size())) return error;
    const size_t channels = kind == qx::kRestoredRgb ? 3 : 1;
    return WriteStandardOutput(pixels, static_cast<size_t>(width) * length * channels);
}

}  // namespace

StreamWriter WriterForFormat(const std::string& format, std::string& why) {
    if (format.empty() || format == "tif") return WriteTiff;
    if (format == "png" || format == "ppm")
        why = "--format " + format + " is not available in this build (tif is)";
    else
        why = "unknown --format \"" + format + "\" (tif, png or ppm)";
    return {};
}

}  // namespace qx1
