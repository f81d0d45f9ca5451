// The compressed-file reader.
#include "container/compressed_reader.h"

#include <algorithm>
#include <new>
#include <span>

#include "codec/coding_buffers.h"
#include "container/body_layout.h"
#include "container/file_checks.h"

namespace qx {

namespace {

constexpr int kReported = 1;

// Status of a refusal by a size or consistency check: the picture buffer is released and the
// file closed here.
int Refuse(Container& container, Codec& codec, const std::string& message) {
    codec.hooks->showMessage(message);
    codec.state.PictureBuffer.clear();
    codec.state.PictureBuffer.shrink_to_fit();
    container.slot.close();
    return kReported;
}

std::string NotCorrect(const std::string& fileName) {
    return "Compr. File '" + fileName + "' isn't correct.";
}

// Word k of MainCode is bytes 4k ... 4k + 3, least significant first; a partly filled last
// word takes 0 for the missing bytes.
void StoreMainCode(std::span<const uint8_t> bytes, WordStream& stream) {
    for (size_t k = 0; 4 * k < bytes.size(); ++k) {
        uint32_t word = 0;
        for (size_t i = 0; i < 4 && 4 * k + i < bytes.size(); ++i) {
            word |= uint32_t{bytes[4 * k + i]} << (8 * i);
        }
        stream.words[k] = word;
    }
    stream.rewind();
    // Only whole words are readable; the extra 0 byte the packer added is not one.
    stream.limit = static_cast<uint32_t>(bytes.size() / 4);
}

}  // namespace

int ReadCompressedFile(Container& container, Codec& codec, const std::string& fileName) {
    CodecHooks& hooks = *codec.hooks;
    FileHandle& file = container.slot;

    file = FileHandle::open(fileName, FileHandle::Mode::ReadOnly);
    if (!file.isOpen()) {
        hooks.showMessage("Open Err.");
        return kReported;
    }
    const int64_t fileLength = file.length();
    if (fileLength < 0) {
        hooks.showMessage("File's Length Err.");
        return kReported;
    }
    TitleBytes titleBytes{};
    if (file.read(titleBytes.data(), titleBytes.size()) != kTitleSize) {
        hooks.showMessage("Title of File '" + fileName + "' isn't written.");
        return kReported;
    }
    if (!file.seek(kTitleSize)) {
        hooks.showMessage("Lseek Err.");
        return kReported;
    }
    const int64_t bodyLength = fileLength - kTitleSize;

    container.title = ParseTitle(titleBytes.data());
    const FileTitle& title = container.title;
    UnpackTitle(title, codec);

    if (title.SourceWidth > kMaxPictureSide) {
        return Refuse(container, codec,
                      "(Width=" + std::to_string(title.SourceWidth) +
                          ") > (MaxWidth=" + std::to_string(kMaxPictureSide) + ")");
    }
    if (title.SourceLength > kMaxPictureSide) {
        return Refuse(container, codec,
                      "(Length=" + std::to_string(title.SourceLength) +
                          ") > MaxLength=" + std::to_string(kMaxPictureSide) + ")");
    }
    if (!TitleIsConsistent(title, codec.params.MinBandSize) || !BodySizeFits(title, bodyLength)) {
        return Refuse(container, codec, NotCorrect(fileName));
    }

    const int width = codec.state.CodedWidth;
    const int length = codec.state.CodedLength;
    if (hooks.checkFreeMemory(fileName, width, length)) return kMemoryDeclined;

    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(length);
    bool allocated = AllocateCodingBuffers(codec, width, length) == kOk;
    if (allocated) {
        try {
            container.readBody.resize(static_cast<size_t>(bodyLength));
            container.unpacked.resize(pixels);
        } catch (const std::bad_alloc&) {
            allocated = false;
        }
    }
    if (!allocated) {
        hooks.showMessage(CodecErrorMessage(kNoMemory));
        return kReported;
    }

    if (file.read(container.readBody.data(), static_cast<size_t>(bodyLength)) != bodyLength) {
        hooks.showMessage("Compr. File '" + fileName + "' isn't written.");
        return kReported;
    }

    const BodyLayout layout = LayoutOf(title);
    const std::span<const uint8_t> packed = SplitBody(layout, container.readBody, codec.tables,
                                                      codec.RefineCode.words, container.cumFreq);
    codec.RefineCode.rewind();
    codec.RefineCode.limit = static_cast<uint32_t>(layout.refineWords);
    if (!CumFreqIsValid(container.cumFreq)) return Refuse(container, codec, NotCorrect(fileName));

    const int unpacked =
        UnpackMainCode(packed, container.cumFreq, static_cast<int>(pixels), container.unpacked);
    if (unpacked < 0) {
        hooks.showMessage(CodecErrorMessage(kDecodeErr));
        return kReported;
    }
    StoreMainCode(
        std::span<const uint8_t>(container.unpacked).first(static_cast<size_t>(unpacked - 1)),
        codec.MainCode);
    return kOk;
}

int OpenCompressedFile(Container& container, Codec& codec, const std::string& fileName) {
    const int status = OpenCompressed(codec, [&container, &fileName](Codec& c) {
        return ReadCompressedFile(container, c, fileName);
    });
    container.slot.close();
    return status;
}

}  // namespace qx
