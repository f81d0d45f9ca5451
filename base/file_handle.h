// A small owner of a POSIX file descriptor: open with flags, seek, read, write, length,
// truncate, close. A short read or write counts as a failure; EINTR is retried. Inputs open
// only when they are regular files, without ever waiting on a FIFO or a device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qx {

class FileHandle {
  public:
    enum class Mode {
        ReadOnly,         // an existing regular file, read only (see openInput)
        ReadWrite,        // an existing file, read and write
        ReadWriteCreate,  // read and write, created (mode 0666 less umask) when missing
        Truncate,         // read and write, created when missing, cut to length 0
    };

    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() { close(); }
    FileHandle(FileHandle&& other) noexcept : fd_(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    static FileHandle open(const std::string& name, Mode mode);

    enum class InputStatus { Opened, CannotOpen, NotRegular };
    // Opens an input for reading. The open does not block (a FIFO with no writer, a terminal
    // device), and anything that is not a regular file is closed again and refused.
    static FileHandle openInput(const std::string& name, InputStatus* status = nullptr);

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closing an empty handle does nothing, so a handle is never closed twice.
    void close();

    bool seek(int64_t offset);
    // The file's length, or -1.
    int64_t length() const;
    // Reads up to size bytes; returns the count read (less only at the end of the file), or -1.
    int64_t read(void* buffer, size_t size);
    // True when exactly size bytes were read.
    bool readExact(void* buffer, size_t size) {
        return read(buffer, size) == static_cast<int64_t>(size);
    }
    // True when exactly size bytes were read at offset. The file position stays where it is, so
    // several threads may read one file at once.
    bool readExactAt(int64_t offset, void* buffer, size_t size) const;
    // True when all size bytes were written.
    bool writeAll(const void* buffer, size_t size);
    bool truncate(int64_t length);

  private:
    int fd_ = -1;
};

}  // namespace qx
