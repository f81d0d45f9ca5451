// Writing a built compressed-file image to a named file (safely) or through an open handle.
#include <cerrno>
#include <string>

#include "base/safe_write.h"
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

int NothingBuilt(CodecHooks& hooks) {
    hooks.showMessage(CodecErrorMessage(kComprFileErr));
    return kComprFileErr;
}

}  // namespace

int WriteCompressedFile(Container& container, CodecHooks& hooks, const std::string& fileName,
                        const OutputRules& rules) {
    if (container.bodyLength() == 0) return NothingBuilt(hooks);
    SafeWrite output(fileName, rules.replace);
    return WriteCompressedFile(container, hooks, output, rules.result);
}

int WriteCompressedFile(Container& container, CodecHooks& hooks, SafeWrite& output,
                        WriteResult* result) {
    if (container.bodyLength() == 0) return NothingBuilt(hooks);
    WriteStep failed = output.isOpen() ? WriteImage(container, output.file()) : WriteStep::Seek;
    if (failed != WriteStep::Done) {
        output.fail();
    } else if (!output.commit().ok()) {
        // A complete file that could not be flushed or take its name: the open's message when
        // the name was taken meanwhile, otherwise the body's.
        const WriteStatus status = output.result().status;
        failed = status == WriteStatus::WriteFailed ? WriteStep::Body : WriteStep::Seek;
    }
    if (result) *result = output.result();
    const int error = output.result().error;
    const auto report = [&](const char* text, int code) {
        hooks.showMessage(text);
        errno = error;
        return code;
    };
    switch (failed) {
        case WriteStep::Done:
            return kOk;
        case WriteStep::Seek:
            return report("Lseek Err.", 1);
        case WriteStep::Title:
            return report("Write 1 Err.", 1);
        case WriteStep::Body:
            return report("Write 2 Err.", 1);
        case WriteStep::Length:
            return report(CodecErrorMessage(kSizeErr), kSizeErr);
    }
    return 1;
}

WriteResult WriteCompressedImage(const Container& container, const std::string& fileName,
                                 bool replace) {
    SafeWrite output(fileName, replace);
    if (output.isOpen() &&
        (container.bodyLength() == 0 || WriteImage(container, output.file()) != WriteStep::Done)) {
        output.fail();
    }
    return output.isOpen() ? output.commit() : output.result();
}

}  // namespace qx
