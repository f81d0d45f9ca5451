// Loading a picture file for compression: the reader chosen by the name, the checks, the memory
// question and the hand-over to the codec, without any window. The desktop program, its batch
// and the command line share it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "codec/codec.h"
#include "load/memory_status.h"
#include "load/picture_names.h"
#include "load/prompts.h"

namespace qx {

// Why a load failed; None when the picture is ready.
enum class LoadFailure {
    None,
    UnknownName,      // the name has no extension
    CannotOpen,       // the file cannot be opened, or its head cannot be read
    BadLength,        // the file's length cannot be found
    BadHeader,        // the head describes no picture the reader takes
    NotTrueColour,    // grey, bilevel, palette or four-component
    Unsupported,      // compressed BMP or TIFF rows
    TooLarge,         // a side above kMaxPictureSide
    TooSmall,         // a side below kMinPictureSide
    MemoryDeclined,   // the user answered No to the low-memory question
    NoPictureMemory,  // the codec's picture block could not be allocated
    NoLoadMemory,     // the buffer the file is read into could not be allocated
    DecoderFailure,   // the rows could not be read or decoded
};

struct LoadOutcome {
    LoadFailure failure = LoadFailure::None;
    PictureReader reader = PictureReader::Unknown;
    // The last message of the load, whether shown or held back (see LoadRequest::holds).
    std::string text;
    bool textShown = false;
    // On failure: whether the open command shows its banner picture again.
    bool showBanner = false;
    int width = 0;
    int length = 0;
    // Scaled to fit: the file's own size; width and length above are the scaled size. Both 0
    // when the picture was not scaled.
    int sourceWidth = 0;
    int sourceLength = 0;
    // Refused as too large, but FitChoice::Scale would have loaded it.
    bool scalable = false;
    // Some pixel of the file was partly transparent and has been flattened onto white.
    bool alphaFlattened = false;
    // JPEG input: the status text shows the file's length instead of the raw picture size.
    int64_t jpegFileLength = 0;
    // JPEG input: libjpeg's warnings about damaged data. The picture loaded all the same; the
    // desktop program says nothing about them, the command line does.
    int jpegWarnings = 0;
    // The byte count that PictureBufferSize() turns into the size of PictureBuffer; the
    // desktop program needs it again to refill PictureBuffer before a second compression.
    int64_t pictureBufferBase = 0;

    bool loaded() const { return failure == LoadFailure::None; }
    bool scaled() const { return sourceWidth != 0; }
};

// What happens to a picture larger than kMaxPictureSide on a side.
enum class FitChoice {
    Refuse,  // the size refusal, as always
    Scale,   // scaled down to FitSize; refused with the scaled size's message when that is
             // below the limits
    Ask,     // the size refusal is shown, then "Scale it down to W x L and open it?"; Yes
             // scales, No keeps the refusal. No question when the scaled size is refused.
};

struct LoadRequest {
    LoadRequest(std::string file) : path(std::move(file)) {}  // NOLINT: a path is a request

    std::string path;  // the file opened, and named in the readers' messages
    // The reader to use whatever the name says (input without a name); by the name when Unknown.
    PictureReader reader = PictureReader::Unknown;
    // The name that starts the low-memory question; path when empty.
    std::string questionName;
    // Failures of the loader's own checks whose message is held back and only returned in
    // LoadOutcome::text, because the caller says it in a question of its own.
    std::function<bool(LoadFailure)> holds;
    FitChoice fit = FitChoice::Refuse;
    // false: the reader follows the name rule alone (ReaderForName), as the batch does.
    bool byContent = true;
};

// Size in bytes of PictureBuffer for a picture of width x length whose buffer base is base:
// 4 s^2 with s = trunc(2 sqrt(n / 6)), n = 4 base / 3, but never less than the block that
// PreparePlanes makes of the picture (4 x max(W, NW) x max(L, NL) + 4, NW and NL the
// normalised sides).
int64_t PictureBufferSize(int64_t base, int width, int length);

// Loads request.path (the reader follows ChooseReader, or ReaderForName). Every failure has shown
// its message through prompts (unless held back) when this returns a failure.
//
// On success codec.state.PictureBuffer holds the smoothed, colour-adjusted picture (red,
// green, blue, rows top to bottom, sized by PictureBufferSize), codec.state.Width/Length the
// picture size, the reader-only codec parameters their initial values, and ChannelActivity,
// ToneSelect and ReferenceChannel the analysis of the picture. The low-memory question goes
// through prompts with the figures of memory. When decodedPicture is given it receives the
// picture as the file holds it, or as scaled to fit (W x L x 3 bytes, before smoothing and colour
// adjustment).
[[nodiscard]] LoadOutcome LoadPicture(Codec& codec, Prompts& prompts, const LoadRequest& request,
                                      const MemoryStatusSource& memory,
                                      std::vector<uint8_t>* decodedPicture = nullptr);

}  // namespace qx
