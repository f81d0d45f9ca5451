// Standard input and output as files of qx1.
#include "cli/standard_streams.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "imageio/jpeg_reader.h"
#include "load/reader_choice.h"

namespace qx1 {

StandardInput::~StandardInput() {
    if (fd >= 0) ::close(fd);
}

void ReadStandardInput(StandardInput& input) {
    input.fd = ::memfd_create("qx1-standard-input", MFD_CLOEXEC);
    if (input.fd < 0) {
        input.error = std::string("standard input: ") + std::strerror(errno);
        return;
    }
    input.path = "/proc/self/fd/" + std::to_string(input.fd);
    uint8_t head[16];
    size_t headSize = 0;
    int64_t total = 0;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            input.error = std::string("standard input: ") + std::strerror(errno);
            return;
        }
        if (got == 0) break;
        total += got;
        if (total > qx::kMaxPictureFileBytes) {
            input.error = "standard input: more than " +
                          std::to_string(qx::kMaxPictureFileBytes >> 20) +
                          " MB, larger than any picture qx1 takes";
            return;
        }
        for (ssize_t i = 0; i < got && headSize < sizeof head; ++i) head[headSize++] = buffer[i];
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(input.fd, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) {
                input.error = std::string("standard input: ") + std::strerror(errno);
                return;
            }
            done += put;
        }
    }
    input.reader = qx::ReaderForContent(std::span<const uint8_t>(head, headSize));
}

int WriteStandardOutput(const uint8_t* bytes, size_t size) {
    if (std::fflush(stdout) != 0) return errno;
    while (size > 0) {
        const ssize_t put = ::write(STDOUT_FILENO, bytes, size);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return errno;
        bytes += put;
        size -= static_cast<size_t>(put);
    }
    return 0;
}

std::string StandardOutputRefusal() {
    return ::isatty(STDOUT_FILENO) ? "standard output is a terminal: redirect it or name a file"
                                   : std::string();
}

std::string Renamed(std::string message, const std::string& path, const std::string& name) {
    if (path.empty()) return message;
    for (size_t at = message.find(path); at != std::string::npos;
         at = message.find(path, at + name.size()))
        message.replace(at, path.size(), name);
    return message;
}

}  // namespace qx1
