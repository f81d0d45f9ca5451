// Loading a TIFF picture: any extension other than the JPEG and BMP ones ends up here.
#include "app/core/load_steps.h"
#include "container/file_handle.h"
#include "imageio/tiff_reader.h"

namespace qx {

bool LoadTiff(LoadContext& context) {
    // Read-only: a missing picture must not be created by trying to open it.
    FileHandle file = FileHandle::open(context.name, FileHandle::Mode::ReadOnly);
    if (!file.isOpen()) {
        context.tell(" File cann't be open.");
        return context.fail(false);
    }
    const int64_t fileLength = file.length();
    if (fileLength < 0) {
        context.tell(" File's Length Err.");
        return context.fail(true);
    }
    LoadResult& result = context.result;
    result.pictureBufferBase = fileLength;
    // Room for the file's own rows before a fourth sample is dropped.
    const int64_t capacity = 2 * (4 * fileLength / 3 + 131072);
    if (!AllocateLoadBuffer(context, capacity, " 1) There is no memory for file."))
        return context.fail(true);

    int width = 0;
    int length = 0;
    const int status = ReadTiff(context.name, file, context.loadBuffer.data(),
                                context.loadBuffer.size(), context.hooks, width, length);
    file.close();
    if (status != 0) return context.fail(true);
    result.width = width;
    result.length = length;
    if (!AllocatePictureBuffer(context)) return context.fail(true);
    return true;
}

}  // namespace qx
