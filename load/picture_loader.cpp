// The open command's loading of a picture: the reader chosen by the extension, then the
// steps shared by every reader up to the analysis of the picture.
#include "app/core/picture_loader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

#include "app/core/load_steps.h"
#include "app/core/pre_adjust_colours.h"
#include "codec/geometry.h"
#include "codec/load_analysis.h"
#include "codec/split_work.h"

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

// Bands of rows small enough to stay in the cache from one step to the next.
constexpr int kBandRows = 16;
// Pictures from this many pixels on share the steps with a second thread.
constexpr int64_t kSplitFromPixels = 256 * 1024;

// Smoothing into the picture block, colour pre-adjustment and analysis, band by band. Every
// step works on rows independently, so the two halves of a large picture go to two threads.
void PrepareLoadedPicture(const uint8_t* loaded, uint8_t* picture, int width, int length,
                          CodecParameters& params) {
    std::array<PictureSums, 2> sums;
    const bool split = int64_t{width} * length >= kSplitFromPixels;
    const size_t rowBytes = static_cast<size_t>(std::max(width, 0)) * 3;
    SplitInTwo(0, length, split, [&](int lane, int begin, int end) {
        for (int y = begin; y < end; y += kBandRows) {
            const int stop = std::min(end, y + kBandRows);
            SmoothBusyRows(loaded, picture, width, length, y, stop);
            PreAdjustColours(picture + y * rowBytes, width, stop - y);
            AddPictureSums(picture, width, y, stop, sums[lane]);
        }
    });
    sums[0].add(sums[1]);
    ResetReaderFields(params);
    FinishAnalysis(sums[0], width, length, params);
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
    PrepareLoadedPicture(context.loadBuffer.data(), state.PictureBuffer.data(), result.width,
                         result.length, codec.params);
    context.loadBuffer = {};
    state.Width = static_cast<int16_t>(result.width);
    state.Length = static_cast<int16_t>(result.length);
    result.loaded = true;
    result.showBanner = false;
    return result;
}

}  // namespace qx
