// Runs "Package Compression" in the desktop program: TForm4 shows the progress, the main window
// its banner, and the bar repaints whenever it advances.
#pragma once

#include <string>
#include <vector>

#include "app/core/user_dialogs.h"
#include "codec/codec.h"
#include "container/container.h"
#include "load/memory_status.h"

namespace qx {

class MainSurface;
class TForm4;

void RunPackageCompression(Codec& codec, Container& container, UserDialogs& dialogs,
                           const MemoryStatusSource& memory, TForm4& form4, MainSurface& main,
                           const std::vector<std::string>& chosen = {});

}  // namespace qx
