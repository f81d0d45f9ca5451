// Restored pictures in the formats other than the TIFF beside the input: PNG and PNM files,
// and every format on standard output.
#include "cli/restored_formats.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "cli/standard_streams.h"
#include "imageio/picture_encoders.h"
#include "imageio/tiff_writer.h"

namespace qx1 {

namespace {

bool Encode(RestoredFormat format, const uint8_t* pixels, int width, int length, int kind,
            qx::ByteSink& sink, std::string& why) {
    return format == RestoredFormat::Png ? qx::EncodePng(pixels, width, length, kind, sink, why)
                                         : qx::EncodePnm(pixels, width, length, kind, sink, why);
}

// The encoder's bytes straight into a file, counted; failed once a write has failed.
class FileSink final : public qx::ByteSink {
  public:
    explicit FileSink(qx::FileHandle& file) : file_(file) {}
    bool put(const uint8_t* bytes, size_t size) override {
        failed = !file_.writeAll(bytes, size);
        if (failed) return false;
        written += static_cast<int64_t>(size);
        return true;
    }
    int64_t written = 0;
    bool failed = false;

  private:
    qx::FileHandle& file_;
};

// The encoder's bytes straight to standard output, counted; error holds the first failure.
class OutputSink final : public qx::ByteSink {
  public:
    bool put(const uint8_t* bytes, size_t size) override {
        error = WriteStandardOutput(bytes, size);
        if (error != 0) return false;
        written += static_cast<int64_t>(size);
        return true;
    }
    int error = 0;
    int64_t written = 0;
};

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
        OutputSink sink;
        std::string why;
        if (!Encode(format, pixels, width, length, kind, sink, why))
            return StreamWrite{sink.error != 0 ? sink.error : EINVAL, sink.written};
        return StreamWrite{0, sink.written};
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
    qx::SafeWrite out(output, replace);
    if (!out.isOpen()) {
        written = out.result();
        return "Create Err.";
    }
    // The bytes go into the temporary file as the encoder makes them.
    FileSink sink(out.file());
    std::string why;
    const bool encoded = Encode(format, pixels, width, length, kind, sink, why);
    size = sink.written;
    if (!encoded) {
        out.fail();
        if (!sink.failed) return why;  // the encoder's own failure
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
