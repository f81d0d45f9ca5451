// qx1 compress: loads each picture as the desktop program opens it, encodes it in the chosen
// mode and writes the same bytes as its "Save as Compress File".
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "cli/batch_files.h"
#include "cli/batch_report.h"
#include "cli/commands.h"
#include "cli/early_output.h"
#include "cli/output_paths.h"
#include "cli/worker.h"
#include "load/compression_mode.h"
#include "load/compression_time.h"
#include "load/picture_loader.h"
#include "load/status_text.h"

namespace qx1 {

namespace {

// What loading did to the picture besides reading it, for the report line.
std::string LoadNotes(const qx::LoadOutcome& loaded) {
    std::string notes;
    if (loaded.scaled())
        notes += "; scaled to " + std::to_string(loaded.width) + " x " +
                 std::to_string(loaded.length) + " from " + std::to_string(loaded.sourceWidth) +
                 " x " + std::to_string(loaded.sourceLength);
    if (loaded.alphaFlattened) notes += "; alpha flattened onto white";
    return notes;
}

FileReport CompressOne(Worker& worker, const BatchFile& file, qx::CompressionChoice mode,
                       uint32_t time, const CompressOptions& options,
                       const qx::MemoryStatusSource& memory, const StandardInput* standardInput) {
    FileSession session(worker.codec, memory);
    const std::string& input = file.input;
    auto fail = [&](const std::string& extra, const std::string& reason = {}) {
        for (std::string& message : session.dialogs.messages)
            message = Renamed(message, standardInput ? standardInput->path : "", input);
        FileReport report = Failure(input, session.dialogs, extra, reason);
        report.input = input;
        report.output = file.output;
        return report;
    };
    if (!file.refusal.empty()) return fail(file.refusal);
    if (SkipsFile(file, options.skipExisting)) return SkippedReport(file);
    int openError = 0;
    if (std::string why = FileRefusal(file, options.force, openError); !why.empty())
        return fail(why);

    qx::Codec& codec = worker.codec;
    qx::HandBackPicturePages(codec);  // nothing of the worker's last picture is needed
    qx::LoadRequest request(file.source);
    if (standardInput) request.reader = standardInput->reader;
    request.fit = options.fit ? qx::FitChoice::Scale : qx::FitChoice::Refuse;
    const qx::LoadOutcome loaded = qx::LoadPicture(codec, session.dialogs, request, memory);
    if (loaded.failure != qx::LoadFailure::None)
        return fail(loaded.scalable ? "--fit scales it down" : "", ErrorText(openError));

    qx::ApplyCompressionChoice(mode, codec.params);
    // The package driver encodes exactly as the preview does, without decoding afterwards.
    const int status = qx::CompressForPackage(codec);
    if (status != qx::kOk) {
        const char* text = qx::CodecErrorMessage(status);
        return fail(text ? text : "");
    }
    if (!session.dialogs.messages.empty()) return fail({});

    std::optional<EarlyOutput> output;
    if (!file.toStandardOutput()) output.emplace(codec.helper(), file.output, options.force);
    const int body = qx::BuildCompressedImage(worker.container, codec, time);
    if (body < 0) return fail(qx::CodecErrorMessage(qx::kCodeErr));

    const int64_t fileBytes = static_cast<int64_t>(worker.container.image.size());
    if (file.toStandardOutput()) {
        if (const int error =
                WriteStandardOutput(worker.container.image.data(), worker.container.image.size()))
            return fail("standard output", ErrorText(error));
    } else {
        qx::WriteResult written;
        const int failed =
            qx::WriteCompressedFile(worker.container, session.hooks, output->get(), &written);
        if (failed != 0 || !session.dialogs.messages.empty()) {
            // Another run finished this output meanwhile: done all the same.
            if (options.skipExisting && written.status == qx::WriteStatus::Exists)
                return SkippedReport(file);
            FileReport report = WriteFailure(input, session.dialogs, file.output, written);
            report.input = input;
            report.output = file.output;
            return report;
        }
        if (options.preserveTime && !file.fromStandardInput) {
            if (std::string why = CopyFileTime(file.source, file.output); !why.empty())
                return fail(file.output + ": modification time not set", why);
        }
    }
    FileReport report;
    report.input = input;
    report.output = file.output;
    report.width = loaded.width;
    report.length = loaded.length;
    report.bytes = fileBytes;
    report.ratio = qx::CompressionRatio(loaded.width, loaded.length, body);
    report.out = input + " -> " + file.output +
                 qx::CompressedSizeText(body, loaded.width, loaded.length) + LoadNotes(loaded) +
                 "\n";
    report.err = DamagedJpegLine(input, loaded.jpegWarnings);
    return report;
}

}  // namespace

int RunCompress(const CompressOptions& options) {
    const std::optional<qx::CompressionChoice> mode = qx::ParseCompressionChoice(options.mode);
    if (!mode) {
        std::fprintf(stderr, "qx1 compress: unknown mode \"%s\" (high or clear)\n",
                     options.mode.c_str());
        return kExitUsage;
    }
    OutputTarget target;
    std::string why = ResolveOutputTarget(options.output, options.inputs.size(), target);
    if (why.empty()) why = StandardStreamsRefusal(options.inputs, target);
    if (!why.empty()) {
        std::fprintf(stderr, "qx1 compress: %s\n", why.c_str());
        return kExitUsage;
    }
    const std::optional<uint32_t> time = qx::CompressionTime(why);
    if (!time) {
        std::fprintf(stderr, "qx1 compress: %s\n", why.c_str());
        return kExitUsage;
    }
    if (target.kind == OutputTarget::Kind::Directory) {
        std::error_code error;
        std::filesystem::create_directories(target.path, error);
    }

    std::unique_ptr<StandardInput> standardInput;
    std::vector<BatchFile> files =
        PlanBatch(options.inputs, target, &CompressedName, standardInput);

    // At most `threads` pictures are in memory at once: each worker holds one.
    const int budget = options.jobs > 0 ? options.jobs : AvailableCpus();
    const int threads = std::max(1, std::min<int>(budget, static_cast<int>(files.size())));
    std::vector<std::unique_ptr<Worker>> workers;
    for (int i = 0; i < threads; ++i) {
        workers.push_back(std::make_unique<Worker>());
        workers.back()->codec.splitWork = HelpersFit(budget, threads);
        StartHelperEarly(*workers.back());
    }
    const qx::MemoryStatusSource memory;

    BatchReport batch({options.quiet, options.json,
                       target.kind == OutputTarget::Kind::StandardOutput, "compressed"},
                      files.size());
    RunFileJobs(
        files.size(), threads,
        [&](size_t index, int worker) {
            const BatchFile& file = files[index];
            FileReport report = Guarded(file.input, [&] {
                return CompressOne(*workers[worker], file, *mode, *time, options, memory,
                                   file.fromStandardInput ? standardInput.get() : nullptr);
            });
            report.input = file.input;
            report.output = file.output;
            return report;
        },
        [&](size_t, const FileReport& report) { batch.add(report); });
    KeepUntilExit(workers);
    return batch.finish();
}

}  // namespace qx1
