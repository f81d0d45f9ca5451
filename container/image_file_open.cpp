// Opening picture and compressed files for the readers and the writers.
#include <string>
#include <utility>

#include "container/compressed_name.h"
#include "container/container.h"

namespace qx {

namespace {

FileHandle AtStart(FileHandle handle) {
    if (!handle.seek(0)) handle.close();
    return handle;
}

}  // namespace

FileHandle OpenImageFile(const std::string& fileName, FileUse use) {
    using Mode = FileHandle::Mode;
    if (use == FileUse::Input) return AtStart(FileHandle::open(fileName, Mode::ReadOnly));

    FileHandle handle = FileHandle::open(fileName, Mode::ReadWrite);
    if (!handle.isOpen() && !IsCompressedName(fileName)) {
        handle = FileHandle::open(fileName, Mode::ReadOnly);
    }
    if (!handle.isOpen()) handle = FileHandle::open(fileName, Mode::ReadWriteCreate);
    return AtStart(std::move(handle));
}

FileHandle CreateOutputFile(const std::string& fileName) {
    return AtStart(FileHandle::open(fileName, FileHandle::Mode::ReadWriteCreate));
}

}  // namespace qx
