// Building the compressed-file image: pack MainCode, stamp the title, lay out the body.
#include "container/container.h"

#include <algorithm>
#include <bit>
#include <new>
#include <span>

#include "container/body_layout.h"

namespace qx {

namespace {

// The MainCode bytes as the packer reads them: each word least significant byte first, then one
// byte 0. On a little-endian processor these are the words' own bytes, packed where they lie.
std::span<const uint8_t> PackerInput(std::span<const uint32_t> words, std::vector<uint8_t>& copy) {
    if constexpr (std::endian::native == std::endian::little) {
        return {reinterpret_cast<const uint8_t*>(words.data()), 4 * words.size()};
    }
    copy.resize(4 * words.size());
    size_t pos = 0;
    for (uint32_t word : words) {
        for (int shift = 0; shift < 32; shift += 8)
            copy[pos++] = static_cast<uint8_t>(word >> shift);
    }
    return copy;
}

int Build(Container& container, const Codec& codec, uint32_t compressionTime) {
    // The partly used last word of each stream is stored too; a stream that ended on a word
    // boundary stores the empty word after it.
    const size_t mainWords = size_t{codec.MainCodeEnd.index} + 1;
    const size_t refineWords = size_t{codec.RefineCodeEnd.index} + 1;
    if (mainWords > codec.MainCode.words.size() || refineWords > codec.RefineCode.words.size()) {
        return kCodeErr;
    }

    FileTitle title = PackTitle(codec);
    title.RefineCodeWordCount = static_cast<int32_t>(refineWords);
    title.CompressionTime = compressionTime;
    // The tables come before the packed MainCode and do not depend on its size, so the packer
    // writes straight into its place in the image.
    BodyLayout layout = LayoutOf(title);
    if (layout.lowWidth <= 0 || layout.lowHeight <= 0 || layout.trees() > kTreesPerComponent) {
        return kCodeErr;
    }
    const size_t packedAt = static_cast<size_t>(kTitleSize + layout.tableBytes());
    const std::span<const uint8_t> input =
        PackerInput(std::span(codec.MainCode.words).first(mainWords), container.packerInput);
    static constexpr uint8_t kEndByte[1] = {0};
    const size_t packedRoom = PackedRoom(input.size() + 1);
    // Room for the largest body at once: growing the image later would copy the packed bytes
    // into a second, freshly faulted buffer.
    BodyLayout largest = layout;
    largest.packedSize = static_cast<int64_t>(packedRoom) + 2;
    container.image.reserve(static_cast<size_t>(kTitleSize + largest.length()));
    container.image.resize(packedAt + packedRoom);
    const int packedBytes = PackMainCode(input, kEndByte, container.cumFreq,
                                         std::span(container.image).subspan(packedAt));
    if (packedBytes < 0) return kCodeErr;
    // Two padding bytes follow the packed bytes; the packer's room always has them.
    container.image[packedAt + static_cast<size_t>(packedBytes)] = 0;
    container.image[packedAt + static_cast<size_t>(packedBytes) + 1] = 0;

    title.PackedMainCodeSize = packedBytes + 2;
    layout = LayoutOf(title);
    const int64_t bodyLength = layout.length();
    const int64_t readerLimit = int64_t{codec.state.CodedWidth} * codec.state.CodedLength + 65536;
    if (bodyLength > readerLimit) return kCodeErr;

    container.image.resize(static_cast<size_t>(kTitleSize + bodyLength));
    const TitleBytes titleBytes = SerialiseTitle(title);
    std::copy(titleBytes.begin(), titleBytes.end(), container.image.begin());
    const std::span<uint8_t> body = std::span(container.image).subspan(kTitleSize);
    AssembleBody(layout, codec.tables, body.subspan(layout.tableBytes(), layout.packedSize),
                 std::span(codec.RefineCode.words).first(refineWords), container.cumFreq, body);
    container.title = title;
    return static_cast<int>(bodyLength);
}

}  // namespace

int BuildCompressedImage(Container& container, const Codec& codec, uint32_t compressionTime) {
    container.image.clear();
    int result;
    try {
        result = Build(container, codec, compressionTime);
    } catch (const std::bad_alloc&) {
        result = kCodeErr;
    }
    if (result < 0) container.image.clear();
    return result;
}

}  // namespace qx
