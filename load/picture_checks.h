// Checks made before a picture is accepted: the BMP header and the size limits. Each failure
// shows its message (after releasing the input lock) and reports failed.
#pragma once

#include <string>

#include "app/core/user_dialogs.h"

namespace qx {

constexpr int kMaxPictureSide = 1024;
constexpr int kMinPictureSide = 33;

// Reads the first 54 bytes of a BMP file, read-only, and checks the planes (1), the bit count
// (24) and the compression (0). The file is never written. Returns true when it failed.
bool CheckBmpHeader(UserDialogs& dialogs, const std::string& name);

// Refuses, width first, a side above 1024 or below 33. Returns true when refused.
bool CheckPictureSize(UserDialogs& dialogs, int width, int length);

}  // namespace qx
