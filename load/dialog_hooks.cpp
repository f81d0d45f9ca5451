// Codec hooks routed to the prompts.
#include "load/dialog_hooks.h"

namespace qx {

void DialogHooks::showMessage(const std::string& text) {
    prompts_.message(text);
}

void DialogHooks::reportProgress(int phase) {
    if (onProgress) onProgress(phase);
}

void DialogHooks::showRestoredPicture(bool wide) {
    if (onShowRestored) onShowRestored(wide);
}

bool DialogHooks::checkFreeMemory(const std::string& name, int width, int length) {
    return CheckFreeMemory(prompts_, name, width, length, memory_);
}

}  // namespace qx
