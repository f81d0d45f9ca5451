// The input lock of long work. There is no desktop-wide blocking here: the program itself ignores
// keyboard and mouse input while the lock is held, and parks the pointer out of the way. Message
// boxes release the lock before they are shown, so a question can always be answered.
#pragma once

#include <functional>

namespace qx {

struct PointerPosition {
    int x = 0;
    int y = 0;
    bool operator==(const PointerPosition&) const = default;
};

// Where the pointer goes when input is blocked (far off the bottom-right corner) and released
// (the middle of the screen width, 256 pixels above the bottom edge).
PointerPosition LockPointerPosition(bool block, int screenWidth, int screenHeight);

class InputLock {
  public:
    using Warp = std::function<void(PointerPosition)>;

    explicit InputLock(Warp warp = {}) : warp_(std::move(warp)) {}

    // Blocks (true) or releases (false) input and moves the pointer; releasing twice is harmless.
    void set(bool block, int screenWidth, int screenHeight);
    bool locked() const { return locked_; }

  private:
    Warp warp_;
    bool locked_ = false;
};

}  // namespace qx
