// Loading a picture file for compression: everything the "Open Image File" command does after
// its dialog, up to the analysis of the loaded picture, without any window. The desktop
// program, its batch and the command line share it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/core/memory_status.h"
#include "app/core/user_dialogs.h"
#include "codec/codec.h"

namespace qx {

struct LoadResult {
    bool loaded = false;
    // On failure: whether the open command shows its banner picture again.
    bool showBanner = false;
    int width = 0;
    int length = 0;
    // JPEG input: the status text shows the file's length instead of the raw picture size.
    bool jpeg = false;
    int64_t jpegFileLength = 0;
    // The byte count that PictureBufferSize() turns into the size of PictureBuffer; the
    // desktop program needs it again to refill PictureBuffer before a second compression.
    int64_t pictureBufferBase = 0;
};

// Size in bytes of PictureBuffer for a picture of width x length whose buffer base is base:
// 4 s^2 with s = trunc(2 sqrt(n / 6)), n = 4 base / 3, but never less than the block that
// PreparePlanes makes of the picture (4 x max(W, NW) x max(L, NL) + 4, NW and NL the
// normalised sides).
int64_t PictureBufferSize(int64_t base, int width, int length);

// Loads name (a file name as the open command takes it; the extension decides the reader:
// ".jpg"/".JPG" JPEG, ".bmp"/".BMP" BMP, anything else TIFF; a name whose fourth-last
// character is not "." is refused with "Unknown file."). Every failure has shown its message
// through dialogs when this returns loaded == false.
//
// On success codec.state.PictureBuffer holds the smoothed, colour-adjusted picture (red,
// green, blue, rows top to bottom, sized by PictureBufferSize), codec.state.Width/Length the
// picture size, the reader-only codec parameters their initial values, and ChannelActivity,
// ToneSelect and ReferenceChannel the analysis of the picture. The low-memory question goes
// through dialogs with the figures of memory. When decodedPicture is given it receives the
// picture as the file holds it (W x L x 3 bytes, before smoothing and colour adjustment).
LoadResult LoadPictureForCompression(Codec& codec, UserDialogs& dialogs, const std::string& name,
                                     const MemoryStatusSource& memory,
                                     std::vector<uint8_t>* decodedPicture = nullptr);

}  // namespace qx
