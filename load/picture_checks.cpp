// The picture size limits.
#include "load/picture_checks.h"

namespace qx {

LoadFailure CheckPictureSize(int width, int length, std::string& text) {
    const std::string most = std::to_string(kMaxPictureSide);
    const std::string least = std::to_string(kMinPictureSide);
    if (width > kMaxPictureSide) {
        text = "(Width=" + std::to_string(width) + ") > (MaxWidth=" + most + ")";
        return LoadFailure::TooLarge;
    }
    if (width < kMinPictureSide) {
        text = "(Width=" + std::to_string(width) + ") < (MinWidth=" + least + ")";
        return LoadFailure::TooSmall;
    }
    if (length > kMaxPictureSide) {
        text = "(Length=" + std::to_string(length) + ") > (MaxLength=" + most + ")";
        return LoadFailure::TooLarge;
    }
    if (length < kMinPictureSide) {
        text = "(Length=" + std::to_string(length) + ") < (MinLength=" + least + ")";
        return LoadFailure::TooSmall;
    }
    return LoadFailure::None;
}

}  // namespace qx
