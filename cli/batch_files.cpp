// Shared steps of the batch commands.
#include "cli/batch_files.h"

#include <sys/stat.h>

#include <fcntl.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "base/safe_write.h"
#include "cli/worker.h"

namespace qx1 {

std::string StandardStreamsRefusal(const std::vector<std::string>& inputs,
                                   const OutputTarget& target) {
    const auto readers = std::count(inputs.begin(), inputs.end(), kStandardStream);
    if (readers > 0 && (target.kind == OutputTarget::Kind::BesideInput ||
                        target.kind == OutputTarget::Kind::Directory))
        return "standard input (-) has no name to derive an output from: name one with -o FILE "
               "or -o -";
    if (readers > 1) return "standard input (-) can be read only once";
    if (target.kind == OutputTarget::Kind::StandardOutput) return StandardOutputRefusal();
    return {};
}

std::vector<BatchFile> PlanBatch(const std::vector<std::string>& inputs, const OutputTarget& target,
                                 std::string (*outputName)(const std::string&),
                                 std::unique_ptr<StandardInput>& standardInput) {
    std::vector<BatchFile> files;
    std::set<std::string> outputs;
    for (const std::string& input : inputs) {
        BatchFile file{input, input, OutputPath(target, outputName(input)), {}, false};
        if (input == kStandardStream) {
            standardInput = std::make_unique<StandardInput>();
            ReadStandardInput(*standardInput);
            file.fromStandardInput = true;
            file.source = standardInput->path;
            file.refusal = standardInput->error;
        }
        if (!file.toStandardOutput() && !outputs.insert(qx::OutputKey(file.output)).second)
            file.refusal = file.output + " is already the output of an earlier input";
        files.push_back(std::move(file));
    }
    return files;
}

bool SkipsFile(const BatchFile& file, bool skipExisting) {
    return skipExisting && !file.toStandardOutput() &&
           qx::ExamineOutput(file.output, false) == qx::WriteStatus::Exists &&
           !qx::IsSameFile(file.source, file.output);
}

std::string FileRefusal(const BatchFile& file, bool force, int& openError) {
    if (!file.fromStandardInput) {
        if (std::string why = InputRefusal(file.source, openError); !why.empty()) return why;
    }
    if (!file.toStandardOutput()) return OutputRefusal(file.source, file.output, force);
    return {};
}

FileReport SkippedReport(const BatchFile& file) {
    FileReport report;
    report.skipped = true;
    report.input = file.input;
    report.output = file.output;
    report.out = file.input + ": skipped, " + file.output + " exists\n";
    return report;
}

std::string CopyFileTime(const std::string& source, const std::string& output) {
    struct stat info {};
    if (::stat(source.c_str(), &info) != 0) return std::strerror(errno);
    const timespec times[2] = {info.st_atim, info.st_mtim};
    if (::utimensat(AT_FDCWD, output.c_str(), times, 0) != 0) return std::strerror(errno);
    return {};
}

}  // namespace qx1
