// Building the compressed-file image: pack MainCode, stamp the title, lay out the body.
#include "container/container.h"

#include <algorithm>
#include <new>
#include <span>

#include "container/body_layout.h"

namespace qx {

namespace {

// The MainCode words as the packer reads them: each word least significant byte first, then
// one byte 0.
void FillPackerInput(std::span<const uint32_t> words, std::vector<uint8_t>& input) {
    input.resize(4 * words.size() + 1);
    size_t pos = 0;
    for (uint32_t word : words) {
        for (int shift = 0; shift < 32; shift += 8)
            input[pos++] = static_cast<uint8_t>(word >> shift);
    }
    input[pos] = 0;
}

int Build(Container& container, const Codec& codec, uint32_t compressionTime) {
    // The partly used last word of each stream is stored too; a stream that ended on a word
    // boundary stores the empty word after it.
    const size_t mainWords = size_t{codec.MainCodeEnd.index} + 1;
    const size_t refineWords = size_t{codec.RefineCodeEnd.index} + 1;
    if (mainWords > codec.MainCode.words.size() || refineWords > codec.RefineCode.words.size()) {
        return kCodeErr;
    }

    FillPackerInput(std::span(codec.MainCode.words).first(mainWords), container.packerInput);
    const int packedBytes =
        PackMainCode(container.packerInput, container.cumFreq, container.packed);
    if (packedBytes < 0) return kCodeErr;
    // Two padding bytes follow the packed bytes; the packer's buffer always has room for them.
    container.packed[static_cast<size_t>(packedBytes)] = 0;
    container.packed[static_cast<size_t>(packedBytes) + 1] = 0;

    FileTitle title = PackTitle(codec);
    title.PackedMainCodeSize = packedBytes + 2;
    title.RefineCodeWordCount = static_cast<int32_t>(refineWords);
    title.CompressionTime = compressionTime;

    const BodyLayout layout = LayoutOf(title);
    if (layout.lowWidth <= 0 || layout.lowHeight <= 0 || layout.trees() > kTreesPerComponent) {
        return kCodeErr;
    }
    const int64_t bodyLength = layout.length();
    const int64_t readerLimit = int64_t{codec.state.CodedWidth} * codec.state.CodedLength + 65536;
    if (bodyLength > readerLimit) return kCodeErr;

    container.image.resize(static_cast<size_t>(kTitleSize + bodyLength));
    const TitleBytes titleBytes = SerialiseTitle(title);
    std::copy(titleBytes.begin(), titleBytes.end(), container.image.begin());
    AssembleBody(
        layout, codec.tables,
        std::span<const uint8_t>(container.packed).first(static_cast<size_t>(layout.packedSize)),
        std::span(codec.RefineCode.words).first(refineWords), container.cumFreq,
        std::span(container.image).subspan(kTitleSize));
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
