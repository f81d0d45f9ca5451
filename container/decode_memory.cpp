// The decode-from-memory entry shared by the picture-loader plugins.
#include "container/decode_memory.h"

#include <memory>
#include <new>

#include "codec/codec.h"
#include "container/compressed_reader.h"
#include "container/container.h"

namespace qx {

namespace {

constexpr uint8_t kGreyKind = 3;
constexpr uint8_t kColourKind = 5;

// Keeps what the reader and the decoder would show; never asks anything.
class MessageRecorder : public CodecHooks {
  public:
    std::vector<std::string> messages;
    void showMessage(const std::string& text) override { messages.push_back(text); }
};

MemoryDecodeResult Failure(MemoryDecodeStatus status, std::string message) {
    MemoryDecodeResult result;
    result.status = status;
    result.message = std::move(message);
    return result;
}

// The restored picture in WorkBuffer as RGB; grey samples are repeated in all three channels.
bool CopyRestored(const CodecState& state, RestoredRgb& out) {
    const size_t pixels = static_cast<size_t>(std::max<int>(state.Width, 0)) *
                          static_cast<size_t>(std::max<int>(state.Length, 0));
    const bool grey = state.RestoredPictureKind == kGreyKind;
    if (pixels == 0 || (!grey && state.RestoredPictureKind != kColourKind) ||
        state.WorkBuffer.size() != pixels * (grey ? 1 : 3)) {
        return false;
    }
    out.width = state.Width;
    out.length = state.Length;
    if (!grey) {
        out.rgb.assign(state.WorkBuffer.begin(), state.WorkBuffer.end());
        return true;
    }
    out.rgb.resize(3 * pixels);
    for (size_t i = 0; i < pixels; ++i) {
        out.rgb[3 * i] = out.rgb[3 * i + 1] = out.rgb[3 * i + 2] = state.WorkBuffer[i];
    }
    return true;
}

}  // namespace

MemoryDecodeResult DecodeCompressedMemory(std::span<const uint8_t> bytes, const std::string& name) {
    try {
        MessageRecorder hooks;
        auto codec = std::make_unique<Codec>();
        auto container = std::make_unique<Container>();
        codec->hooks = &hooks;
        const int status = OpenCompressed(*codec, [&container, bytes, &name](Codec& c) {
            return ReadCompressedMemory(*container, c, bytes, name, MainCodeReady::kWhileDecoding);
        });
        if (status != kOk) {
            const char* text = CodecErrorMessage(kNoMemory);
            return Failure(MemoryDecodeStatus::Refused,
                           hooks.messages.empty() ? text : hooks.messages.front());
        }
        // The decoder reports a damaged stream and goes on; as for a decompression to a file,
        // any message means the picture is not worth showing.
        if (!hooks.messages.empty()) {
            return Failure(MemoryDecodeStatus::NotDecoded, hooks.messages.front());
        }
        MemoryDecodeResult result;
        if (!CopyRestored(codec->state, result.picture)) {
            return Failure(MemoryDecodeStatus::NotDecoded, CodecErrorMessage(kDecodeErr));
        }
        result.status = MemoryDecodeStatus::Ok;
        return result;
    } catch (const std::bad_alloc&) {
        return Failure(MemoryDecodeStatus::NotDecoded, CodecErrorMessage(kNoMemory));
    }
}

CompressedSize QueryCompressedSize(std::span<const uint8_t> head, int64_t fileLength,
                                   const std::string& name) {
    CompressedSize size;
    FileTitle title;
    size.message =
        CheckCompressedTitle(head, fileLength, CodecParameters{}.MinBandSize, name, title);
    if (size.message.empty()) {
        size.status = MemoryDecodeStatus::Ok;
        size.width = title.SourceWidth;
        size.length = title.SourceLength;
    }
    return size;
}

bool HasCompressedSignature(std::span<const uint8_t> head) {
    if (head.size() < kSignatureLength) return false;
    for (const FixedByte& fixed : kFixedTitleBytes) {
        if (head[fixed.offset] != fixed.value) return false;
    }
    return true;
}

}  // namespace qx
