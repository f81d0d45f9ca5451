// qx1 decompress: reads each compressed file, decodes it and writes the restored picture as
// TIFF, or as PNG or PNM when the output's name asks for it. A file the decoder complains about
// gives no output at all.
#include <filesystem>
#include <memory>
#include <set>

#include "cli/batch_files.h"
#include "cli/batch_report.h"
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

FileReport DecompressOne(Worker& worker, const BatchFile& file, const DecompressOptions& options,
                         const StreamWriter& toStandardOutput,
                         const qx::MemoryStatusSource& memory) {
    FileSession session(worker.codec, memory);
    const std::string& input = file.input;
    auto fail = [&](const std::string& extra, const std::string& reason = {}) {
        if (file.fromStandardInput)
            for (std::string& message : session.dialogs.messages)
                message = Renamed(message, file.source, input);
        return Failure(input, session.dialogs, extra, reason);
    };
    if (!file.refusal.empty()) return fail(file.refusal);
    if (SkipsFile(file, options.skipExisting)) return SkippedReport(file);
    if (!file.fromStandardInput && !qx::IsCompressedName(input))
        return fail("not a compressed file (.qx1 or .QX1)");
    int openError = 0;
    if (std::string why = FileRefusal(file, options.force, openError); !why.empty())
        return fail(why);

    qx::Codec& codec = worker.codec;
    // The reader reports its own failures (status 1, or 96 for a declined memory question).
    // The decoder reports a damaged stream ("Invalide Code", "Quality<0") and goes on with
    // status 0: here any message means the picture is not worth writing.
    const int status = qx::OpenCompressedFile(worker.container, codec, file.source);
    if (status != 0 || !session.dialogs.messages.empty()) return fail({}, ErrorText(openError));

    const qx::CodecState& state = codec.state;
    FileReport report;
    if (file.toStandardOutput()) {
        const StreamWrite streamed = toStandardOutput(state.WorkBuffer.data(), state.Width,
                                                      state.Length, state.RestoredPictureKind);
        if (streamed.error) return fail("standard output", ErrorText(streamed.error));
        report.bytes = streamed.bytes;
    } else {
        qx::WriteResult written;
        const RestoredFormat format = RestoredFormatFor(file.output);
        std::string why;
        if (format != RestoredFormat::Tiff) {
            why = WriteRestoredPicture(format, file.output, state.WorkBuffer.data(), state.Width,
                                       state.Length, state.RestoredPictureKind, options.force,
                                       written, report.bytes);
        } else if (qx::WriteRestoredTiff(file.output, state.WorkBuffer.data(), state.Width,
                                         state.Length, state.RestoredPictureKind, session.hooks,
                                         {options.force, &written}) != 0) {
            why = "Create Err.";
        }
        if (!why.empty()) {
            if (options.skipExisting && written.status == qx::WriteStatus::Exists)
                return SkippedReport(file);
            session.dialogs.messages.push_back(why);
            return WriteFailure(input, session.dialogs, file.output, written);
        }
        if (format == RestoredFormat::Tiff) {
            const int channels = state.RestoredPictureKind == qx::kRestoredRgb ? 3 : 1;
            report.bytes = static_cast<int64_t>(qx::kTiffHeaderBlockSize) +
                           int64_t{state.Width} * state.Length * channels;
        }
        if (options.preserveTime && !file.fromStandardInput) {
            if (std::string why = CopyFileTime(file.source, file.output); !why.empty())
                return fail(file.output + ": modification time not set", why);
        }
    }
    report.width = state.Width;
    report.length = state.Length;
    report.out = input + " -> " + file.output + qx::SizeText(state.Width, state.Length) + "\n";
    return report;
}

}  // namespace

int RunDecompress(const DecompressOptions& options) {
    OutputTarget target;
    std::string why = ResolveOutputTarget(options.output, options.inputs.size(), target);
    if (why.empty()) why = StandardStreamsRefusal(options.inputs, target);
    StreamWriter toStandardOutput;
    if (why.empty() && target.kind == OutputTarget::Kind::StandardOutput)
        toStandardOutput = WriterForFormat(options.format, why);
    else if (why.empty() && !options.format.empty())
        why = "--format applies to -o - only (a file's format follows its name)";
    if (!why.empty()) {
        std::fprintf(stderr, "qx1 decompress: %s\n", why.c_str());
        return kExitUsage;
    }
    if (target.kind == OutputTarget::Kind::Directory) {
        std::error_code error;
        std::filesystem::create_directories(target.path, error);
    }
    auto worker = std::make_unique<Worker>();
    worker->codec.splitWork = HelpersFit(AvailableCpus(), 1);
    StartHelperEarly(*worker);
    const qx::MemoryStatusSource memory;
    std::unique_ptr<StandardInput> standardInput;
    BatchReport batch({options.quiet, options.json,
                       target.kind == OutputTarget::Kind::StandardOutput, "decompressed"},
                      options.inputs.size());
    for (const BatchFile& file : PlanBatch(options.inputs, target, &RestoredName, standardInput)) {
        FileReport report = Guarded(file.input, [&] {
            return DecompressOne(*worker, file, options, toStandardOutput, memory);
        });
        report.input = file.input;
        report.output = file.output;
        batch.add(report);
    }
    KeepUntilExit(worker);
    return batch.finish();
}

}  // namespace qx1
