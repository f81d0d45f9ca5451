// Connects the codec's hooks to the user dialogs: messages become message boxes, the
// low-memory question goes through CheckFreeMemory, progress and the restored picture go to
// optional callbacks.
#pragma once

#include <functional>

#include "app/core/memory_status.h"
#include "app/core/user_dialogs.h"
#include "codec/codec.h"

namespace qx {

class DialogHooks : public CodecHooks {
  public:
    DialogHooks(UserDialogs& dialogs, const MemoryStatusSource& memory)
        : dialogs_(dialogs), memory_(memory) {}

    std::function<void(int phase)> onProgress;
    std::function<void(bool wide)> onShowRestored;

    void showMessage(const std::string& text) override;
    void reportProgress(int phase) override;
    void showRestoredPicture(bool wide) override;
    bool checkFreeMemory(const std::string& name, int width, int length) override;
    void lockInput(bool block) override;

  private:
    UserDialogs& dialogs_;
    const MemoryStatusSource& memory_;
};

}  // namespace qx
