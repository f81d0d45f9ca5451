// First stage of every compression: normalise the picture's size, optionally crop it, and turn it
// into the luma and chroma planes that the coefficient coder reads.
#include <algorithm>
#include <new>

#include "codec/codec.h"
#include "codec/coding_buffers.h"
#include "codec/colour_transform.h"
#include "codec/geometry.h"

namespace qx {
namespace {

// Extra samples the luma scratch plane keeps beyond the picture itself.
constexpr size_t kLumaScratchMargin = 131072;

// Activity sums that decide the sharpening: none below 30 in mode 0, strong up to 38, else mild.
constexpr int64_t kSharpenFrom = 30;
constexpr int64_t kStrongUpTo = 38;

// Resamples the picture block to the normalised size. Both codec-owned blocks get the capacity of
// the larger of the two sizes, so no pass ever writes into a block smaller than its output.
int NormalisePicture(CodecState& s, int width, int length, int newWidth, int newLength) {
    if (newWidth == width && newLength == length) {
        // The picture block itself becomes the work picture; the old one is kept for reuse.
        std::swap(s.WorkBuffer, s.PictureBuffer);
        s.PictureBuffer.clear();
        return kOk;
    }
    const size_t capacity = 4 * static_cast<size_t>(std::max(width, newWidth)) *
                                static_cast<size_t>(std::max(length, newLength)) +
                            4;
    try {
        if (s.WorkBuffer.size() < capacity) s.WorkBuffer.resize(capacity);
        if (s.OtherBlock.size() < capacity) {
            s.OtherBlock.clear();  // what it holds is not needed: nothing to copy
            s.OtherBlock.resize(capacity);
        }
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    const uint8_t* source = s.PictureBuffer.data();
    if (newWidth != width && newLength != length) {
        ResampleColumns(source, s.OtherBlock.data(), width, length, newWidth);
        ResampleRows(s.OtherBlock.data(), s.WorkBuffer.data(), length, newWidth, newLength);
    } else if (newWidth != width) {
        ResampleColumns(source, s.WorkBuffer.data(), width, length, newWidth);
    } else {
        ResampleRows(source, s.WorkBuffer.data(), length, width, newLength);
    }
    s.PictureBuffer.clear();
    return kOk;
}

int MakePlanes(Codec& codec) {
    CodecState& s = codec.state;
    const CodecParameters& p = codec.params;
    const int width = s.Width;
    const int length = s.Length;
    int16_t* planes = s.PlaneBuffer.data();
    const int64_t activity =
        int64_t{p.ChannelActivity[0]} + p.ChannelActivity[1] + p.ChannelActivity[2];
    if (p.CompressionMode == 0 && activity < kSharpenFrom) {
        ForwardColourTransform(s.WorkBuffer.data(), planes, planes, width, length, p.GreyFlag,
                               p.ReferenceChannel, p.ToneSelect, codec.helper());
        return kOk;
    }
    try {
        s.LumaScratch.resize(static_cast<size_t>(width) * length + kLumaScratchMargin);
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    ForwardColourTransform(s.WorkBuffer.data(), planes, s.LumaScratch.data(), width, length,
                           p.GreyFlag, p.ReferenceChannel, p.ToneSelect, codec.helper());
    SharpenLuma(s.LumaScratch.data(), planes, width, length, s.FocusRect,
                activity <= kStrongUpTo ? SharpenStrength::kStrong : SharpenStrength::kMild);
    return kOk;
}

int Prepare(Codec& codec) {
    CodecState& s = codec.state;
    CodecParameters& p = codec.params;
    s.SourceWidth = s.Width;
    s.SourceLength = s.Length;
    codec.tables.ThresholdScaleFlags = 0;

    const int width = s.Width;
    const int length = s.Length;
    // Sides outside the picture limits cannot be normalised.
    if (width < kMinPictureSide || length < kMinPictureSide || width > kMaxPictureSide ||
        length > kMaxPictureSide ||
        s.PictureBuffer.size() < static_cast<size_t>(width) * length * 3) {
        return kSizesChange;
    }

    s.Width = NormaliseSize(s.Width);
    s.Length = NormaliseSize(s.Length);
    if (int status = NormalisePicture(s, width, length, s.Width, s.Length)) return status;

    s.FocusRect = {0, 0, s.Width, s.Length};
    if (p.FocusMode != 0) {
        // A focus that cannot be placed leaves the rectangle alone: the whole picture.
        (void)ComputeFocusRect(s.Width, s.Length, p.MinBandSize, p.FocusBorder, p.FocusMode,
                               s.FocusRect);
    }
    if (p.CropFlag) CropToFocus(s, p);

    const size_t pixelCount = static_cast<size_t>(s.Width) * static_cast<size_t>(s.Length);
    // A new coefficient plane, or one whose pages were handed back, has none of its own yet.
    const bool emptyCoefficients =
        codec.CoefficientPlane.capacity() < pixelCount || codec.coefficientPagesLent;
    if (int status = AllocateCodingBuffers(codec, s.Width, s.Length)) return status;
    s.CodedWidth = s.Width;
    s.CodedLength = s.Length;
    const int32_t pixels = int32_t{s.Width} * s.Length;
    s.PlaneOffset = {0, pixels, pixels + pixels / 4};

    if (int status = MakePlanes(codec)) return status;
    // The normalised picture is not read again before the restore writes this block anew; its
    // pages are in memory, while a new coefficient plane's would each be cleared by the kernel
    // first. The coder writes every coefficient it reads.
    if (emptyCoefficients && MovePages(s.WorkBuffer, codec.CoefficientPlane)) codec.ZeroedCount = 0;
    codec.coefficientPagesLent = false;
    EmptyCodeStreams(codec);
    return kOk;
}

}  // namespace

int PreparePlanes(Codec& codec) {
    const int status = Prepare(codec);
    codec.state.CodecStatus = static_cast<uint8_t>(status);
    return status;
}

}  // namespace qx
