// Loading a BMP picture: the header check, then the rows through the project's BMP reader.
#include "app/core/load_steps.h"
#include "app/core/picture_checks.h"
#include "container/file_handle.h"
#include "imageio/bmp_reader.h"

namespace qx {

bool LoadBmp(LoadContext& context) {
    if (CheckBmpHeader(context.dialogs, context.name)) return context.fail(true);

    FileHandle file = FileHandle::open(context.name, FileHandle::Mode::ReadOnly);
    BmpLayout layout;
    if (!file.isOpen() || ReadBmpLayout(file, layout) != BmpStatus::Ok) {
        context.tell("Unknown File Format");
        return context.fail(true);
    }
    // A declined memory question leaves the banner hidden, unlike every other failure here.
    if (CheckFreeMemory(context.dialogs, context.name, layout.width, layout.height, context.memory))
        return context.fail(false);
    if (CheckPictureSize(context.dialogs, layout.width, layout.height)) return context.fail(true);

    LoadResult& result = context.result;
    result.width = layout.width;
    result.length = layout.height;
    result.pictureBufferBase = int64_t{layout.width + 64} * 4 * (layout.height + 64);
    if (!AllocatePictureBuffer(context)) return context.fail(true);
    if (!AllocateLoadBuffer(context, static_cast<int64_t>(layout.rgbSize()),
                            " 3) There is no memory for file."))
        return context.fail(true);
    if (ReadBmpPixels(file, layout, context.loadBuffer) != BmpStatus::Ok) {
        context.tell("Unknown File Format");
        return context.fail(true);
    }
    return true;
}

}  // namespace qx
