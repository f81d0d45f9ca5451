#include "imageio/tiff_errors.h"

#include "imageio/message_box.h"

namespace qx {

std::string TiffErrorText(int code, int tag) {
    switch (code) {
        case kTiffSeekError:
            return "Lseek error";
        case kTiffReadError:
            return "Read error";
        case kTiffNotIntel:
            return "File isn't for IBM PC";
        case kTiffLengthError:
            return "File lenght isn't correct";
        case kTiffBadTag:
            return "Tag '" + std::to_string(tag) + "' isn't correct";
        case kTiffUnknownGrey:
            return "Unknown GRAY-regime";
        case kTiffUnknownRgb:
            return "Unknown RGB-regime.";
        case kTiffUnknownDataType:
            return "Unknown Data Type";
        case kTiffCompressed:
            return "This version is without compression";
        case kTiffNoBitmap:
            return "The BeginBitMap-pointer is NULL";
        case kTiffWidthTooLarge:
            return "BitMap WIDTH is too large";
        case kTiffBitmapPastEnd:
            return "LengthBitMap + Data111h > LengthFile ";
        case kTiffBadStripTags:
            return "Uncorrect tags 111h & 117h";
        default:
            return "";
    }
}

void ReportTiffError(CodecHooks& hooks, const std::string& fileName, int code, int tag) {
    const std::string text = TiffErrorText(code, tag);
    if (text.empty()) return;
    ShowMessageBox(hooks, text + ". File '" + fileName + "'");
}

}  // namespace qx
