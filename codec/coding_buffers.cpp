#include "codec/coding_buffers.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

#include "codec/split_work.h"

namespace qx {

namespace {

// Samples of the plane block that the planes take: luma and two quarter-size chroma planes.
size_t PlaneSamples(size_t pixels) {
    return pixels + 2 * (pixels / 4);
}

// Has the kernel clear a new block's huge pages on both threads at once, a huge page each. The
// stages that first write the planes do so from both threads across every huge page, and threads
// that fault on one huge page together wait for, or repeat, each other's clearing.
void PopulateSharedOut(void* block, size_t bytes, HelperThread* helper) {
    constexpr size_t kHugePage = buffer_detail::kHugePage;
    const int pages = static_cast<int>((bytes + kHugePage - 1) / kHugePage);
    uint8_t* base = static_cast<uint8_t*>(block);
    ShareOut(pages >= 2 ? helper : nullptr, 0, pages, 1, [&](int, int first, int last) {
        const size_t from = static_cast<size_t>(first) * kHugePage;
        buffer_detail::PopulatePages(base + from,
                                     std::min(bytes, static_cast<size_t>(last) * kHugePage) - from);
    });
}

}  // namespace

uint8_t* DecoderMarks(Codec& codec) {
    Buffer<int16_t>& planes = codec.state.PlaneBuffer;
    return reinterpret_cast<uint8_t*>(planes.data() + PlaneSamples(planes.size() / 2));
}

int AllocateCodingBuffers(Codec& codec, int width, int length) {
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(length);
    codec.wavelet.lent = nullptr;  // the planes' block may move
    codec.wavelet.lentCount = 0;
    const size_t zeroed = codec.ZeroedCount;
    codec.ZeroedCount = 0;  // stays so if an allocation fails
    try {
        // Luma plus two quarter-size chroma planes fit in 2 x W x L samples; the decoder's marks,
        // one byte a pixel, take the rest.
        Buffer<int16_t>& planes = codec.state.PlaneBuffer;
        // The marks stay where they were, and as zero as they were, only in the same block at the
        // same size.
        size_t marksZeroed = planes.size() == 2 * pixels ? zeroed : 0;
        if (planes.capacity() < 2 * pixels) {
            // Nothing of the old block is kept, so nothing is copied; from a huge page on, the
            // new one is freshly mapped and reads as zero.
            Buffer<int16_t>().swap(planes);
            planes.resize(2 * pixels);
            marksZeroed = buffer_detail::kMapLargeBlocks &&
                                  planes.capacity() * sizeof(int16_t) >= buffer_detail::kHugePage
                              ? pixels
                              : 0;
            // The resampling block is idle until the next resampling writes it anew, and its
            // pages are in memory: new planes take them rather than pages the kernel must clear.
            if (MovePages(codec.state.OtherBlock, planes)) {
                marksZeroed = 0;
            } else {
                PopulateSharedOut(planes.data(), planes.capacity() * sizeof(int16_t),
                                  codec.helper());
            }
        } else {
            planes.resize(2 * pixels);
        }
        codec.ZeroedCount =
            std::min(ResizeZeroed(codec.CoefficientPlane, pixels, zeroed), marksZeroed);
        // Each stream holds W x L bytes.
        codec.MainCode.words.resize(std::max<size_t>(pixels / 4, 8));
        codec.RefineCode.words.resize(std::max<size_t>(pixels / 4, 8));
        codec.SideMainCode.words.resize(codec.MainCode.words.size());
        codec.SideRefineCode.words.resize(codec.RefineCode.words.size());
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    return kOk;
}

void HandBackPicturePages(Codec& codec) {
    CodecState& s = codec.state;
    // The preparation moved the normalised picture's pages (WorkBuffer) into the coefficient
    // plane; they go back where they came from, unless they already have.
    if (!codec.coefficientPagesLent && MovePages(codec.CoefficientPlane, s.WorkBuffer)) {
        codec.coefficientPagesLent = true;
        codec.ZeroedCount = 0;
    }
    if (s.PictureBuffer.capacity() < s.WorkBuffer.capacity())
        std::swap(s.PictureBuffer, s.WorkBuffer);
    s.WorkBuffer.clear();
}

void EmptyCodeStreams(Codec& codec) {
    const size_t capacity = codec.MainCode.words.size();
    // The reader unpacks at most W x H - 20 bytes, from 4 x words + 1 packed ones, so the writer
    // keeps its MainCode word index at or below capacity - 7.
    codec.MainCode.limit = capacity > 7 ? static_cast<uint32_t>(capacity - 7) : 0;
    codec.RefineCode.limit = static_cast<uint32_t>(codec.RefineCode.words.size() - 1);
    for (WordStream* s : {&codec.MainCode, &codec.RefineCode}) {
        s->rewind();
        if (!s->words.empty()) s->words[0] = 0;
    }
    codec.MainCodeEnd = {};
    codec.RefineCodeEnd = {};
}

void PrepareWaveletScratch(Codec& codec) {
    codec.wavelet.helper = codec.helper();
    codec.wavelet.lent = nullptr;
    codec.wavelet.lentCount = 0;
    const Buffer<int16_t>& planes = codec.state.PlaneBuffer;
    constexpr uintptr_t kAlign = 64;
    const uintptr_t planesEnd =
        reinterpret_cast<uintptr_t>(planes.data() + PlaneSamples(planes.size() / 2));
    const uintptr_t begin = (planesEnd + kAlign - 1) & ~(kAlign - 1);
    const uintptr_t end = reinterpret_cast<uintptr_t>(planes.data() + planes.size());
    if (planes.empty() || begin >= end) return;
    codec.wavelet.lent = reinterpret_cast<int32_t*>(begin);
    codec.wavelet.lentCount = (end - begin) / sizeof(int32_t);
}

WaveletGeometry ComputeWaveletGeometry(int width, int height, int minBandSize) {
    WaveletGeometry g{0, width, height};
    while (g.lowWidth % 2 == 0 && g.lowHeight % 2 == 0 && g.lowWidth >= minBandSize &&
           g.lowHeight >= minBandSize && g.lowWidth > 0 && g.lowHeight > 0) {
        ++g.levels;
        g.lowWidth /= 2;
        g.lowHeight /= 2;
    }
    return g;
}

}  // namespace qx
