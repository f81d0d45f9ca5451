// Opening picture and compressed files for the readers and the writers.
#include <string>
#include <utility>

#include "container/container.h"

namespace qx {

namespace {

bool HasCompressedExtension(const std::string& name) {
    if (name.size() < 3) return false;
    const std::string tail = name.substr(name.size() - 3);
    return tail == "qx1" || tail == "QX1";
}

FileHandle AtStart(FileHandle handle) {
    if (!handle.seek(0)) handle.close();
    return handle;
}

}  // namespace

FileHandle OpenImageFile(const std::string& fileName, FileUse use) {
    using Mode = FileHandle::Mode;
    if (use == FileUse::Input) return AtStart(FileHandle::open(fileName, Mode::ReadOnly));

    FileHandle handle = FileHandle::open(fileName, Mode::ReadWrite);
    if (!handle.isOpen() && !HasCompressedExtension(fileName)) {
        handle = FileHandle::open(fileName, Mode::ReadOnly);
    }
    if (!handle.isOpen()) handle = FileHandle::open(fileName, Mode::ReadWriteCreate);
    return AtStart(std::move(handle));
}

FileHandle CreateOutputFile(const std::string& fileName) {
    return AtStart(FileHandle::open(fileName, FileHandle::Mode::ReadWriteCreate));
}

}  // namespace qx
