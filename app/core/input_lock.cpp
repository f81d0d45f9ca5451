// Input lock state and pointer parking.
#include "app/core/input_lock.h"

namespace qx {

PointerPosition LockPointerPosition(bool block, int screenWidth, int screenHeight) {
    if (block) return {10000, 10000};
    return {screenWidth / 2, screenHeight - 256};
}

void InputLock::set(bool block, int screenWidth, int screenHeight) {
    locked_ = block;
    if (warp_) warp_(LockPointerPosition(block, screenWidth, screenHeight));
}

}  // namespace qx
