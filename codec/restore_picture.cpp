// Last stage of every decompression: planes back to an RGB (or grey) picture of the source size.
#include <algorithm>
#include <new>

#include "codec/codec.h"
#include "codec/colour_transform.h"
#include "codec/geometry.h"

namespace qx {
namespace {

constexpr const char* kNoRestoreMemory = "There is no memory for file 'Image1'.";

void RestoreGrey(const int16_t* luma, uint8_t* picture, size_t pixels) {
    for (size_t i = 0; i < pixels; ++i) {
        picture[i] = static_cast<uint8_t>(std::clamp<int>(luma[i], 0, 255));
    }
}

// Brings the picture in WorkBuffer from the coded size to the source size, columns first. Sizes
// the resampling routines cannot bridge leave the picture at the coded size.
void ResampleToSource(Codec& codec, bool grey) {
    CodecState& s = codec.state;
    const int pixelBytes = grey ? 1 : 3;
    const int positions = grey ? kGreyPositionCapacity : kColourPositionCapacity;
    const int width = s.Width, length = s.Length;
    const int sourceWidth = s.SourceWidth, sourceLength = s.SourceLength;
    if (!ResampleFits(width, sourceWidth, positions) ||
        !ResampleFits(length, sourceLength, positions)) {
        return;
    }
    const size_t capacity = static_cast<size_t>(pixelBytes) * std::max(width, sourceWidth) *
                            std::max(length, sourceLength);
    try {
        if (s.WorkBuffer.size() < capacity) s.WorkBuffer.resize(capacity);
        if (s.OtherBlock.size() < capacity) {
            s.OtherBlock.clear();  // what it holds is not needed: nothing to copy
            s.OtherBlock.resize(capacity);
        }
    } catch (const std::bad_alloc&) {
        codec.hooks->showMessage(kNoRestoreMemory);
        return;
    }
    if (width != sourceWidth) {
        (grey ? ResampleColumnsGrey : ResampleColumns)(s.WorkBuffer.data(), s.OtherBlock.data(),
                                                       width, length, sourceWidth);
        std::swap(s.WorkBuffer, s.OtherBlock);
        s.Width = s.SourceWidth;
    }
    if (length != sourceLength) {
        (grey ? ResampleRowsGrey : ResampleRows)(s.WorkBuffer.data(), s.OtherBlock.data(), length,
                                                 s.Width, sourceLength);
        std::swap(s.WorkBuffer, s.OtherBlock);
        s.Length = s.SourceLength;
    }
}

}  // namespace

int RestorePicture(Codec& codec) {
    CodecState& s = codec.state;
    const CodecParameters& p = codec.params;
    s.Width = s.CodedWidth;
    s.Length = s.CodedLength;
    const bool grey = p.GreyFlag != 0;
    const size_t pixels = static_cast<size_t>(std::max<int>(s.Width, 0)) *
                          static_cast<size_t>(std::max<int>(s.Length, 0));
    const size_t samples = grey ? pixels : pixels + 2 * (pixels / 4);
    if (pixels == 0 || s.PlaneBuffer.size() < samples) return kOk;  // nothing decoded to show

    const size_t pictureBytes = grey ? pixels : 3 * pixels;
    try {
        const bool fresh = s.WorkBuffer.capacity() < pictureBytes;
        if (fresh) Buffer<uint8_t>().swap(s.WorkBuffer);  // what it holds is not needed
        s.WorkBuffer.resize(pictureBytes);
        // The coefficient plane is not read again in this picture; its pages are in memory
        // already, while the new block's would each have to be cleared by the kernel first.
        if (fresh) (void)MovePages(codec.CoefficientPlane, s.WorkBuffer);
    } catch (const std::bad_alloc&) {
        codec.hooks->showMessage(kNoRestoreMemory);
        return kOk;
    }
    if (grey) {
        // Grey luma was made from the unshifted staircase, so its samples are channel values.
        RestoreGrey(s.PlaneBuffer.data(), s.WorkBuffer.data(), pixels);
    } else {
        RestoreColours(s.PlaneBuffer.data(), s.WorkBuffer.data(), s.Width, s.Length,
                       p.ReferenceChannel, p.ToneSelect, codec.helper());
    }
    // The kind describes the picture in WorkBuffer even when it stays at the coded size.
    s.RestoredPictureKind = grey ? kRestoredGrey : kRestoredRgb;

    if (s.Width != s.SourceWidth || s.Length != s.SourceLength) ResampleToSource(codec, grey);
    s.WorkBuffer.resize(static_cast<size_t>(s.Width) * s.Length * (grey ? 1 : 3));
    return kOk;
}

}  // namespace qx
