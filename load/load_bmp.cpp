// Loading a BMP picture: the head is read and checked once, then the rows go through the
// project's BMP reader.
#include "base/file_handle.h"
#include "imageio/bmp_reader.h"
#include "load/load_steps.h"

namespace qx {

bool LoadBmp(LoadContext& context) {
    // Read-only: the user's file is never written, not even to mend its image-size field.
    FileHandle file = FileHandle::open(context.name, FileHandle::Mode::ReadOnly);
    uint8_t head[kBmpHeadSize];
    BmpHeader header;
    if (!file.isOpen() || !file.readExact(head, sizeof head) || !ParseBmpHeader(head, header))
        return context.fail(LoadFailure::CannotOpen,
                            "Title of File '" + context.name + "' isn't read");
    if (header.planes != 1) return context.fail(LoadFailure::BadHeader, "Unknown File Format");
    if (header.bitCount != 24)
        return context.fail(LoadFailure::NotTrueColour, "File isn't True Colour (RGB)");
    if (header.compression != 0)
        return context.fail(LoadFailure::Unsupported, "Compress BMP-File cann't read");

    BmpLayout layout;
    const int64_t fileLength = file.length();
    if (fileLength < 0 || LayOutBmp(header, fileLength, layout) != BmpStatus::Ok)
        return context.fail(LoadFailure::BadHeader, "Unknown File Format");
    // A declined memory question leaves the banner hidden, unlike every other failure here.
    if (CheckFreeMemory(context.prompts, context.questionName, layout.width, layout.height,
                        context.memory))
        return context.failQuietly(LoadFailure::MemoryDeclined, false);
    if (!CheckSizeOrFit(context, layout.width, layout.height)) return false;

    LoadOutcome& outcome = context.outcome;
    outcome.pictureBufferBase = int64_t{outcome.width + 64} * 4 * (outcome.length + 64);
    if (!AllocatePictureBuffer(context)) return false;
    if (!AllocateLoadBuffer(context, static_cast<int64_t>(layout.rgbSize()),
                            " 3) There is no memory for file."))
        return false;
    if (ReadBmpPixels(file, layout, context.loadBuffer) != BmpStatus::Ok)
        return context.fail(LoadFailure::DecoderFailure, "Unknown File Format");
    return true;
}

}  // namespace qx
