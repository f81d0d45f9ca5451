// Loading a PNG picture: the header through libspng, the checks, then the whole picture as RGB.
#include "base/file_handle.h"
#include "imageio/png_reader.h"
#include "load/load_steps.h"

namespace qx {

namespace {

std::string PngError(const std::string& why) {
    return "Open PNG Err. (" + why + ")";
}

}  // namespace

bool LoadPng(LoadContext& context) {
    FileHandle file = FileHandle::open(context.name, FileHandle::Mode::ReadOnly);
    if (!file.isOpen())
        return context.fail(LoadFailure::CannotOpen, PngError("the file cannot be opened"));
    // The decoder refuses sides beyond the largest picture that is scaled to fit before it
    // allocates anything for them.
    PngReader reader(kMaxFitSourceSide);
    if (!reader.readHeader(file))
        return context.fail(LoadFailure::BadHeader, PngError(reader.error()));
    const int width = reader.width();
    const int length = reader.height();
    if (!PrepareRgbLoad(context, width, length)) return false;
    if (!reader.decodeRgb(context.loadBuffer))
        return context.fail(LoadFailure::DecoderFailure, PngError(reader.error()));
    context.outcome.alphaFlattened = reader.alphaFlattened();
    return true;
}

}  // namespace qx
