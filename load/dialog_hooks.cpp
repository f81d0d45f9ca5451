// Codec hooks routed to the user dialogs.
#include "app/core/dialog_hooks.h"

namespace qx {

void DialogHooks::showMessage(const std::string& text) {
    dialogs_.lockInput(false);
    dialogs_.message(text);
}

void DialogHooks::reportProgress(int phase) {
    if (onProgress) onProgress(phase);
}

void DialogHooks::showRestoredPicture(bool wide) {
    if (onShowRestored) onShowRestored(wide);
}

bool DialogHooks::checkFreeMemory(const std::string& name, int width, int length) {
    return CheckFreeMemory(dialogs_, name, width, length, memory_);
}

void DialogHooks::lockInput(bool block) {
    dialogs_.lockInput(block);
}

}  // namespace qx
