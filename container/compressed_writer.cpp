// Writing a built compressed-file image to a named file or through an open handle.
#include <string>

#include "container/container.h"

namespace qx {

namespace {

enum class WriteStep { Done, Seek, Title, Body, Length };

// Writes title and body from offset 0 and sets the file's length to exactly the image's.
WriteStep WriteImage(const Container& container, FileHandle& handle) {
    if (!handle.seek(0)) return WriteStep::Seek;
    if (!handle.writeAll(container.image.data(), kTitleSize)) return WriteStep::Title;
    if (!handle.writeAll(container.image.data() + kTitleSize,
                         static_cast<size_t>(container.bodyLength()))) {
        return WriteStep::Body;
    }
    if (!handle.truncate(static_cast<int64_t>(container.image.size()))) return WriteStep::Length;
    return WriteStep::Done;
}

}  // namespace

int WriteCompressedFile(Container& container, CodecHooks& hooks, const std::string& fileName) {
    if (container.bodyLength() == 0) {
        hooks.showMessage(CodecErrorMessage(kComprFileErr));
        return kComprFileErr;
    }
    FileHandle handle = OpenImageFile(fileName, FileUse::WriteTarget);
    const WriteStep failed = WriteImage(container, handle);
    handle.close();
    switch (failed) {
        case WriteStep::Done:
            return kOk;
        case WriteStep::Seek:
            hooks.showMessage("Lseek Err.");
            return 1;
        case WriteStep::Title:
            hooks.showMessage("Write 1 Err.");
            return 1;
        case WriteStep::Body:
            hooks.showMessage("Write 2 Err.");
            return 1;
        case WriteStep::Length:
            hooks.showMessage(CodecErrorMessage(kSizeErr));
            return kSizeErr;
    }
    return 1;
}

int WriteCompressedToHandle(Container& container, FileHandle& handle) {
    const bool written =
        container.bodyLength() > 0 && WriteImage(container, handle) == WriteStep::Done;
    handle.close();
    return written ? 0 : -1;
}

}  // namespace qx
