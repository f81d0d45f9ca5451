// Every box the readers and writers show goes through here. Whoever shows the box releases the
// user's input first.
#pragma once

#include <string>

#include "codec/codec.h"

namespace qx {

inline void ShowMessageBox(CodecHooks& hooks, const std::string& text) {
    hooks.showMessage(text);
}

}  // namespace qx
