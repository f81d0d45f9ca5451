// The TIFF reader's error codes and the messages that report them.
#pragma once

#include <string>

#include "codec/codec.h"

namespace qx {

enum TiffError : int {
    kTiffSeekError = 2,
    kTiffReadError = 3,
    kTiffNotIntel = 4,
    kTiffLengthError = 5,
    kTiffBadTag = 6,
    kTiffUnknownGrey = 7,
    kTiffUnknownRgb = 8,
    kTiffUnknownDataType = 9,
    kTiffCompressed = 10,
    kTiffNoBitmap = 11,
    kTiffWidthTooLarge = 12,
    kTiffBitmapPastEnd = 14,
    kTiffBadStripTags = 17,
};

// The text of an error code (tag names the entry for kTiffBadTag), or "" for an unknown code.
std::string TiffErrorText(int code, int tag = 0);

// Shows "<text>. File '<name>'" in one message box; an unknown code shows nothing.
void ReportTiffError(CodecHooks& hooks, const std::string& fileName, int code, int tag = 0);

}  // namespace qx
