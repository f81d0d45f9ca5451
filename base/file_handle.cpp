#include "base/file_handle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace qx {

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.release();
    }
    return *this;
}

FileHandle FileHandle::openInput(const std::string& name, InputStatus* status) {
    InputStatus ignored;
    InputStatus& result = status ? *status : ignored;
    int fd;
    do {
        fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        result = InputStatus::CannotOpen;
        return {};
    }
    FileHandle handle(fd);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result = InputStatus::NotRegular;
        errno = EINVAL;
        return {};
    }
    // Reads of a regular file never block anyway; clear the flag so that nothing depends on it.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        result = InputStatus::CannotOpen;
        return {};
    }
    result = InputStatus::Opened;
    return handle;
}

FileHandle FileHandle::open(const std::string& name, Mode mode) {
    if (mode == Mode::ReadOnly) return openInput(name);
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::ReadOnly:
            break;
        case Mode::ReadWrite:
            flags |= O_RDWR;
            break;
        case Mode::ReadWriteCreate:
            flags |= O_RDWR | O_CREAT;
            break;
        case Mode::Truncate:
            flags |= O_RDWR | O_CREAT | O_TRUNC;
            break;
    }
    int fd;
    do {
        fd = ::open(name.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    return FileHandle(fd);
}

void FileHandle::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool FileHandle::seek(int64_t offset) {
    return fd_ >= 0 &&
           ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

int64_t FileHandle::length() const {
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

namespace {

// Calls step(done) until size bytes have gone, again after EINTR; each call returns the bytes it
// moved, 0 at the end of the file or -1. Returns the bytes moved, or -1 after an error.
template <typename Step>
int64_t Transfer(size_t size, Step step) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = step(done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

}  // namespace

int64_t FileHandle::read(void* buffer, size_t size) {
    if (fd_ < 0) return -1;
    auto* out = static_cast<char*>(buffer);
    return Transfer(size, [&](size_t done) { return ::read(fd_, out + done, size - done); });
}

bool FileHandle::readExactAt(int64_t offset, void* buffer, size_t size) const {
    if (fd_ < 0 || offset < 0) return false;
    auto* out = static_cast<char*>(buffer);
    return Transfer(size, [&](size_t done) {
               return ::pread(fd_, out + done, size - done, offset + static_cast<off_t>(done));
           }) == static_cast<int64_t>(size);
}

bool FileHandle::writeAll(const void* buffer, size_t size) {
    if (fd_ < 0) return false;
    const auto* in = static_cast<const char*>(buffer);
    return Transfer(size, [&](size_t done) { return ::write(fd_, in + done, size - done); }) ==
           static_cast<int64_t>(size);
}

bool FileHandle::truncate(int64_t length) {
    return fd_ >= 0 && ::ftruncate(fd_, static_cast<off_t>(length)) == 0;
}

}  // namespace qx
