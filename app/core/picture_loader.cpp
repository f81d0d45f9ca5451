// The open command's loading of a picture: the reader chosen by the extension, then the
// steps shared by every reader up to the analysis of the picture.
#include "app/core/picture_loader.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "app/core/load_steps.h"
#include "app/core/pre_adjust_colours.h"
#include "codec/geometry.h"
#include "codec/load_analysis.h"

namespace qx {

namespace {

enum class PictureKind { Unknown, Jpeg, Bmp, Tiff };

// The extension is the last four characters of the file's own name, compared
// case-sensitively; a name whose fourth-last character is not "." is unknown.
PictureKind KindOfName(const std::string& name) {
    const size_t slash = name.find_last_of('/');
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    if (base.size() < 4 || base[base.size() - 4] != '.') return PictureKind::Unknown;
    const std::string extension = base.substr(base.size() - 4);
    if (extension == ".jpg" || extension == ".JPG") return PictureKind::Jpeg;
    if (extension == ".bmp" || extension == ".BMP") return PictureKind::Bmp;
    return PictureKind::Tiff;
}

}  // namespace

int64_t PictureBufferSize(int64_t base, int width, int length) {
    const int64_t n = 4 * base / 3;
    const int64_t s =
        n > 0 ? static_cast<int64_t>(2.0 * std::sqrt(static_cast<double>(n) / 6.0)) : 0;
    const int64_t fromBase = 4 * s * s;
    const int64_t w = std::max<int64_t>(width, NormaliseSize(static_cast<int16_t>(width)));
    const int64_t l = std::max<int64_t>(length, NormaliseSize(static_cast<int16_t>(length)));
    return std::max(fromBase, 4 * w * l + 4);
}

bool AllocatePictureBuffer(LoadContext& context) {
    const LoadResult& r = context.result;
    try {
        // Smoothing writes the picture before anything reads it; whether the growth zero-fills
        // is up to the buffer's allocator.
        auto& picture = context.codec.state.PictureBuffer;
        picture.clear();
        picture.resize(
            static_cast<size_t>(PictureBufferSize(r.pictureBufferBase, r.width, r.length)));
    } catch (const std::bad_alloc&) {
        context.codec.state.PictureBuffer = {};
        context.tell(" 2) There is no memory for file.");
        return false;
    }
    return true;
}

bool AllocateLoadBuffer(LoadContext& context, int64_t size, const char* text) {
    try {
        context.loadBuffer.clear();
        context.loadBuffer.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        context.loadBuffer = {};
        context.tell(text);
        return false;
    }
    return true;
}

LoadResult LoadPictureForCompression(Codec& codec, UserDialogs& dialogs, const std::string& name,
                                     const MemoryStatusSource& memory,
                                     std::vector<uint8_t>* decodedPicture) {
    LoadContext context(codec, dialogs, memory, name);
    bool read = false;
    switch (KindOfName(name)) {
        case PictureKind::Unknown:
            context.tell("Unknown file.");
            return context.result;
        case PictureKind::Jpeg:
            read = LoadJpeg(context);
            break;
        case PictureKind::Bmp:
            read = LoadBmp(context);
            break;
        case PictureKind::Tiff:
            read = LoadTiff(context);
            break;
    }
    if (!read) {
        codec.state.PictureBuffer = {};
        return context.result;
    }

    LoadResult& result = context.result;
    CodecState& state = codec.state;
    if (decodedPicture)
        decodedPicture->assign(context.loadBuffer.begin(),
                               context.loadBuffer.begin() +
                                   static_cast<std::ptrdiff_t>(result.width) * result.length * 3);
    SmoothBusyAreas(context.loadBuffer.data(), state.PictureBuffer.data(), result.width,
                    result.length);
    context.loadBuffer = {};
    state.Width = static_cast<int16_t>(result.width);
    state.Length = static_cast<int16_t>(result.length);
    ResetReaderFields(codec.params);
    PreAdjustColours(state.PictureBuffer.data(), result.width, result.length);
    AnalysePicture(state.PictureBuffer.data(), result.width, result.length, codec.params);
    result.loaded = true;
    result.showBanner = false;
    return result;
}

}  // namespace qx
