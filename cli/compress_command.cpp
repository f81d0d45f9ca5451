// qx1 compress: loads each picture as the desktop program opens it, encodes it in the chosen
// mode and writes the same bytes as its "Save as Compress File".
#include <filesystem>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "cli/commands.h"
#include "cli/output_paths.h"
#include "cli/worker.h"
#include "load/compression_mode.h"
#include "load/compression_time.h"
#include "load/picture_loader.h"
#include "load/status_text.h"

namespace qx1 {

namespace {

struct CompressJob {
    std::string input;
    std::string output;
    std::string refusal;  // set when the job must not run
};

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

FileReport CompressOne(Worker& worker, const CompressJob& job, qx::CompressionChoice mode,
                       uint32_t time, bool force, bool fit, const qx::MemoryStatusSource& memory) {
    FileSession session(worker.codec, memory);
    if (!job.refusal.empty()) return Failure(job.input, session.dialogs, job.refusal);
    int openError = 0;
    if (std::string why = InputRefusal(job.input, openError); !why.empty())
        return Failure(job.input, session.dialogs, why);
    if (std::string why = OutputRefusal(job.input, job.output, force); !why.empty())
        return Failure(job.input, session.dialogs, why);

    qx::Codec& codec = worker.codec;
    qx::LoadRequest request(job.input);
    request.fit = fit ? qx::FitChoice::Scale : qx::FitChoice::Refuse;
    const qx::LoadOutcome loaded = qx::LoadPicture(codec, session.dialogs, request, memory);
    if (loaded.failure != qx::LoadFailure::None)
        return Failure(job.input, session.dialogs, loaded.scalable ? "--fit scales it down" : "",
                       ErrorText(openError));

    qx::ApplyCompressionChoice(mode, codec.params);
    // The package driver encodes exactly as the preview does, without decoding afterwards.
    const int status = qx::CompressForPackage(codec);
    if (status != qx::kOk) {
        const char* text = qx::CodecErrorMessage(status);
        return Failure(job.input, session.dialogs, text ? text : "");
    }
    if (!session.dialogs.messages.empty()) return Failure(job.input, session.dialogs);

    const int body = qx::BuildCompressedImage(worker.container, codec, time);
    if (body < 0) return Failure(job.input, session.dialogs, qx::CodecErrorMessage(qx::kCodeErr));

    qx::WriteResult written;
    if (qx::WriteCompressedFile(worker.container, session.hooks, job.output, {force, &written}) !=
            0 ||
        !session.dialogs.messages.empty()) {
        return WriteFailure(job.input, session.dialogs, job.output, written);
    }
    FileReport report;
    report.out = job.input + " -> " + job.output +
                 qx::CompressedSizeText(body, loaded.width, loaded.length) + LoadNotes(loaded) +
                 "\n";
    report.err = DamagedJpegLine(job.input, loaded.jpegWarnings);
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
    if (std::string why = ResolveOutputTarget(options.output, options.inputs.size(), target);
        !why.empty()) {
        std::fprintf(stderr, "qx1 compress: %s\n", why.c_str());
        return kExitUsage;
    }
    std::string why;
    const std::optional<uint32_t> time = qx::CompressionTime(why);
    if (!time) {
        std::fprintf(stderr, "qx1 compress: %s\n", why.c_str());
        return kExitUsage;
    }
    if (target.kind == OutputTarget::Kind::Directory) {
        std::error_code error;
        std::filesystem::create_directories(target.path, error);
    }

    // Two inputs that would write the same output (a.bmp and a.tif) must not both write it.
    std::vector<CompressJob> jobs;
    // Outputs are compared by canonical directory and name, so "a.qx1" and "./a.qx1" collide.
    std::set<std::string> outputs;
    for (const std::string& input : options.inputs) {
        CompressJob job{input, OutputPath(target, CompressedName(input)), {}};
        if (!outputs.insert(qx::OutputKey(job.output)).second)
            job.refusal = job.output + " is already the output of an earlier input";
        jobs.push_back(std::move(job));
    }

    int threads =
        options.jobs > 0 ? options.jobs : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::max(1, std::min<int>(threads, static_cast<int>(jobs.size())));
    std::vector<std::unique_ptr<Worker>> workers;
    for (int i = 0; i < threads; ++i) {
        workers.push_back(std::make_unique<Worker>());
        // Several workers already fill the cores; a helper thread each would only compete.
        workers.back()->codec.splitWork = threads == 1;
    }
    const qx::MemoryStatusSource memory;

    const bool ok = RunFileJobs(
        jobs.size(), threads,
        [&](size_t index, int worker) {
            return Guarded(jobs[index].input, [&] {
                return CompressOne(*workers[worker], jobs[index], *mode, *time, options.force,
                                   options.fit, memory);
            });
        },
        [&](size_t, const FileReport& report) { PrintReport(report, options.quiet); });
    return ok ? kExitOk : kExitFailed;
}

}  // namespace qx1
