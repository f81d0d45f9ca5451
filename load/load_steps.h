// The reader-specific halves of picture loading, shared by LoadPicture: each reads one kind of
// file into the load buffer and reports its own failures.
#pragma once

#include <cstdint>
#include <string>

#include "codec/buffer.h"
#include "codec/codec.h"
#include "load/memory_status.h"
#include "load/picture_fit.h"
#include "load/picture_loader.h"
#include "load/prompts.h"

namespace qx {

// The codec's hooks while a reader runs: its messages go to the prompts and are remembered as
// the outcome's text, its memory question names the file as the request says.
class LoadHooks : public CodecHooks {
  public:
    LoadHooks(Prompts& prompts, const MemoryStatusSource& memory, const std::string& questionName,
              LoadOutcome& outcome)
        : prompts_(prompts), memory_(memory), questionName_(questionName), outcome_(outcome) {}

    void showMessage(const std::string& text) override;
    bool checkFreeMemory(const std::string& name, int width, int length) override;

  private:
    Prompts& prompts_;
    const MemoryStatusSource& memory_;
    const std::string& questionName_;
    LoadOutcome& outcome_;
};

struct LoadContext {
    Codec& codec;
    Prompts& prompts;
    const MemoryStatusSource& memory;
    const LoadRequest& request;
    const std::string& name;          // the file's path
    const std::string& questionName;  // the name that starts the low-memory question
    LoadOutcome outcome;
    LoadHooks hooks;
    // The decoded picture, red, green, blue, rows top to bottom. Readers write every byte they
    // report, so the buffer is not zero-filled. It is the codec's picture block itself: the
    // picture is prepared where it was decoded, and the block that the last picture left idle
    // takes the next one (a batch hands one block back and forth, see HandBackPicturePages).
    Buffer<uint8_t>& loadBuffer;
    // The size the reader decodes the file at: its own size, also when it is scaled to fit.
    PictureSize decoded;

    LoadContext(Codec& c, Prompts& p, const MemoryStatusSource& m, const LoadRequest& r)
        : codec(c),
          prompts(p),
          memory(m),
          request(r),
          name(r.path),
          questionName(r.questionName.empty() ? r.path : r.questionName),
          hooks(p, m, questionName, outcome),
          loadBuffer(c.state.PictureBuffer) {}

    // Records the failure and shows its message unless the request holds it back. banner says
    // whether the open command shows its banner again. Returns false for the reader to return.
    bool fail(LoadFailure failure, const std::string& text, bool banner = true);
    // Records a failure whose message, if any, has been shown already.
    bool failQuietly(LoadFailure failure, bool banner = true) {
        outcome.failure = failure;
        outcome.showBanner = banner;
        return false;
    }
};

// Each returns true with loadBuffer, outcome.width/length and outcome.pictureBufferBase set,
// and codec.state.PictureBuffer allocated; false after reporting the failure.
[[nodiscard]] bool LoadJpeg(LoadContext& context);
[[nodiscard]] bool LoadBmp(LoadContext& context);
[[nodiscard]] bool LoadTiff(LoadContext& context);
[[nodiscard]] bool LoadPng(LoadContext& context);
[[nodiscard]] bool LoadPnm(LoadContext& context);

// The size limits for a width x length file, with the request's choice for one that is too
// large. Sets context.decoded to the file's size and outcome.width/length to the size it is
// loaded at (scaled, with outcome.sourceWidth/Length, when it is to fit). False after the
// refusal has been reported.
[[nodiscard]] bool CheckSizeOrFit(LoadContext& context, int width, int length);

// Sizes codec.state.PictureBuffer for the loaded picture; reports " 2) There is no memory for
// file." and returns false when the allocation fails.
[[nodiscard]] bool AllocatePictureBuffer(LoadContext& context);

// Sizes loadBuffer to size bytes; reports text and returns false when the allocation fails.
[[nodiscard]] bool AllocateLoadBuffer(LoadContext& context, int64_t size, const char* text);

// The common start of the readers that decode to 24-bit RGB (JPEG, PNG, PNM) once the file's
// width x length is known: the low-memory question, the size limits or fit, the picture buffer
// and a load buffer of three bytes a pixel. False after the failure has been reported.
[[nodiscard]] bool PrepareRgbLoad(LoadContext& context, int width, int length);

}  // namespace qx
