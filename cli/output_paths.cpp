// Output names of compress and decompress.
#include "cli/output_paths.h"

#include <sys/stat.h>

namespace qx1 {

namespace {

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string ResolveOutputTarget(const std::string& option, size_t inputCount,
                                OutputTarget& target) {
    target = {};
    if (option.empty()) return {};
    target.path = option;
    if (option == "-") {
        target.kind = OutputTarget::Kind::StandardOutput;
        return inputCount > 1
                   ? "-o - takes one input, but " + std::to_string(inputCount) + " were given"
                   : std::string();
    }
    if (option.back() == '/' || IsDirectory(option)) {
        target.kind = OutputTarget::Kind::Directory;
        return {};
    }
    if (inputCount > 1)
        return "-o " + option + " names one file, but " + std::to_string(inputCount) +
               " inputs were given (use an existing directory or end it in \"/\")";
    target.kind = OutputTarget::Kind::File;
    return {};
}

std::string OutputPath(const OutputTarget& target, const std::string& defaultName) {
    switch (target.kind) {
        case OutputTarget::Kind::BesideInput:
            return defaultName;
        case OutputTarget::Kind::File:
        case OutputTarget::Kind::StandardOutput:
            return target.path;
        case OutputTarget::Kind::Directory:
            break;
    }
    const size_t slash = defaultName.find_last_of('/');
    const std::string base =
        slash == std::string::npos ? defaultName : defaultName.substr(slash + 1);
    std::string directory = target.path;
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    return directory == "/" ? "/" + base : directory + "/" + base;
}

}  // namespace qx1
