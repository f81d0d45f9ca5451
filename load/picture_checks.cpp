// The BMP header check and the picture size limits.
#include "app/core/picture_checks.h"

#include <cstdint>

#include "container/file_handle.h"

namespace qx {

namespace {

void Tell(UserDialogs& dialogs, const std::string& text) {
    dialogs.lockInput(false);
    dialogs.message(text);
}

uint32_t ReadLe(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
    return value;
}

}  // namespace

bool CheckBmpHeader(UserDialogs& dialogs, const std::string& name) {
    // The 14-byte file header and the 40-byte information header.
    uint8_t header[54];
    FileHandle file = FileHandle::open(name, FileHandle::Mode::ReadOnly);
    if (!file.isOpen() || !file.readExact(header, sizeof header)) {
        Tell(dialogs, "Title of File '" + name + "' isn't read");
        return true;
    }
    file.close();
    if (ReadLe(header + 26, 2) != 1) {
        Tell(dialogs, "Unknown File Format");
        return true;
    }
    if (ReadLe(header + 28, 2) != 24) {
        Tell(dialogs, "File isn't True Colour (RGB)");
        return true;
    }
    if (ReadLe(header + 30, 4) != 0) {
        Tell(dialogs, "Compress BMP-File cann't read");
        return true;
    }
    // The image-size field (offset 34) may be anything: the rows are sized from the width and
    // the bit count, and the user's file is never rewritten to mend it.
    return false;
}

bool CheckPictureSize(UserDialogs& dialogs, int width, int length) {
    std::string text;
    if (width > kMaxPictureSide) {
        text = "(Width=" + std::to_string(width) + ") > (MaxWidth=1024)";
    } else if (width < kMinPictureSide) {
        text = "(Width=" + std::to_string(width) + ") < (MinWidth=33)";
    } else if (length > kMaxPictureSide) {
        text = "(Length=" + std::to_string(length) + ") > (MaxLength=1024)";
    } else if (length < kMinPictureSide) {
        text = "(Length=" + std::to_string(length) + ") < (MinLength=33)";
    } else {
        return false;
    }
    Tell(dialogs, text);
    return true;
}

}  // namespace qx
