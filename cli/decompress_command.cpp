// qx1 decompress: reads each compressed file, decodes it and writes the restored picture as
// TIFF, or as PNG or PNM when the output's name asks for it. A file the decoder complains about
// gives no output at all.
#include <filesystem>
#include <memory>
#include <set>

#include "cli/commands.h"
#include "cli/output_paths.h"
#include "cli/restored_formats.h"
#include "cli/worker.h"
#include "container/compressed_name.h"
#include "container/compressed_reader.h"
#include "imageio/tiff_writer.h"
#include "load/status_text.h"

namespace qx1 {

namespace {

FileReport DecompressOne(Worker& worker, const std::string& input, const std::string& output,
                         bool force, const qx::MemoryStatusSource& memory) {
    FileSession session(worker.codec, memory);
    if (!qx::IsCompressedName(input))
        return Failure(input, session.dialogs, "not a compressed file (.qx1 or .QX1)");
    int openError = 0;
    if (std::string why = InputRefusal(input, openError); !why.empty())
        return Failure(input, session.dialogs, why);
    if (std::string why = OutputRefusal(input, output, force); !why.empty())
        return Failure(input, session.dialogs, why);

    qx::Codec& codec = worker.codec;
    // The reader reports its own failures (status 1, or 96 for a declined memory question).
    // The decoder reports a damaged stream ("Invalide Code", "Quality<0") and goes on with
    // status 0: here any message means the picture is not worth writing.
    const int status = qx::OpenCompressedFile(worker.container, codec, input);
    if (status != 0 || !session.dialogs.messages.empty())
        return Failure(input, session.dialogs, {}, ErrorText(openError));

    const qx::CodecState& state = codec.state;
    qx::WriteResult written;
    if (const RestoredFormat format = RestoredFormatFor(output); format != RestoredFormat::Tiff) {
        const std::string why =
            WriteRestoredPicture(format, output, state.WorkBuffer.data(), state.Width, state.Length,
                                 state.RestoredPictureKind, force, written);
        if (!why.empty()) {
            session.dialogs.messages.push_back(why);
            return WriteFailure(input, session.dialogs, output, written);
        }
    } else if (qx::WriteRestoredTiff(output, state.WorkBuffer.data(), state.Width, state.Length,
                                     state.RestoredPictureKind, session.hooks,
                                     {force, &written}) != 0) {
        session.dialogs.messages.push_back("Create Err.");
        return WriteFailure(input, session.dialogs, output, written);
    }
    FileReport report;
    report.out = input + " -> " + output + qx::SizeText(state.Width, state.Length) + "\n";
    return report;
}

}  // namespace

int RunDecompress(const DecompressOptions& options) {
    OutputTarget target;
    if (std::string why = ResolveOutputTarget(options.output, options.inputs.size(), target);
        !why.empty()) {
        std::fprintf(stderr, "qx1 decompress: %s\n", why.c_str());
        return kExitUsage;
    }
    if (target.kind == OutputTarget::Kind::Directory) {
        std::error_code error;
        std::filesystem::create_directories(target.path, error);
    }
    auto worker = std::make_unique<Worker>();
    const qx::MemoryStatusSource memory;
    bool ok = true;
    std::set<std::string> outputs;
    for (const std::string& input : options.inputs) {
        const std::string output = OutputPath(target, RestoredName(input));
        if (!outputs.insert(qx::OutputKey(output)).second) {
            PrintReport(Failure(input, {}, output + " is already the output of an earlier input"),
                        false);
            ok = false;
            continue;
        }
        FileReport report = Guarded(
            input, [&] { return DecompressOne(*worker, input, output, options.force, memory); });
        PrintReport(report, false);
        ok = ok && report.ok;
    }
    return ok ? kExitOk : kExitFailed;
}

}  // namespace qx1
