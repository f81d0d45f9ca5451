// The reader-specific halves of picture loading, shared by LoadPictureForCompression: each
// reads one kind of file into the load buffer and reports its own failures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/core/dialog_hooks.h"
#include "app/core/memory_status.h"
#include "app/core/picture_loader.h"
#include "app/core/user_dialogs.h"
#include "codec/buffer.h"
#include "codec/codec.h"

namespace qx {

struct LoadContext {
    Codec& codec;
    UserDialogs& dialogs;
    const MemoryStatusSource& memory;
    const std::string& name;
    DialogHooks hooks;  // hands the readers' messages and memory question to dialogs
    LoadResult result;
    // The decoded picture, red, green, blue, rows top to bottom; freed once handed on. Readers
    // write every byte they report, so the buffer is not zero-filled.
    Buffer<uint8_t> loadBuffer;

    LoadContext(Codec& c, UserDialogs& d, const MemoryStatusSource& m, const std::string& n)
        : codec(c), dialogs(d), memory(m), name(n), hooks(d, m) {}

    // Shows a message after releasing the input lock.
    void tell(const std::string& text) {
        dialogs.lockInput(false);
        dialogs.message(text);
    }
    // Marks the load as failed; banner says whether the open command shows its banner again.
    bool fail(bool banner) {
        result.showBanner = banner;
        return false;
    }
};

// Each returns true with loadBuffer, result.width/length and result.pictureBufferBase set, and
// codec.state.PictureBuffer allocated; false after reporting the failure.
bool LoadJpeg(LoadContext& context);
bool LoadBmp(LoadContext& context);
bool LoadTiff(LoadContext& context);

// Sizes codec.state.PictureBuffer for the loaded picture; reports " 2) There is no memory for
// file." and returns false when the allocation fails.
bool AllocatePictureBuffer(LoadContext& context);

// Sizes loadBuffer to size bytes; reports text and returns false when the allocation fails.
bool AllocateLoadBuffer(LoadContext& context, int64_t size, const char* text);

}  // namespace qx
