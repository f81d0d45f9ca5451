// Loading a JPEG picture through libjpeg: the header is read and checked before anything is
// decoded, so a grey or oversized picture costs no decoding.
#include "base/file_handle.h"
#include "imageio/jpeg_reader.h"
#include "load/load_steps.h"

namespace qx {

bool LoadJpeg(LoadContext& context) {
    LoadOutcome& outcome = context.outcome;
    {
        FileHandle file = FileHandle::openInput(context.name);
        if (!file.isOpen()) return context.fail(LoadFailure::CannotOpen, "Open JPEG Err.");
        const int64_t fileLength = file.length();
        if (fileLength < 0) return context.fail(LoadFailure::BadLength, "JPEG File's Length Err.");
        outcome.jpegFileLength = fileLength;
    }

    JpegReader reader;
    if (!reader.readHeader(context.name)) {
        if (reader.outOfMemory())
            return context.fail(LoadFailure::NoLoadMemory, " 3) There is no memory for file.");
        return context.fail(LoadFailure::BadHeader, "Open JPEG Err.");
    }
    // Grey and four-component (CMYK) pictures alike are not true colour.
    if (reader.components() != 3)
        return context.fail(LoadFailure::NotTrueColour, "File isn't True Colour (RGB)");
    const int width = reader.width();
    const int length = reader.height();
    if (!PrepareRgbLoad(context, width, length)) return false;
    const bool decoded = reader.decodeRgb(context.loadBuffer);
    outcome.jpegWarnings = reader.warnings();
    if (!decoded) {
        if (reader.outOfMemory())
            return context.fail(LoadFailure::NoLoadMemory, " 3) There is no memory for file.");
        return context.fail(LoadFailure::DecoderFailure, "Open JPEG Err.");
    }
    return true;
}

}  // namespace qx
