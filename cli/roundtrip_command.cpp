// qx1 roundtrip: compresses and restores one picture in memory, as the desktop program shows it,
// and prints the compressed size, the ratio and the PSNR against the picture in the file.
#include <cstdio>
#include <memory>
#include <vector>

#include "cli/commands.h"
#include "cli/json_lines.h"
#include "cli/psnr.h"
#include "cli/restored_formats.h"
#include "cli/standard_streams.h"
#include "cli/worker.h"
#include "imageio/tiff_writer.h"
#include "load/compression_mode.h"
#include "load/compression_time.h"
#include "load/picture_loader.h"
#include "load/status_text.h"

namespace qx1 {

int RunRoundtrip(const RoundtripOptions& options) {
    const std::optional<qx::CompressionChoice> mode = qx::ParseCompressionChoice(options.mode);
    if (!mode) {
        std::fprintf(stderr, "qx1 roundtrip: unknown mode \"%s\" (high or clear)\n",
                     options.mode.c_str());
        return kExitUsage;
    }
    std::string why;
    const std::optional<uint32_t> time = qx::CompressionTime(why);
    if (!time) {
        std::fprintf(stderr, "qx1 roundtrip: %s\n", why.c_str());
        return kExitUsage;
    }
    const bool toStandardOutput = options.output == kStandardStream;
    if (toStandardOutput) {
        if (std::string why = StandardOutputRefusal(); !why.empty()) {
            std::fprintf(stderr, "qx1 roundtrip: %s\n", why.c_str());
            return kExitUsage;
        }
    }
    // The result's line (or JSON object) goes to standard error when standard output carries
    // the restored picture.
    std::FILE* lines = toStandardOutput ? stderr : stdout;
    StandardInput standardInput;
    const bool fromStandardInput = options.input == kStandardStream;
    if (fromStandardInput) ReadStandardInput(standardInput);
    const std::string source = fromStandardInput ? standardInput.path : options.input;
    auto worker = std::make_unique<Worker>();
    worker->codec.splitWork = HelpersFit(AvailableCpus(), 1);
    StartHelperEarly(*worker);
    const qx::MemoryStatusSource memory;
    FileSession session(worker->codec, memory);
    qx::Codec& codec = worker->codec;
    const std::string& input = options.input;

    auto report = [&](FileReport result) {
        result.input = input;
        result.output = options.output;
        if (options.json) {
            std::fputs(JsonLine(result).c_str(), lines);
            std::fputs(result.ok ? "" : result.err.c_str(), stderr);
        } else {
            PrintReport(result, false);
        }
        return result.ok ? kExitOk : kExitFailed;
    };
    auto fail = [&](const std::string& extra, const std::string& reason = {}) {
        for (std::string& message : session.dialogs.messages)
            message = Renamed(message, fromStandardInput ? source : "", input);
        return report(Failure(input, session.dialogs, extra, reason));
    };

    int openError = 0;
    if (!standardInput.error.empty()) return fail(standardInput.error);
    if (!fromStandardInput) {
        if (std::string why = InputRefusal(source, openError); !why.empty()) return fail(why);
    }
    if (!options.output.empty() && !toStandardOutput) {
        if (std::string why = OutputRefusal(source, options.output, options.force); !why.empty())
            return fail(why);
    }
    std::vector<uint8_t> picture;
    qx::LoadRequest request(source);
    if (fromStandardInput) request.reader = standardInput.reader;
    const qx::LoadOutcome loaded =
        qx::LoadPicture(codec, session.dialogs, request, memory, &picture);
    if (loaded.failure != qx::LoadFailure::None) return fail({}, ErrorText(openError));
    qx::ApplyCompressionChoice(*mode, codec.params);
    const int status = qx::CompressForPreview(codec);
    if (status != qx::kOk) {
        const char* text = qx::CodecErrorMessage(status);
        return fail(text ? text : "");
    }
    if (!session.dialogs.messages.empty()) return fail({});
    const int body = qx::BuildCompressedImage(worker->container, codec, *time);
    if (body < 0) return fail(qx::CodecErrorMessage(qx::kCodeErr));

    const qx::CodecState& state = codec.state;
    const size_t pictureBytes = picture.size();
    if (state.RestoredPictureKind != qx::kRestoredRgb || state.Width != loaded.width ||
        state.Length != loaded.length || state.WorkBuffer.size() < pictureBytes)
        return fail("the restored picture does not match the source's size");
    const double psnr = Psnr(picture.data(), state.WorkBuffer.data(), pictureBytes);

    if (toStandardOutput) {
        std::string unused;
        const StreamWrite streamed = WriterForFormat("tif", unused)(
            state.WorkBuffer.data(), state.Width, state.Length, state.RestoredPictureKind);
        if (streamed.error) return fail("standard output", ErrorText(streamed.error));
    } else if (!options.output.empty()) {
        qx::WriteResult written;
        if (qx::WriteRestoredTiff(options.output, state.WorkBuffer.data(), state.Width,
                                  state.Length, state.RestoredPictureKind, session.hooks,
                                  {options.force, &written}) != 0) {
            session.dialogs.messages.push_back("Create Err.");
            return report(WriteFailure(input, session.dialogs, options.output, written));
        }
    }
    FileReport result;
    result.width = loaded.width;
    result.length = loaded.length;
    result.bytes = static_cast<int64_t>(worker->container.image.size());
    result.ratio = qx::CompressionRatio(loaded.width, loaded.length, body);
    result.psnr = psnr;
    result.out = input + qx::SizeText(loaded.width, loaded.length) + "  " +
                 qx::CompressedSizeText(body, loaded.width, loaded.length) + "   PSNR " +
                 PsnrText(psnr) + "\n";
    std::fputs(DamagedJpegLine(input, loaded.jpegWarnings).c_str(), stderr);
    if (!options.json) {
        std::fputs(result.out.c_str(), lines);
        return kExitOk;
    }
    return report(result);
}

}  // namespace qx1
