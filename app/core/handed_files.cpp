// Files handed to the desktop program: the open command that the file's name calls for.
#include "app/core/handed_files.h"
#include "container/compressed_name.h"

namespace qx {

bool OpenHandedFiles(PictureCommands& commands, const std::vector<std::string>& files) {
    for (const std::string& name : files) {
        if (name.empty()) continue;
        if (IsCompressedName(name)) {
            commands.openCompressFile(name);
        } else {
            commands.openImageFile(name);
        }
        return true;
    }
    return false;
}

std::vector<std::string> HandedBatch(const std::vector<std::string>& files) {
    std::vector<std::string> batch;
    for (const std::string& name : files) {
        if (name.empty()) continue;
        if (IsCompressedName(name)) return {};
        batch.push_back(name);
    }
    if (batch.size() < 2) batch.clear();
    return batch;
}

}  // namespace qx
