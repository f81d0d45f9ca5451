// Loading a picture: the reader chosen by the name, then the steps shared by every reader up to
// the analysis of the picture.
#include "load/picture_loader.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "codec/geometry.h"
#include "codec/load_stages.h"
#include "load/load_steps.h"
#include "load/picture_checks.h"
#include "load/reader_choice.h"

namespace qx {

void LoadHooks::showMessage(const std::string& text) {
    outcome_.text = text;
    outcome_.textShown = true;
    prompts_.message(text);
}

bool LoadHooks::checkFreeMemory(const std::string&, int width, int length) {
    return CheckFreeMemory(prompts_, questionName_, width, length, memory_);
}

bool LoadContext::fail(LoadFailure failure, const std::string& text, bool banner) {
    outcome.text = text;
    outcome.textShown = !(request.holds && request.holds(failure));
    if (outcome.textShown) prompts.message(text);
    return failQuietly(failure, banner);
}

int64_t PictureBufferSize(int64_t base, int width, int length) {
    const int64_t n = 4 * base / 3;
    const int64_t s =
        n > 0 ? static_cast<int64_t>(2.0 * std::sqrt(static_cast<double>(n) / 6.0)) : 0;
    const int64_t fromBase = 4 * s * s;
    const int64_t w = std::max<int64_t>(width, NormaliseSize(static_cast<int16_t>(width)));
    const int64_t l = std::max<int64_t>(length, NormaliseSize(static_cast<int16_t>(length)));
    return std::max(fromBase, 4 * w * l + 4);
}

namespace {

// The size of the picture block for the picture the outcome describes.
size_t PictureBlockSize(const LoadOutcome& r) {
    return static_cast<size_t>(PictureBufferSize(r.pictureBufferBase, r.width, r.length));
}

}  // namespace

bool AllocatePictureBuffer(LoadContext& context) {
    try {
        // The picture block is also the load buffer: a picture decoded into it already stays.
        // Smoothing writes the rest before anything reads it; whether the growth zero-fills is
        // up to the buffer's allocator.
        auto& picture = context.codec.state.PictureBuffer;
        const size_t size = PictureBlockSize(context.outcome);
        picture.reserve(size);
        picture.resize(size);
    } catch (const std::bad_alloc&) {
        context.codec.state.PictureBuffer = {};
        return context.fail(LoadFailure::NoPictureMemory, " 2) There is no memory for file.");
    }
    return true;
}

bool AllocateLoadBuffer(LoadContext& context, int64_t size, const char* text) {
    try {
        // Room for the picture block as well, which the picture takes where it was decoded; the
        // base is known by now, the sides perhaps not, and the base's part of the block size
        // is the larger one for an uncompressed file.
        context.loadBuffer.clear();
        context.loadBuffer.reserve(std::max(
            static_cast<size_t>(size),
            static_cast<size_t>(PictureBufferSize(context.outcome.pictureBufferBase, 1, 1))));
        context.loadBuffer.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        context.loadBuffer = {};
        return context.fail(LoadFailure::NoLoadMemory, text);
    }
    return true;
}

bool PrepareRgbLoad(LoadContext& context, int width, int length) {
    if (CheckFreeMemory(context.prompts, context.questionName, width, length, context.memory))
        return context.failQuietly(LoadFailure::MemoryDeclined);
    if (!CheckSizeOrFit(context, width, length)) return false;
    LoadOutcome& outcome = context.outcome;
    outcome.pictureBufferBase = int64_t{outcome.width + 64} * (outcome.length + 64) * 3;
    return AllocatePictureBuffer(context) &&
           AllocateLoadBuffer(context, int64_t{width} * length * 3,
                              " 3) There is no memory for file.");
}

bool CheckSizeOrFit(LoadContext& context, int width, int length) {
    LoadOutcome& outcome = context.outcome;
    context.decoded = {width, length};
    outcome.width = width;
    outcome.length = length;
    std::string text;
    const LoadFailure failure = CheckPictureSize(width, length, text);
    if (failure == LoadFailure::None) return true;
    const FitChoice fit = context.request.fit;
    if (failure != LoadFailure::TooLarge || !CanScaleFrom(width, length))
        return context.fail(failure, text);

    const PictureSize to = FitSize(width, length);
    std::string scaledText;
    const LoadFailure scaledFailure = CheckPictureSize(to.width, to.length, scaledText);
    if (fit == FitChoice::Refuse) {
        outcome.scalable = scaledFailure == LoadFailure::None;
        return context.fail(failure, text);
    }
    if (fit == FitChoice::Ask) {
        if (scaledFailure != LoadFailure::None) return context.fail(failure, text);
        outcome.text = text;
        outcome.textShown = true;
        context.prompts.message(text);
        const std::string question = "Scale it down to " + std::to_string(to.width) + " x " +
                                     std::to_string(to.length) + " and open it?";
        if (context.prompts.askYesNo(question) != Answer::Yes) return context.failQuietly(failure);
    } else if (scaledFailure != LoadFailure::None) {
        return context.fail(scaledFailure, scaledText);
    }
    outcome.sourceWidth = width;
    outcome.sourceLength = length;
    outcome.width = to.width;
    outcome.length = to.length;
    return true;
}

namespace {

// Replaces the decoded picture in loadBuffer by its scaled-down copy.
bool ScaleLoadedPicture(LoadContext& context) {
    const PictureSize to{context.outcome.width, context.outcome.length};
    Buffer<uint8_t> scaled;
    try {
        scaled.resize(static_cast<size_t>(to.width) * to.length * 3);
    } catch (const std::bad_alloc&) {
        return context.fail(LoadFailure::NoLoadMemory, " 3) There is no memory for file.");
    }
    if (!ScaleRgb(context.loadBuffer, context.decoded, scaled, to))
        return context.fail(LoadFailure::NoLoadMemory, " 3) There is no memory for file.");
    context.loadBuffer = std::move(scaled);
    return true;
}

}  // namespace

LoadOutcome LoadPicture(Codec& codec, Prompts& prompts, const LoadRequest& request,
                        const MemoryStatusSource& memory, std::vector<uint8_t>* decodedPicture) {
    LoadContext context(codec, prompts, memory, request);
    LoadOutcome& outcome = context.outcome;
    outcome.reader = request.reader != PictureReader::Unknown ? request.reader
                     : request.byContent ? ChooseReader(request.path, ReadContentHead(request.path))
                                         : ReaderForName(request.path);
    bool read = false;
    switch (outcome.reader) {
        case PictureReader::Unknown:
            (void)context.fail(LoadFailure::UnknownName, "Unknown file.", false);
            return outcome;
        case PictureReader::Jpeg:
            read = LoadJpeg(context);
            break;
        case PictureReader::Bmp:
            read = LoadBmp(context);
            break;
        case PictureReader::Tiff:
            read = LoadTiff(context);
            break;
        case PictureReader::Png:
            read = LoadPng(context);
            break;
        case PictureReader::Pnm:
            read = LoadPnm(context);
            break;
    }
    if (read && outcome.scaled()) read = ScaleLoadedPicture(context);
    if (!read) {
        // The picture block is the load buffer: it may hold a large picture not scaled down.
        codec.state.PictureBuffer = {};
        return outcome;
    }

    CodecState& state = codec.state;
    if (decodedPicture)
        decodedPicture->assign(context.loadBuffer.begin(),
                               context.loadBuffer.begin() +
                                   static_cast<std::ptrdiff_t>(outcome.width) * outcome.length * 3);
    const auto noPictureMemory = [&] {
        codec.state.PictureBuffer = {};
        (void)context.fail(LoadFailure::NoPictureMemory, " 2) There is no memory for file.");
        return outcome;
    };
    if (!PrepareLoadedPicture(state.PictureBuffer.data(), outcome.width, outcome.length,
                              codec.params, codec.helper()))
        return noPictureMemory();
    // The picture block's own size, which a decoder's buffer may have left smaller.
    try {
        state.PictureBuffer.resize(PictureBlockSize(outcome));
    } catch (const std::bad_alloc&) {
        return noPictureMemory();
    }
    state.Width = static_cast<int16_t>(outcome.width);
    state.Length = static_cast<int16_t>(outcome.length);
    outcome.showBanner = false;
    return outcome;
}

}  // namespace qx
