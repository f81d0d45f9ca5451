// Shared helpers of the qx1 commands.
#include "cli/worker.h"

#include <sys/stat.h>
#include <unistd.h>

namespace qx1 {

FileReport Failure(const std::string& name, const CliDialogs& dialogs, const std::string& extra) {
    FileReport report;
    report.ok = false;
    for (const std::string& text : dialogs.messages) report.err += name + ": " + text + "\n";
    if (!extra.empty()) report.err += name + ": " + extra + "\n";
    if (report.err.empty()) report.err = name + ": failed\n";
    return report;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

void RemoveOutput(const std::string& path) {
    ::unlink(path.c_str());
}

}  // namespace qx1
