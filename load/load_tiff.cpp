// Loading a TIFF picture: any extension other than the JPEG and BMP ones ends up here.
#include "base/file_handle.h"
#include "imageio/tiff_reader.h"
#include "load/load_steps.h"

namespace qx {

namespace {

// What a status of ReadTiff other than 0 means; the reader has said it already.
LoadFailure TiffFailure(int status, int width, int length) {
    switch (status) {
        case kMemoryDeclined:
            return LoadFailure::MemoryDeclined;
        case kTiffBilevel:
        case kTiffPalette:
            return LoadFailure::NotTrueColour;
        case kTiffGreyOrTooLarge:
            // The sides are handed out with a size refusal only; the TIFF reader refuses the
            // large side first.
            if (width == 0) return LoadFailure::NotTrueColour;
            return width > kMaxPictureSide || length > kMaxPictureSide ? LoadFailure::TooLarge
                                                                       : LoadFailure::TooSmall;
        case kTiffCompressed:
            return LoadFailure::Unsupported;
        case kTiffSeekError:
        case kTiffReadError:
        case kTiffBitmapPastEnd:
            return LoadFailure::DecoderFailure;
        default:
            return LoadFailure::BadHeader;
    }
}

}  // namespace

bool LoadTiff(LoadContext& context) {
    // Read-only: a missing picture must not be created by trying to open it.
    FileHandle file = FileHandle::open(context.name, FileHandle::Mode::ReadOnly);
    if (!file.isOpen())
        return context.fail(LoadFailure::CannotOpen, " File cann't be open.", false);
    const int64_t fileLength = file.length();
    if (fileLength < 0) return context.fail(LoadFailure::BadLength, " File's Length Err.");
    LoadOutcome& outcome = context.outcome;
    outcome.pictureBufferBase = fileLength;
    // Room for the file's own rows before a fourth sample is dropped.
    const int64_t capacity = 2 * (4 * fileLength / 3 + 131072);
    if (!AllocateLoadBuffer(context, capacity, " 1) There is no memory for file.")) return false;

    int width = 0;
    int length = 0;
    const int status =
        ReadTiff(context.name, file, context.loadBuffer.data(), context.loadBuffer.size(),
                 context.hooks, width, length, context.codec.helper());
    file.close();
    if (status != 0) return context.failQuietly(TiffFailure(status, width, length));
    outcome.width = width;
    outcome.length = length;
    return AllocatePictureBuffer(context);
}

}  // namespace qx
