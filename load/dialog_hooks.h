// Connects the codec's hooks to the prompts: messages become message boxes, the low-memory
// question goes through CheckFreeMemory, progress and the restored picture go to optional
// callbacks.
#pragma once

#include <functional>

#include "codec/codec.h"
#include "load/memory_status.h"
#include "load/prompts.h"

namespace qx {

class DialogHooks : public CodecHooks {
  public:
    DialogHooks(Prompts& prompts, const MemoryStatusSource& memory)
        : prompts_(prompts), memory_(memory) {}

    std::function<void(int phase)> onProgress;
    std::function<void(bool wide)> onShowRestored;

    void showMessage(const std::string& text) override;
    void reportProgress(int phase) override;
    void showRestoredPicture(bool wide) override;
    bool checkFreeMemory(const std::string& name, int width, int length) override;

  private:
    Prompts& prompts_;
    const MemoryStatusSource& memory_;
};

}  // namespace qx
