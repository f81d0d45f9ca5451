// Shared steps of the batch commands.
#include "cli/batch_files.h"

#include <sys/stat.h>

#include <fcntl.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

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
