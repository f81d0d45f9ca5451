// Loading a JPEG picture through libjpeg: the header is read and checked before anything is
// decoded, so a grey or oversized picture costs no decoding.
#include "app/core/load_steps.h"
#include "app/core/picture_checks.h"
#include "container/file_handle.h"
#include "imageio/jpeg_reader.h"

namespace qx {

bool LoadJpeg(LoadContext& context) {
    LoadResult& result = context.result;
    {
        FileHandle file = FileHandle::open(context.name, FileHandle::Mode::ReadOnly);
        if (!file.isOpen()) {
            context.tell("Open JPEG Err.");
            return context.fail(true);
        }
        const int64_t fileLength = file.length();
        if (fileLength < 0) {
            context.tell("JPEG File's Length Err.");
            return context.fail(true);
        }
        result.jpeg = true;
        result.jpegFileLength = fileLength;
    }

    JpegReader reader;
    if (!reader.readHeader(context.name)) {
        context.tell("Open JPEG Err.");
        return context.fail(true);
    }
    // Grey and four-component (CMYK) pictures alike are not true colour.
    if (reader.components() != 3) {
        context.tell("File isn't True Colour (RGB)");
        return context.fail(true);
    }
    const int width = reader.width();
    const int length = reader.height();
    if (CheckFreeMemory(context.dialogs, context.name, width, length, context.memory))
        return context.fail(true);
    if (CheckPictureSize(context.dialogs, width, length)) return context.fail(true);

    result.width = width;
    result.length = length;
    result.pictureBufferBase = int64_t{width + 64} * (length + 64) * 3;
    if (!AllocatePictureBuffer(context)) return context.fail(true);
    if (!AllocateLoadBuffer(context, int64_t{width} * length * 3,
                            " 3) There is no memory for file."))
        return context.fail(true);
    if (!reader.decodeRgb(context.loadBuffer)) {
        context.tell("Open JPEG Err.");
        return context.fail(true);
    }
    return true;
}

}  // namespace qx
