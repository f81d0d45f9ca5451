// Shared helpers of the qx1 commands.
#include "cli/worker.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace qx1 {

bool ParseMode(const std::string& name, Mode& mode) {
    if (name == "high") {
        mode = {0, 0};
        return true;
    }
    if (name == "clear") {
        mode = {1, 4};
        return true;
    }
    return false;
}

FileReport Failure(const std::string& name, const CliDialogs& dialogs, const std::string& extra) {
    FileReport report;
    report.ok = false;
    for (const std::string& text : dialogs.messages) report.err += name + ": " + text + "\n";
    if (!extra.empty()) report.err += name + ": " + extra + "\n";
    if (report.err.empty()) report.err = name + ": failed\n";
    return report;
}

bool CompressionTime(uint32_t& time, std::string& why) {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (!epoch) {
        time = static_cast<uint32_t>(std::time(nullptr));
        return true;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(epoch, &end, 10);
    if (*epoch == '\0' || *end != '\0' || errno != 0 || value > 0xFFFFFFFFull || *epoch == '-') {
        why = std::string("SOURCE_DATE_EPOCH is not a number of seconds: \"") + epoch + "\"";
        return false;
    }
    time = static_cast<uint32_t>(value);
    return true;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

void RemoveOutput(const std::string& path) {
    ::unlink(path.c_str());
}

}  // namespace qx1
