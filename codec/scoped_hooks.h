// Swapping the codec's hooks for the length of a scope.
#pragma once

#include "codec/codec.h"

namespace qx {

// Points codec.hooks at hooks while it lives, and back at the hooks it found afterwards.
class ScopedHooks {
  public:
    ScopedHooks(Codec& codec, CodecHooks& hooks) : codec_(codec), previous_(codec.hooks) {
        codec_.hooks = &hooks;
    }
    ~ScopedHooks() { codec_.hooks = previous_; }
    ScopedHooks(const ScopedHooks&) = delete;
    ScopedHooks& operator=(const ScopedHooks&) = delete;

  private:
    Codec& codec_;
    CodecHooks* previous_;
};

}  // namespace qx
