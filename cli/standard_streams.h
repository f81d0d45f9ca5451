// "-" as an input or output: standard input is read whole into an anonymous in-memory file, so
// that the readers see a regular file; standard output takes the bytes as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "load/picture_names.h"

namespace qx1 {

constexpr const char* kStandardStream = "-";

struct StandardInput {
    int fd = -1;
    std::string path;  // opens the in-memory copy ("/proc/self/fd/N")
    qx::PictureReader reader = qx::PictureReader::Unknown;  // chosen by the first bytes
    std::string error;  // why it could not be read; empty on success

    StandardInput() = default;
    StandardInput(const StandardInput&) = delete;
    StandardInput& operator=(const StandardInput&) = delete;
    ~StandardInput();
};

// Reads standard input to its end, at most qx::kMaxPictureFileBytes.
void ReadStandardInput(StandardInput& input);

// Writes size bytes to standard output (file descriptor 1, after stdout is flushed). Returns 0
// or the errno of the failed write.
int WriteStandardOutput(const uint8_t* bytes, size_t size);

// Why standard output may not carry data: a terminal. Empty when it may.
std::string StandardOutputRefusal();

// message with every occurrence of path replaced by name.
std::string Renamed(std::string message, const std::string& path, const std::string& name);

}  // namespace qx1
