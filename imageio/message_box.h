// Every box the readers and writers show goes through here: the user's input is released
// first, so that a box is never shown while input is locked.
#pragma once

#include <string>

#include "codec/codec.h"

namespace qx {

inline void ShowMessageBox(CodecHooks& hooks, const std::string& text) {
    hooks.lockInput(false);
    hooks.showMessage(text);
}

}  // namespace qx
