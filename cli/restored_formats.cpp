// Restored pictures in the formats other than the TIFF beside the input: PNG and PNM files,
// and every format on standard output.
#include "cli/restored_formats.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <vector>

#include "cli/standard_streams.h"
#include "imageio/picture_encoders.h"
#include "imageio/tiff_writer.h"

namespace qx1 {

namespace {

bool Encode(RestoredFormat format, const uint8_t* pixels, int width, int length, int kind,
            std::vector<uint8_t>& bytes, std::string& why) {
    return format == RestoredFormat::Png ? qx::EncodePng(pixels, width, length, kind, bytes, why)
                                         : qx::EncodePnm(pixels, width, length, kind, bytes, why);
}

StreamWrite WriteTiff(const uint8_t* pixels, int width, int length, int kind) {
    if (kind != qx::kRestoredRgb && kind != qx::kRestoredGrey) return {EINVAL, 0};
    const auto head = qx::BuildTiffHeaderBlock(width, length, kind);
    const size_t channels = kind == qx::kRestoredRgb ? 3 : 1;
    const size_t samples = static_cast<size_t>(width) * length * channels;
    int error = WriteStandardOutput(head.data(), head.size());
    if (error == 0) error = WriteStandardOutput(pixels, samples);
    return {error, static_cast<int64_t>(head.size() + samples)};
}

StreamWriter EncodedWriter(RestoredFormat format) {
    return [format](const uint8_t* pixels, int width, int length, int kind) {
        std::vector<uint8_t> bytes;
        std::string why;
        if (!Encode(format, pixels, width, length, kind, bytes, why)) return StreamWrite{EINVAL, 0};
        return StreamWrite{WriteStandardOutput(bytes.data(), bytes.size()),
                           static_cast<int64_t>(bytes.size())};
    };
}

}  // namespace

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
                                 bool replace, qx::WriteResult& written, int64_t& size) {
    std::vector<uint8_t> bytes;
    std::string why;
    if (!Encode(format, pixels, width, length, kind, bytes, why)) return why;
    size = static_cast<int64_t>(bytes.size());
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

StreamWriter WriterForFormat(const std::string& format, std::string& why) {
    if (format.empty() || format == "tif") return WriteTiff;
    if (format == "png") return EncodedWriter(RestoredFormat::Png);
    if (format == "ppm") return EncodedWriter(RestoredFormat::Pnm);
    why = "unknown --format \"" + format + "\" (tif, png or ppm)";
    return {};
}

}  // namespace qx1
