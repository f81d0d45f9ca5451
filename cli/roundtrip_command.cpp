// qx1 roundtrip: compresses and restores one picture in memory, as the desktop program shows it,
// and prints the compressed size, the ratio and the PSNR against the picture in the file.
#include <memory>
#include <vector>

#include "cli/commands.h"
#include "cli/psnr.h"
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
    auto worker = std::make_unique<Worker>();
    const qx::MemoryStatusSource memory;
    FileSession session(worker->codec, memory);
    qx::Codec& codec = worker->codec;
    const std::string& input = options.input;

    auto fail = [&](const std::string& extra) {
        PrintReport(Failure(input, session.dialogs, extra), false);
        return kExitFailed;
    };

    int openError = 0;
    if (std::string why = InputRefusal(input, openError); !why.empty()) return fail(why);
    if (!options.output.empty()) {
        if (std::string why = OutputRefusal(input, options.output, options.force); !why.empty())
            return fail(why);
    }
    std::vector<uint8_t> source;
    const qx::LoadOutcome loaded =
        qx::LoadPicture(codec, session.dialogs, {input}, memory, &source);
    if (loaded.failure != qx::LoadFailure::None) {
        PrintReport(Failure(input, session.dialogs, {}, ErrorText(openError)), false);
        return kExitFailed;
    }
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
    const size_t pictureBytes = source.size();
    if (state.RestoredPictureKind != qx::kRestoredRgb || state.Width != loaded.width ||
        state.Length != loaded.length || state.WorkBuffer.size() < pictureBytes)
        return fail("the restored picture does not match the source's size");
    const double psnr = Psnr(source.data(), state.WorkBuffer.data(), pictureBytes);

    if (!options.output.empty()) {
        qx::WriteResult written;
        if (qx::WriteRestoredTiff(options.output, state.WorkBuffer.data(), state.Width,
                                  state.Length, state.RestoredPictureKind, session.hooks,
                                  {options.force, &written}) != 0) {
            session.dialogs.messages.push_back("Create Err.");
            PrintReport(WriteFailure(input, session.dialogs, options.output, written), false);
            return kExitFailed;
        }
    }
    std::fputs(DamagedJpegLine(input, loaded.jpegWarnings).c_str(), stderr);
    std::printf(
        "%s%s  %s   PSNR %s\n", input.c_str(), qx::SizeText(loaded.width, loaded.length).c_str(),
        qx::CompressedSizeText(body, loaded.width, loaded.length).c_str(), PsnrText(psnr).c_str());
    return kExitOk;
}

}  // namespace qx1
